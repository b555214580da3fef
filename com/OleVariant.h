#pragma once
// OleVariant: the value that crosses COM-style interfaces. It holds one of four kinds:
//   varEmpty    nothing (a default-constructed or cleared variant)
//   varInteger  a 32-bit signed integer
//   varBoolean  an OLE boolean, VARIANT_TRUE (-1) or VARIANT_FALSE (0)
//   varOleStr   a UTF-16 wide string
//
// Construction: from int (and any other integer type whose value fits 32 bits; a value that
// does not raises EVariantError "Variant overflow"), bool, UTF-8 text (const char*, AnsiString,
// std::string_view; converted to UTF-16) and WideString. Other pointers, floating-point
// numbers and single characters are refused at compile time rather than silently becoming
// booleans or numbers.
//
// Conversions (AsString/AsWideString, AsInteger, AsBoolean, and the implicit operators):
//   to text:    empty ""; integer in decimal; boolean "True"/"False"; string as UTF-8
//   to integer: empty 0; boolean -1/0; string parsed as a decimal or $hex integer with
//               optional sign and surrounding blanks
//   to boolean: empty false; integer non-zero; string "True"/"False" in any case, or a number
//               (non-zero is true)
// A conversion that cannot be made raises EVariantError
//   "Could not convert variant of type (OleStr) into type (Integer)".
//
// Implicit conversions: `AnsiString s = v;`, `int n = v;`, `bool b = v;` and `if (v)` pick
// the matching operator. Assigning into an existing string (`s = v;`) does not compile, since
// std::string also accepts a char; write `s = v.AsString();`.
//
// Equality (`==`, `!=`) with another variant or with any value a variant is constructed from:
//   - same kind: same value (strings compare code unit by code unit, exactly)
//   - an empty variant equals the other side's empty value ("", 0 or false)
//   - a boolean and another kind: both are compared as booleans
//   - a string and an integer: both are compared as integers
//   a side that cannot be converted makes the two unequal; comparing never raises.
#include <concepts>
#include <cstdint>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>

#include "com/WideString.h"
#include "framework/core/Exceptions.h"

enum TVarType : std::uint16_t {
    varEmpty = 0x0000,
    varInteger = 0x0003,
    varOleStr = 0x0008,
    varBoolean = 0x000B,
};

using VARIANT_BOOL = std::int16_t;
inline constexpr VARIANT_BOOL VARIANT_TRUE = -1;
inline constexpr VARIANT_BOOL VARIANT_FALSE = 0;

// The name the framework gives a variant type in its messages ("OleStr").
AnsiString VarTypeName(TVarType Type);

namespace com_detail {
template <class T>
concept CharacterType = std::same_as<T, char> || std::same_as<T, signed char> ||
                        std::same_as<T, unsigned char> || std::same_as<T, wchar_t> ||
                        std::same_as<T, char8_t> || std::same_as<T, char16_t> ||
                        std::same_as<T, char32_t>;
template <class T>
concept IntegerValue = std::integral<T> && !std::same_as<T, bool> && !CharacterType<T>;
template <class T>
concept TextPointerTarget = std::same_as<std::remove_cv_t<T>, char> ||
                            std::same_as<std::remove_cv_t<T>, char16_t>;
}  // namespace com_detail

class OleVariant {
public:
    OleVariant() = default;
    template <com_detail::IntegerValue T>
    OleVariant(T Value) : FValue(CheckedInteger(Value)) {}
    OleVariant(bool Value) : FValue(Value ? VARIANT_TRUE : VARIANT_FALSE) {}
    OleVariant(const char* Text);
    OleVariant(const AnsiString& Text) : OleVariant(std::string_view(Text)) {}
    OleVariant(std::string_view Text) : FValue(Utf8ToUtf16(Text)) {}
    OleVariant(WideString Text) : FValue(std::move(Text)) {}
    OleVariant(const char16_t* Text);
    // Anything else that is a pointer would otherwise turn into a boolean.
    template <class T>
        requires(!com_detail::TextPointerTarget<T>)
    OleVariant(T*) = delete;
    template <com_detail::CharacterType T>
    OleVariant(T) = delete;
    template <std::floating_point T>
    OleVariant(T) = delete;

    TVarType VarType() const;
    bool IsEmpty() const { return VarType() == varEmpty; }
    void Clear() { FValue = std::monostate(); }

    AnsiString AsString() const;
    WideString AsWideString() const;
    // The wide string this variant holds, without a copy; null when it holds another kind.
    const WideString* WideText() const { return std::get_if<WideString>(&FValue); }
    int AsInteger() const;
    bool AsBoolean() const;

    operator AnsiString() const { return AsString(); }
    operator int() const { return AsInteger(); }
    operator bool() const { return AsBoolean(); }

    friend bool operator==(const OleVariant& A, const OleVariant& B);
    // An exact match for every value a variant is made from, so that `v == true`, `v == 3`
    // or `v == "Browse"` never competes with the built-in comparisons of int or bool.
    template <class T>
        requires(!std::same_as<std::remove_cvref_t<T>, OleVariant> &&
                 std::constructible_from<OleVariant, const T&>)
    friend bool operator==(const OleVariant& A, const T& B)
    {
        return A == OleVariant(B);
    }

private:
    template <class T>
    static std::int32_t CheckedInteger(T Value)
    {
        if (!std::in_range<std::int32_t>(Value)) ThrowOverflow();
        return static_cast<std::int32_t>(Value);
    }
    [[noreturn]] static void ThrowOverflow();
    [[noreturn]] void ThrowCannotConvert(TVarType Target) const;

    // The alternatives' order matches nothing outside; VarType() maps them.
    std::variant<std::monostate, std::int32_t, VARIANT_BOOL, WideString> FValue;
};
