#include "com/WideString.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

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

// The length of Text's leading run of ASCII, eight bytes or four units checked at a time.
std::size_t AsciiPrefix(std::string_view Text)
{
    constexpr std::uint64_t HighBits = 0x8080808080808080u;
    std::size_t At = 0;
    for (std::uint64_t Word; At + 8 <= Text.size(); At += 8) {
        std::memcpy(&Word, Text.data() + At, 8);
        if (Word & HighBits) break;
    }
    while (At < Text.size() && static_cast<unsigned char>(Text[At]) < 0x80) ++At;
    return At;
}

std::size_t AsciiPrefix(std::u16string_view Text)
{
    constexpr std::uint64_t HighBits = 0xFF80FF80FF80FF80u;
    std::size_t At = 0;
    for (std::uint64_t Word; At + 4 <= Text.size(); At += 4) {
        std::memcpy(&Word, Text.data() + At, 8);
        if (Word & HighBits) break;
    }
    while (At < Text.size() && Text[At] < 0x80) ++At;
    return At;
}

}  // namespace

WideString Utf8ToUtf16(std::string_view Text)
{
    // ASCII, the most common text, is widened into a string sized once; the rest is decoded
    // from the first other byte on.
    std::size_t Ascii = AsciiPrefix(Text);
    WideString Result(Ascii, u'\0');
    std::copy_n(reinterpret_cast<const unsigned char*>(Text.data()), Ascii, Result.data());
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
    std::size_t Ascii = AsciiPrefix(Text);
    AnsiString Result(Ascii, '\0');
    std::transform(Text.data(), Text.data() + Ascii, Result.data(), [](char16_t C) { return static_cast<char>(C); });
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
