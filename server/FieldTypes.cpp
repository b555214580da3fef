// The typed fields' names, checks and stored forms (see FieldTypes.h).
#include "server/FieldTypes.h"

#include <algorithm>
#include <optional>

#include "framework/core/TextUtils.h"
#include "framework/core/Translation.h"
#include "server/ValueText.h"

namespace RecordServer {

namespace {

constexpr int DateLength = 10;  // YYYY-MM-DD

bool IsFixedPoint(const TFieldDef& Field)
{
    return Field.Type == TFieldType::Number && Field.Scale >= 0;
}

// A number's digits as one run with the place of its point: Digits[0 .. Point) stand before
// the point (Point may lie outside the run: 1e3 is "1" with its point at 4).
struct TDigits {
    AnsiString Digits;
    std::int64_t Point = 0;
    std::int64_t First = 0;  // the first digit that is not 0; Digits.size() for zero
    std::int64_t Last = -1;  // the last digit that is not 0; -1 for zero
};

TDigits DigitsOf(const TDecimal& Number)
{
    TDigits D;
    D.Digits = AnsiString(Number.Whole) + AnsiString(Number.Fraction);
    D.Point = static_cast<std::int64_t>(Number.Whole.size()) + Number.Exponent;
    const std::size_t First = D.Digits.find_first_not_of('0');
    if (First == AnsiString::npos) {
        D.First = static_cast<std::int64_t>(D.Digits.size());
        return D;
    }
    D.First = static_cast<std::int64_t>(First);
    D.Last = static_cast<std::int64_t>(D.Digits.find_last_not_of('0'));
    return D;
}

bool IsZero(const TDigits& D)
{
    return D.Last < 0;
}

// The digits after the point up to the last one that is not 0 ("1.50" has 1, "1e-3" has 3).
std::int64_t Decimals(const TDigits& D)
{
    return IsZero(D) ? 0 : std::max<std::int64_t>(0, D.Last + 1 - D.Point);
}

// The characters of the number written with Scale decimals: sign, whole digits (at least
// "0"), point and decimals.
std::int64_t FixedPointLength(const TDecimal& Number, const TDigits& D, int Scale)
{
    const std::int64_t Whole = IsZero(D) ? 1 : std::max<std::int64_t>(1, D.Point - D.First);
    return (Number.Negative && !IsZero(D) ? 1 : 0) + Whole + (Scale > 0 ? 1 + Scale : 0);
}

// The number written with Scale decimals; its decimals fit in Scale and its length is bounded.
AnsiString FixedPointText(const TDecimal& Number, const TDigits& D, int Scale)
{
    auto DigitAt = [&](std::int64_t I) {
        return I >= 0 && I < static_cast<std::int64_t>(D.Digits.size()) ? D.Digits[static_cast<std::size_t>(I)] : '0';
    };
    AnsiString Text;
    if (Number.Negative && !IsZero(D)) Text += '-';
    if (IsZero(D) || D.Point <= D.First) Text += '0';
    else
        for (std::int64_t I = D.First; I < D.Point; ++I) Text += DigitAt(I);
    if (Scale > 0) {
        Text += '.';
        for (std::int64_t I = D.Point; I < D.Point + Scale; ++I) Text += DigitAt(I);
    }
    return Text;
}

bool IsLeapYear(int Year)
{
    return (Year % 4 == 0 && Year % 100 != 0) || Year % 400 == 0;
}

bool IsIsoDate(std::string_view Text)
{
    if (Text.size() != DateLength || Text[4] != '-' || Text[7] != '-') return false;
    auto Number = [&](std::size_t From, std::size_t Count, int& Value) {
        Value = 0;
        for (std::size_t I = From; I < From + Count; ++I) {
            if (Text[I] < '0' || Text[I] > '9') return false;
            Value = Value * 10 + (Text[I] - '0');
        }
        return true;
    };
    int Year = 0, Month = 0, Day = 0;
    if (!Number(0, 4, Year) || !Number(5, 2, Month) || !Number(8, 2, Day)) return false;
    static const int DaysIn[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (Year < 1 || Month < 1 || Month > 12 || Day < 1) return false;
    return Day <= DaysIn[Month - 1] + (Month == 2 && IsLeapYear(Year) ? 1 : 0);
}

std::optional<bool> BooleanValue(std::string_view Text)
{
    if (SameText(Text, "True") || Text == "1") return true;
    if (SameText(Text, "False") || Text == "0") return false;
    return std::nullopt;
}

}  // namespace

AnsiString FieldTypeName(const TFieldDef& Field)
{
    switch (Field.Type) {
    case TFieldType::Text: return "Text";
    case TFieldType::Number:
        if (Field.Scale < 0) return "Number";
        return Field.Scale == 0 ? AnsiString("Integer") : "Decimal(" + IntToStr(Field.Scale) + ")";
    case TFieldType::Date: return "Date";
    case TFieldType::Boolean: return "Boolean";
    }
    return "Text";
}

bool ParseFieldType(std::string_view Text, TFieldDef& Field)
{
    struct TSimple {
        const char* Name;
        TFieldType Type;
        int Scale;
    };
    static const TSimple Simple[] = {{"Text", TFieldType::Text, -1},    {"Number", TFieldType::Number, -1},
                                     {"Integer", TFieldType::Number, 0}, {"Date", TFieldType::Date, -1},
                                     {"Boolean", TFieldType::Boolean, -1}};
    for (const TSimple& S : Simple) {
        if (!SameText(Text, S.Name)) continue;
        Field.Type = S.Type;
        Field.Scale = S.Scale;
        return true;
    }
    // Decimal(n)
    constexpr std::string_view Decimal = "Decimal";
    if (Text.size() <= Decimal.size() || !SameText(Text.substr(0, Decimal.size()), Decimal)) return false;
    const AnsiString Rest = Trim(Text.substr(Decimal.size()));
    if (Rest.size() < 3 || Rest.front() != '(' || Rest.back() != ')') return false;
    const AnsiString Digits = Trim(std::string_view(Rest).substr(1, Rest.size() - 2));
    int Scale = -1;
    if (Digits.empty() || Digits.find_first_not_of("0123456789") != AnsiString::npos || !TryStrToInt(Digits, Scale) ||
        Scale > MaxFractionDigits)
        return false;
    Field.Type = TFieldType::Number;
    Field.Scale = Scale;
    return true;
}

int DefaultFieldSize(const TFieldDef& Field)
{
    switch (Field.Type) {
    case TFieldType::Date: return DateLength;
    case TFieldType::Boolean: return 5;
    default: return 0;
    }
}

int LeastFieldSize(const TFieldDef& Field)
{
    if (IsFixedPoint(Field)) return Field.Scale > 0 ? Field.Scale + 2 : 1;
    return std::max(1, DefaultFieldSize(Field));
}

AnsiString StoredValue(const TFieldDef& Field, const AnsiString& Value)
{
    if (Field.Type == TFieldType::Text || (Field.Type == TFieldType::Number && !IsFixedPoint(Field))) return Value;
    if (Value.empty() || !TypedValueProblem(Field, Value).empty()) return Value;
    const AnsiString Bare = Trim(Value);
    if (Bare.empty()) return Bare;  // blanks are no value
    if (Field.Type == TFieldType::Date) return Bare;
    if (Field.Type == TFieldType::Boolean) return *BooleanValue(Bare) ? "True" : "False";
    const std::optional<TDecimal> Number = ParseDecimal(Bare);
    if (!Number) return Value;  // no number: the number checks refuse it
    return FixedPointText(*Number, DigitsOf(*Number), Field.Scale);
}

AnsiString TypedValueProblem(const TFieldDef& Field, std::string_view Value)
{
    const AnsiString Bare = Trim(Value);
    if (Bare.empty()) return {};
    switch (Field.Type) {
    case TFieldType::Text: return {};
    case TFieldType::Date:
        if (IsIsoDate(Bare)) return {};
        return TranslateText("FieldTypes", "is not a date (dates are written YYYY-MM-DD, such as 2024-03-31)");
    case TFieldType::Boolean:
        if (BooleanValue(Bare)) return {};
        return TranslateText("FieldTypes", "is not a boolean (True or False, or 1 or 0)");
    case TFieldType::Number: break;
    }
    if (!IsFixedPoint(Field)) return {};
    const std::optional<TDecimal> Number = ParseDecimal(Bare);
    if (!Number) return {};  // the number checks say what is wrong
    const TDigits D = DigitsOf(*Number);
    if (Decimals(D) > Field.Scale) {
        if (Field.Scale == 0) return TranslateText("FieldTypes", "is not a whole number");
        return FormatText(TranslateText("FieldTypes", "has more than the %1 decimals the field keeps"), {IntToStr(Field.Scale)});
    }
    const std::int64_t Length = FixedPointLength(*Number, D, Field.Scale);
    if (Length > Field.Size)
        return Field.Scale > 0
                   ? FormatText(TranslateText("FieldTypes", "has %1 characters when written with its %2 decimals, more "
                                                            "than the %3 the field holds"),
                                {IntToStr(Length), IntToStr(Field.Scale), IntToStr(Field.Size)})
                   : FormatText(TranslateText("FieldTypes", "has %1 characters when written, more than the %2 the field holds"),
                                {IntToStr(Length), IntToStr(Field.Size)});
    return {};
}

}  // namespace RecordServer
