#include "server/ValueText.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include <string>

#include "framework/core/Translation.h"

namespace RecordServer {

namespace {

bool IsDigit(char C)
{
    return C >= '0' && C <= '9';
}

// Length of the run of digits at S[Pos].
std::size_t Digits(std::string_view S, std::size_t Pos)
{
    std::size_t N = 0;
    while (Pos + N < S.size() && IsDigit(S[Pos + N])) ++N;
    return N;
}

bool IsContinuationByte(char C)
{
    return (static_cast<unsigned char>(C) & 0xC0) == 0x80;
}

}  // namespace

std::optional<TDecimal> ParseDecimal(std::string_view Text, bool* ExponentTooLong)
{
    if (ExponentTooLong) *ExponentTooLong = false;
    // Blanks and control characters around the number are allowed (the framework's Trim).
    while (!Text.empty() && static_cast<unsigned char>(Text.front()) <= ' ') Text.remove_prefix(1);
    while (!Text.empty() && static_cast<unsigned char>(Text.back()) <= ' ') Text.remove_suffix(1);
    std::string_view S = Text;
    TDecimal Result;
    std::size_t Pos = 0;
    if (Pos < S.size() && (S[Pos] == '+' || S[Pos] == '-')) Result.Negative = S[Pos++] == '-';
    Result.Whole = S.substr(Pos, Digits(S, Pos));
    Pos += Result.Whole.size();
    if (Pos < S.size() && S[Pos] == '.') {
        Result.Fraction = S.substr(Pos + 1, Digits(S, Pos + 1));
        Pos += 1 + Result.Fraction.size();
    }
    if (Result.Whole.empty() && Result.Fraction.empty()) return std::nullopt;
    if (Pos < S.size() && (S[Pos] == 'e' || S[Pos] == 'E')) {
        std::size_t P = Pos + 1;
        bool NegativeExponent = false;
        if (P < S.size() && (S[P] == '+' || S[P] == '-')) NegativeExponent = S[P++] == '-';
        std::size_t ExpDigits = Digits(S, P);
        if (ExpDigits == 0) return std::nullopt;
        Pos = P + ExpDigits;
        std::string_view Exp = S.substr(P, ExpDigits);
        while (Exp.size() > 1 && Exp.front() == '0') Exp.remove_prefix(1);
        if (Exp.size() > static_cast<std::size_t>(MaxExponentDigits)) {
            if (ExponentTooLong && Pos == S.size()) *ExponentTooLong = true;
            return std::nullopt;
        }
        for (char C : Exp) Result.Exponent = Result.Exponent * 10 + (C - '0');
        if (NegativeExponent) Result.Exponent = -Result.Exponent;
    }
    if (Pos != S.size()) return std::nullopt;
    return Result;
}

namespace {

// The digit at index At of a number's digits, Whole then Fraction.
char DigitAt(const TDecimal& D, std::size_t At)
{
    return At < D.Whole.size() ? D.Whole[At] : D.Fraction[At - D.Whole.size()];
}

// A number's digits without leading and trailing zeros, and the power of ten of its first
// digit: the value is 0.D1D2D3... x 10^Scale.
struct TNormalDecimal {
    const TDecimal* Number;  // not owned
    std::size_t Skip = 0;    // leading zeros skipped
    std::size_t Length = 0;  // significant digits after those; 0 for zero
    std::int64_t Scale = 0;
    bool IsZero() const { return Length == 0; }
    // Digits past the last read as zeros.
    char Digit(std::size_t I) const { return I < Length ? DigitAt(*Number, Skip + I) : '0'; }
};

TNormalDecimal Normalize(const TDecimal& D)
{
    TNormalDecimal N{&D};
    std::size_t Total = D.Whole.size() + D.Fraction.size();
    while (N.Skip < Total && DigitAt(D, N.Skip) == '0') ++N.Skip;
    N.Length = Total - N.Skip;
    while (N.Length > 0 && DigitAt(D, N.Skip + N.Length - 1) == '0') --N.Length;
    N.Scale = static_cast<std::int64_t>(D.Whole.size()) - static_cast<std::int64_t>(N.Skip) + D.Exponent;
    return N;
}

int CompareMagnitudes(const TNormalDecimal& A, const TNormalDecimal& B)
{
    if (A.IsZero() || B.IsZero()) return (A.IsZero() ? 0 : 1) - (B.IsZero() ? 0 : 1);
    if (A.Scale != B.Scale) return A.Scale < B.Scale ? -1 : 1;
    std::size_t Length = std::max(A.Length, B.Length);
    for (std::size_t I = 0; I < Length; ++I) {
        char DA = A.Digit(I), DB = B.Digit(I);
        if (DA != DB) return DA < DB ? -1 : 1;
    }
    return 0;
}

}  // namespace

bool InStoredRange(const TDecimal& Number)
{
    TNormalDecimal N = Normalize(Number);
    if (!N.IsZero() && N.Scale > MaxIntegerDigits) return false;
    return static_cast<std::int64_t>(Number.Fraction.size()) - Number.Exponent <= MaxFractionDigits;
}

AnsiString NumberProblem(std::string_view Text)
{
    std::optional<TDecimal> Number = ParseDecimal(Text);
    if (!Number) return ZFD_TRANSLATE_NOOP("ValueText", "which is not a number");
    if (!InStoredRange(*Number))
        return ZFD_TRANSLATE_NOOP("ValueText", "which has more than the %1 digits before the point or %2 after it that "
                                               "a number may have");
    return {};
}

int CompareDecimals(const TDecimal& A, const TDecimal& B)
{
    TNormalDecimal NA = Normalize(A), NB = Normalize(B);
    bool NegA = A.Negative && !NA.IsZero(), NegB = B.Negative && !NB.IsZero();
    if (NegA != NegB) return NegA ? -1 : 1;
    int Magnitude = CompareMagnitudes(NA, NB);
    return NegA ? -Magnitude : Magnitude;
}

namespace {

// True when every byte of S (one or more) is an ASCII digit. Four or eight bytes are read at
// once (the last read overlapping the one before) and checked together: a digit is a byte
// whose high nibble is 3 and whose low nibble plus 6 stays below 16.
bool AllDigits(std::string_view S)
{
    auto Digits4 = [](const char* P) {
        std::uint32_t W;
        std::memcpy(&W, P, 4);
        return (W & 0xF0F0F0F0u) == 0x30303030u && ((W + 0x06060606u) & 0xF0F0F0F0u) == 0x30303030u;
    };
    auto Digits8 = [](const char* P) {
        std::uint64_t W;
        std::memcpy(&W, P, 8);
        return (W & 0xF0F0F0F0F0F0F0F0u) == 0x3030303030303030u &&
               ((W + 0x0606060606060606u) & 0xF0F0F0F0F0F0F0F0u) == 0x3030303030303030u;
    };
    const char* P = S.data();
    std::size_t N = S.size();
    if (N >= 8) {
        for (std::size_t I = 0; I + 8 <= N; I += 8)
            if (!Digits8(P + I)) return false;
        return Digits8(P + N - 8);
    }
    if (N >= 4) return Digits4(P) && Digits4(P + N - 4);
    return std::all_of(S.begin(), S.end(), IsDigit);
}

// The digits of an integer written as most keys are: after an optional minus, digits without
// a leading zero ("0" alone, unsigned); empty when S is not one.
std::string_view PlainDigits(std::string_view S, bool& Negative)
{
    Negative = !S.empty() && S[0] == '-';
    if (Negative) S.remove_prefix(1);
    if (S.empty() || (S[0] == '0' && (Negative || S.size() > 1)) || !AllDigits(S)) return {};
    return S;
}

}  // namespace

namespace {

// Any other two texts: numbers exactly, before texts that are not numbers, which compare
// byte by byte. Out of line, so that the plain integers' path stays short.
[[gnu::noinline]] int CompareDecimalTexts(std::string_view A, std::string_view B)
{
    std::optional<TDecimal> NA = ParseDecimal(A), NB = ParseDecimal(B);
    if (NA && NB) return CompareDecimals(*NA, *NB);
    if (NA || NB) return NA ? -1 : 1;
    int Bytes = A.compare(B);
    return (Bytes > 0) - (Bytes < 0);
}

}  // namespace

int CompareNumberTexts(std::string_view A, std::string_view B)
{
    // Two plain integers compare by sign, then number of digits, then digits.
    bool NegA = false, NegB = false;
    std::string_view DA = PlainDigits(A, NegA);
    std::string_view DB = DA.empty() ? std::string_view() : PlainDigits(B, NegB);
    if (DB.empty()) return CompareDecimalTexts(A, B);
    if (NegA != NegB) return NegA ? -1 : 1;
    int Magnitude = DA.size() != DB.size() ? (DA.size() < DB.size() ? -1 : 1) : std::memcmp(DA.data(), DB.data(), DA.size());
    Magnitude = (Magnitude > 0) - (Magnitude < 0);
    return NegA ? -Magnitude : Magnitude;
}

namespace {

// The codes' layout, from the bottom: negative numbers (the negated codes of their
// magnitudes), zero, positive numbers, texts that are not numbers. A positive number is
// Band * 10^15 + its first 15 significant digits (padded with zeros), Band growing with its
// power of ten from 1 to 8001; below and above those powers it takes one code each.
constexpr std::int64_t DigitsSpan = 1'000'000'000'000'000;  // 10^15
constexpr std::int64_t SignificantDigits = 15;
constexpr std::int64_t ScaleLimit = 4000;
constexpr std::int64_t TinyCode = 1;
constexpr std::int64_t HugeCode = (2 * ScaleLimit + 2) * DigitsSpan;
constexpr std::int64_t TextCodes = HugeCode + DigitsSpan;  // + the first 7 bytes, big-endian

std::int64_t MagnitudeCode(std::int64_t Scale, std::int64_t Digits)
{
    if (Scale < -ScaleLimit) return TinyCode;
    if (Scale > ScaleLimit) return HugeCode;
    return (Scale + ScaleLimit + 1) * DigitsSpan + Digits;
}

}  // namespace

std::int64_t NumberOrderCode(std::string_view Text)
{
    std::optional<TDecimal> Number = ParseDecimal(Text);
    if (!Number) {
        std::uint64_t Bytes = 0;
        for (std::size_t I = 0; I < 7; ++I) Bytes = Bytes << 8 | (I < Text.size() ? static_cast<unsigned char>(Text[I]) : 0u);
        return TextCodes + static_cast<std::int64_t>(Bytes);
    }
    TNormalDecimal N = Normalize(*Number);
    if (N.IsZero()) return 0;
    std::int64_t Digits = 0;
    for (std::size_t I = 0; I < static_cast<std::size_t>(SignificantDigits); ++I) Digits = Digits * 10 + (N.Digit(I) - '0');
    std::int64_t Code = MagnitudeCode(N.Scale, Digits);
    return Number->Negative ? -Code : Code;
}

std::string_view CharacterRange(std::string_view Text, int First, int Last)
{
    std::size_t Begin = Text.size(), End = Text.size();
    int Char = 0;  // 1-based number of the character starting at byte I
    for (std::size_t I = 0; I < Text.size(); ++I) {
        if (IsContinuationByte(Text[I])) continue;
        ++Char;
        if (Char == First) Begin = I;
        if (Last > 0 && Char - 1 == Last) {  // the character after the last (Last + 1 may overflow)
            End = I;
            break;
        }
    }
    if (First <= 1) Begin = 0;
    if (Begin >= End) return {};
    return Text.substr(Begin, End - Begin);
}

std::size_t CharacterCount(std::string_view Text)
{
    std::size_t Count = 0;
    for (char C : Text)
        if (!IsContinuationByte(C)) ++Count;
    return Count;
}

AnsiString Quoted(std::string_view Text)
{
    constexpr std::size_t Limit = 60;
    std::size_t Bytes = 0, Chars = 0;
    while (Bytes < Text.size()) {
        if (!IsContinuationByte(Text[Bytes])) {
            if (Chars == Limit) break;
            ++Chars;
        }
        ++Bytes;
    }
    AnsiString Result(1, '"');
    for (char C : Text.substr(0, Bytes)) {
        const unsigned char U = static_cast<unsigned char>(C);
        if (U >= 0x20 && U != 0x7F) {
            Result += C;
            continue;
        }
        switch (C) {
        case '\0': Result += "\\0"; break;
        case '\n': Result += "\\n"; break;
        case '\r': Result += "\\r"; break;
        case '\t': Result += "\\t"; break;
        default: {
            const char Hex[] = "0123456789ABCDEF";
            Result += "\\x";
            Result += Hex[U >> 4];
            Result += Hex[U & 15];
        }
        }
    }
    Result.append(Bytes < Text.size() ? "...\"" : "\"");
    return Result;
}

AnsiString OneLine(std::string_view Text)
{
    AnsiString Result;
    bool Blank = false;
    for (char C : Text) {
        const unsigned char U = static_cast<unsigned char>(C);
        if (U <= 0x20 || U == 0x7F) {
            Blank = !Result.empty();
            continue;
        }
        if (Blank) Result += ' ';
        Blank = false;
        Result += C;
    }
    return Result;
}

}  // namespace RecordServer
