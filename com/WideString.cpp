#include "com/WideString.h"

#include <cstdint>

#include "framework/core/TextUtils.h"

namespace {

constexpr char32_t ReplacementChar = 0xFFFD;

void AppendUtf16(WideString& Out, char32_t C)
{
    if (C < 0x10000) {
        Out += static_cast<char16_t>(C);
    } else {
        C -= 0x10000;
        Out += static_cast<char16_t>(0xD800 + (C >> 10));
        Out += static_cast<char16_t>(0xDC00 + (C & 0x3FF));
    }
}

// Decodes one character at Text[Pos] and advances Pos. An ill-formed sequence yields
// U+FFFD and advances past its longest valid prefix (at least one byte), so the byte that
// broke it starts the next character. The second byte's range excludes overlong forms,
// surrogates and values above U+10FFFF.
char32_t DecodeUtf8(std::string_view Text, std::size_t& Pos)
{
    const auto Byte = [&](std::size_t I) { return static_cast<std::uint8_t>(Text[I]); };
    std::uint8_t Lead = Byte(Pos++);
    if (Lead < 0x80) return Lead;

    int Trail = 0;
    char32_t C = 0;
    std::uint8_t Low = 0x80, High = 0xBF;  // allowed range of the first trail byte
    if (Lead >= 0xC2 && Lead <= 0xDF) {
        Trail = 1; C = Lead & 0x1F;
    } else if (Lead >= 0xE0 && Lead <= 0xEF) {
        Trail = 2; C = Lead & 0x0F;
        if (Lead == 0xE0) Low = 0xA0;
        if (Lead == 0xED) High = 0x9F;
    } else if (Lead >= 0xF0 && Lead <= 0xF4) {
        Trail = 3; C = Lead & 0x07;
        if (Lead == 0xF0) Low = 0x90;
        if (Lead == 0xF4) High = 0x8F;
    } else {
        return ReplacementChar;
    }
    for (int i = 0; i < Trail; ++i) {
        if (Pos >= Text.size()) return ReplacementChar;
        std::uint8_t B = Byte(Pos);
        if (B < Low || B > High) return ReplacementChar;
        C = (C << 6) | (B & 0x3F);
        ++Pos;
        Low = 0x80;
        High = 0xBF;
    }
    return C;
}

}  // namespace

WideString Utf8ToUtf16(std::string_view Text)
{
    WideString Result;
    Result.reserve(Text.size());
    std::size_t Pos = 0;
    while (Pos < Text.size()) AppendUtf16(Result, DecodeUtf8(Text, Pos));
    return Result;
}

AnsiString Utf16ToUtf8(std::u16string_view Text)
{
    AnsiString Result;
    Result.reserve(Text.size() * 3);
    for (std::size_t i = 0; i < Text.size(); ++i) {
        char32_t C = Text[i];
        if (C >= 0xD800 && C <= 0xDBFF && i + 1 < Text.size() && Text[i + 1] >= 0xDC00 &&
            Text[i + 1] <= 0xDFFF) {
            C = 0x10000 + ((C - 0xD800) << 10) + (Text[i + 1] - 0xDC00);
            ++i;
        } else if (C >= 0xD800 && C <= 0xDFFF) {
            C = ReplacementChar;
        }
        AppendUtf8(Result, C);
    }
    return Result;
}
