#include "com/WideString.h"

#include <cstdint>

#include "framework/core/TextUtils.h"

namespace {

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

}  // namespace

WideString Utf8ToUtf16(std::string_view Text)
{
    // ASCII, the most common text, is copied unit by unit into a string sized once; the rest
    // is decoded from the first other byte on.
    std::size_t Ascii = 0;
    while (Ascii < Text.size() && static_cast<unsigned char>(Text[Ascii]) < 0x80) ++Ascii;
    WideString Result(Ascii, u'\0');
    for (std::size_t I = 0; I < Ascii; ++I) Result[I] = static_cast<char16_t>(Text[I]);
    std::size_t Pos = Ascii;
    while (Pos < Text.size()) {
        if (static_cast<unsigned char>(Text[Pos]) < 0x80) {
            Result += static_cast<char16_t>(Text[Pos++]);
            continue;
        }
        char32_t C = DecodeUtf8(Text, Pos);
        AppendUtf16(Result, C == Utf8Error ? ReplacementCharacter : C);
    }
    return Result;
}

AnsiString Utf16ToUtf8(std::u16string_view Text)
{
    // ASCII, the most common text, is copied into a string sized once (a short one stays
    // within the string itself); other characters grow it as they come.
    std::size_t Ascii = 0;
    while (Ascii < Text.size() && Text[Ascii] < 0x80) ++Ascii;
    AnsiString Result(Ascii, '\0');
    for (std::size_t I = 0; I < Ascii; ++I) Result[I] = static_cast<char>(Text[I]);
    if (Ascii == Text.size()) return Result;
    Result.reserve(Text.size());
    for (std::size_t i = Ascii; i < Text.size(); ++i) {
        char32_t C = Text[i];
        if (C < 0x80) {
            Result += static_cast<char>(C);
            continue;
        }
        if (C >= 0xD800 && C <= 0xDBFF && i + 1 < Text.size() && Text[i + 1] >= 0xDC00 &&
            Text[i + 1] <= 0xDFFF) {
            C = 0x10000 + ((C - 0xD800) << 10) + (Text[i + 1] - 0xDC00);
            ++i;
        } else if (C >= 0xD800 && C <= 0xDFFF) {
            C = ReplacementCharacter;
        }
        AppendUtf8(Result, C);
    }
    return Result;
}
