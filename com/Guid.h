#pragma once
// Globally unique identifiers of interfaces and classes. A GUID is written in code as
//     inline constexpr IID IID_IThing = MakeGUID("{2B0F6D3A-6C2E-4F7B-9A51-0C4E8D2F7A13}");
// which is checked while compiling: a malformed literal does not compile.
#include <compare>
#include <cstdint>
#include <optional>
#include <string_view>

#include "framework/core/Exceptions.h"

struct GUID {
    std::uint32_t Data1 = 0;
    std::uint16_t Data2 = 0;
    std::uint16_t Data3 = 0;
    std::uint8_t Data4[8] = {};

    friend constexpr bool operator==(const GUID&, const GUID&) = default;
    // An arbitrary but fixed order, so GUIDs can key ordered containers.
    friend constexpr auto operator<=>(const GUID&, const GUID&) = default;
};

using IID = GUID;
using CLSID = GUID;

inline constexpr GUID GUID_NULL{};

namespace com_detail {

constexpr int HexDigitValue(char C)
{
    if (C >= '0' && C <= '9') return C - '0';
    if (C >= 'a' && C <= 'f') return C - 'a' + 10;
    if (C >= 'A' && C <= 'F') return C - 'A' + 10;
    return -1;
}

// Reads Count hex digits at Text[Pos]; false when any is not a hex digit.
constexpr bool ReadHex(std::string_view Text, std::size_t Pos, int Count, std::uint64_t& Value)
{
    Value = 0;
    for (int i = 0; i < Count; ++i) {
        int Digit = HexDigitValue(Text[Pos + i]);
        if (Digit < 0) return false;
        Value = (Value << 4) | static_cast<std::uint64_t>(Digit);
    }
    return true;
}

}  // namespace com_detail

// Parses "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" (hex digits in either case, braces required,
// nothing around it); nullopt for anything else.
constexpr std::optional<GUID> TryStringToGUID(std::string_view Text)
{
    using com_detail::ReadHex;
    if (Text.size() != 38 || Text[0] != '{' || Text[37] != '}' || Text[9] != '-' ||
        Text[14] != '-' || Text[19] != '-' || Text[24] != '-')
        return std::nullopt;
    GUID Result;
    std::uint64_t V = 0;
    if (!ReadHex(Text, 1, 8, V)) return std::nullopt;
    Result.Data1 = static_cast<std::uint32_t>(V);
    if (!ReadHex(Text, 10, 4, V)) return std::nullopt;
    Result.Data2 = static_cast<std::uint16_t>(V);
    if (!ReadHex(Text, 15, 4, V)) return std::nullopt;
    Result.Data3 = static_cast<std::uint16_t>(V);
    // Data4 is the fourth group's two bytes followed by the last group's six.
    constexpr std::size_t BytePos[8] = {20, 22, 25, 27, 29, 31, 33, 35};
    for (int i = 0; i < 8; ++i) {
        if (!ReadHex(Text, BytePos[i], 2, V)) return std::nullopt;
        Result.Data4[i] = static_cast<std::uint8_t>(V);
    }
    return Result;
}

// Raises EConvertError "'Text' is not a valid GUID value" (in the user's language).
[[noreturn]] void RaiseInvalidGUID(std::string_view Text);

// A GUID from its text; used for literals. In a constant expression a malformed text is a
// compile error; at run time it raises EConvertError like StringToGUID.
constexpr GUID MakeGUID(std::string_view Text)
{
    std::optional<GUID> Result = TryStringToGUID(Text);
    if (!Result) RaiseInvalidGUID(Text);
    return *Result;
}

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper-case hex.
AnsiString GUIDToString(const GUID& Guid);
// The inverse of GUIDToString; malformed text raises EConvertError
// "'text' is not a valid GUID value".
GUID StringToGUID(std::string_view Text);
