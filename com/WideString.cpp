#include "com/WideString.h"

#include <cstdint>

#include "framework/core/TextUtils.h"

WideString Utf8ToUtf16(std::string_view Text)
{
    // A character takes at most as many UTF-16 units as it has UTF-8 bytes, and a malformed
    // sequence of one or more bytes becomes one unit: the result is sized for the text once,
    // written in one pass (ASCII, the most common text, unit by unit), and cut to its length.
    WideString Result(Text.size(), u'\0');
    std::size_t Out = 0, Pos = 0;
    while (Pos < Text.size()) {
        if (static_cast<unsigned char>(Text[Pos]) < 0x80) {
            Result[Out++] = static_cast<char16_t>(Text[Pos++]);
            continue;
        }
        char32_t C = DecodeUtf8(Text, Pos);
        if (C == Utf8Error) C = ReplacementCharacter;
        if (C < 0x10000) {
            Result[Out++] = static_cast<char16_t>(C);
        } else {
            C -= 0x10000;
            Result[Out++] = static_cast<char16_t>(0xD800 + (C >> 10));
            Result[Out++] = static_cast<char16_t>(0xDC00 + (C & 0x3FF));
        }
    }
    Result.resize(Out);
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
