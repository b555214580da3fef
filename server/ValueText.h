#pragma once
// The server's rules for field values, which travel as text: what counts as a number, how
// long a text is in characters, and how a value is quoted in a message.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "framework/core/Exceptions.h"

namespace RecordServer {

// Numbers are compared exactly as the decimals they are written as, never through a binary
// floating-point value: 12345678901234567890 and 12345678901234567891 are two numbers, while
// 13, 13.0 and 1.3e1 are one. The only limit is the exponent, written with at most
// MaxExponentDigits digits (leading zeros aside), so that exponent arithmetic stays exact.
constexpr int MaxExponentDigits = 9;

// A decimal number as written, viewing the text it was parsed from.
struct TDecimal {
    bool Negative = false;
    std::string_view Whole;     // the digits before the point
    std::string_view Fraction;  // the digits after it
    std::int64_t Exponent = 0;  // the written exponent
};

// A decimal number with optional sign, fraction and exponent ("13", "-0.5", "1e3"), with
// blanks around it allowed. nullopt when Text is not one; ExponentTooLong (when given) then
// tells whether it only failed for an exponent beyond the limit.
std::optional<TDecimal> ParseDecimal(std::string_view Text, bool* ExponentTooLong = nullptr);
inline bool IsNumber(std::string_view Text)
{
    return ParseDecimal(Text).has_value();
}
// The numbers every store holds, whatever it orders a number key by (PostgreSQL's numeric, for
// one): at most MaxIntegerDigits digits before the point and MaxFractionDigits after it, the
// fraction's digits counted as written (trailing zeros too) less the exponent.
constexpr std::int64_t MaxIntegerDigits = 131072;
constexpr std::int64_t MaxFractionDigits = 16383;
bool InStoredRange(const TDecimal& Number);
// Why Text is not a number that a store holds, as the end of a sentence ("which is not a
// number"); empty when it is one. The text is the source of a translation in the context
// "ValueText", with %1 and %2 for MaxIntegerDigits and MaxFractionDigits (this unit is built
// into the SQLite extension too, which has no translations): NumberProblemText fills it in.
AnsiString NumberProblem(std::string_view Text);
// Exact comparison of two numbers: negative, zero or positive as A is below, equal to or
// above B. -0 equals 0.
int CompareDecimals(const TDecimal& A, const TDecimal& B);
// The order of a number field's values: numbers exactly and before any text that is not a
// number (an older record may hold one), which compare byte by byte.
int CompareNumberTexts(std::string_view A, std::string_view B);
// An integer that orders number field values as CompareNumberTexts does wherever it can
// tell them apart: a text that compares below another never has a larger code, and two that
// compare equal ("13", "13.0") have the same one. Numbers are told apart by their first 15
// significant digits and their magnitude, texts that are not numbers by their first 7 bytes;
// the rest is left to CompareNumberTexts. An index ordered by the code, then by the value,
// compares integers where it would otherwise compare texts.
std::int64_t NumberOrderCode(std::string_view Text);
// The characters First to Last of UTF-8 Text, counted from 1, both included; First 0 or 1
// means from the first character, Last 0 to the last one. Empty when First is past the end.
std::string_view CharacterRange(std::string_view Text, int First, int Last);
// The number of characters (code points) of UTF-8 text: every byte that does not continue
// a multi-byte character counts as one.
std::size_t CharacterCount(std::string_view Text);
// Text in double quotes for messages, shortened to about 60 characters. Control characters
// are shown escaped ("\0", "\n", "\t", "\x1B"), so that a message stays one line and is
// not cut short at a NUL.
AnsiString Quoted(std::string_view Text);
// Text, another program's message for instance, as part of one line of a message: line
// breaks, tabs and other control characters become blanks, a run of blanks one blank, none
// at either end.
AnsiString OneLine(std::string_view Text);

}  // namespace RecordServer
