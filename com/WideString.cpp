#include "com/WideString.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include "framework/core/TextUtils.h"

namespace {

// Writes C as one or two UTF-16 units at Out and returns the place after them.
char16_t* PutUtf16(char16_t* Out, char32_t C)
{
    if (C < 0x10000) {
        *Out++ = static_cast<char16_t>(C);
    } else {
        C -= 0x10000;
        *Out++ = static_cast<char16_t>(0xD800 + (C >> 10));
        *Out++ = static_cast<char16_t>(0xDC00 + (C & 0x3FF));
    }
    return Out;
}

constexpr std::uint64_t AsciiHighBits = 0x8080808080808080u;

// Widens eight ASCII bytes, loaded as Word, into eight UTF-16 units at Out: each half's four
// bytes are spread to 16-bit lanes.
void WidenAscii8(std::uint64_t Word, char16_t* Out)
{
    auto Spread = [](std::uint64_t X) {
        X = (X | (X << 16)) & 0x0000FFFF0000FFFFu;
        return (X | (X << 8)) & 0x00FF00FF00FF00FFu;
    };
    std::uint64_t Low = Spread(Word & 0xFFFFFFFFu), High = Spread(Word >> 32);
    std::memcpy(Out, &Low, 8);
    std::memcpy(Out + 4, &High, 8);
}

// The length of Text's leading run of ASCII, four units checked at a time.
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
    // No character takes more UTF-16 units than UTF-8 bytes: the string is sized once for
    // that and cut to what was written.
    WideString Result(Text.size(), u'\0');
    std::size_t Pos = 0;
    // ASCII, the most common text, is widened eight bytes at a time; the last eight bytes of
    // a text of eight or more are widened as one word too, over what was widened already.
    if constexpr (std::endian::native == std::endian::little) {
        if (Text.size() >= 8) {
            std::size_t Last = Text.size() - 8;
            std::uint64_t Word;
            for (; Pos < Last; Pos += 8) {
                std::memcpy(&Word, Text.data() + Pos, 8);
                if (Word & AsciiHighBits) break;
                WidenAscii8(Word, Result.data() + Pos);
            }
            if (Pos >= Last) {
                std::memcpy(&Word, Text.data() + Last, 8);
                if (!(Word & AsciiHighBits)) {
                    WidenAscii8(Word, Result.data() + Last);
                    return Result;
                }
            }
        }
    }
    char16_t* Out = Result.data() + Pos;
    while (Pos < Text.size()) {
        if (static_cast<unsigned char>(Text[Pos]) < 0x80) {
            *Out++ = static_cast<char16_t>(Text[Pos++]);
            continue;
        }
        char32_t C = DecodeUtf8(Text, Pos);
        Out = PutUtf16(Out, C == Utf8Error ? ReplacementCharacter : C);
    }
    Result.resize(static_cast<std::size_t>(Out - Result.data()));
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
