#include "server/ValueText.h"

#include <charconv>

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

bool ParseNumber(std::string_view Text, double& Value)
{
    // Blanks and control characters around the number are allowed (the framework's Trim).
    while (!Text.empty() && static_cast<unsigned char>(Text.front()) <= ' ') Text.remove_prefix(1);
    while (!Text.empty() && static_cast<unsigned char>(Text.back()) <= ' ') Text.remove_suffix(1);
    std::string_view S = Text;
    std::size_t Pos = 0;
    if (Pos < S.size() && (S[Pos] == '+' || S[Pos] == '-')) ++Pos;
    std::size_t IntDigits = Digits(S, Pos);
    Pos += IntDigits;
    std::size_t FracDigits = 0;
    if (Pos < S.size() && S[Pos] == '.') {
        FracDigits = Digits(S, Pos + 1);
        Pos += 1 + FracDigits;
    }
    if (IntDigits + FracDigits == 0) return false;
    if (Pos < S.size() && (S[Pos] == 'e' || S[Pos] == 'E')) {
        std::size_t P = Pos + 1;
        if (P < S.size() && (S[P] == '+' || S[P] == '-')) ++P;
        std::size_t ExpDigits = Digits(S, P);
        if (ExpDigits == 0) return false;
        Pos = P + ExpDigits;
    }
    if (Pos != S.size()) return false;
    // from_chars does not take a leading '+', and is independent of the process's locale.
    std::size_t Start = S[0] == '+' ? 1 : 0;
    auto [End, Err] = std::from_chars(S.data() + Start, S.data() + S.size(), Value);
    // A value beyond the range of a double ("1e999") cannot be compared or stored as a number.
    return Err == std::errc() && End == S.data() + S.size();
}

std::string_view CharacterRange(std::string_view Text, int First, int Last)
{
    std::size_t Begin = Text.size(), End = Text.size();
    int Char = 0;  // 1-based number of the character starting at byte I
    for (std::size_t I = 0; I < Text.size(); ++I) {
        if (IsContinuationByte(Text[I])) continue;
        ++Char;
        if (Char == First) Begin = I;
        if (Last > 0 && Char == Last + 1) {
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
    Result.append(Text.substr(0, Bytes));
    Result.append(Bytes < Text.size() ? "...\"" : "\"");
    return Result;
}

}  // namespace RecordServer
