#include "framework/core/TextUtils.h"

#include <cctype>
#include <limits>

#include "framework/core/Translation.h"

namespace {

bool IsBlank(char C)
{
    return static_cast<unsigned char>(C) <= ' ';
}

char AsciiUpper(char C)
{
    return (C >= 'a' && C <= 'z') ? static_cast<char>(C - 'a' + 'A') : C;
}

char AsciiLower(char C)
{
    return (C >= 'A' && C <= 'Z') ? static_cast<char>(C - 'A' + 'a') : C;
}

}  // namespace

AnsiString Trim(std::string_view S)
{
    return TrimRight(TrimLeft(S));
}

AnsiString TrimLeft(std::string_view S)
{
    std::size_t I = 0;
    while (I < S.size() && IsBlank(S[I])) ++I;
    return AnsiString(S.substr(I));
}

AnsiString TrimRight(std::string_view S)
{
    std::size_t N = S.size();
    while (N > 0 && IsBlank(S[N - 1])) --N;
    return AnsiString(S.substr(0, N));
}

AnsiString IntToStr(std::int64_t Value)
{
    return std::to_string(Value);
}

AnsiString IntToHex(std::uint64_t Value, int Digits)
{
    static const char* const Hex = "0123456789ABCDEF";
    AnsiString Result;
    do {
        Result.insert(Result.begin(), Hex[Value & 0xF]);
        Value >>= 4;
    } while (Value != 0);
    while (static_cast<int>(Result.size()) < Digits) Result.insert(Result.begin(), '0');
    return Result;
}

bool TryStrToInt64(std::string_view S, std::int64_t& Value)
{
    AnsiString T = Trim(S);
    std::size_t I = 0;
    bool Negative = false;
    if (I < T.size() && (T[I] == '-' || T[I] == '+')) {
        Negative = T[I] == '-';
        ++I;
    }
    int Base = 10;
    if (I < T.size() && T[I] == '$') {
        Base = 16;
        ++I;
    } else if (I + 1 < T.size() && T[I] == '0' && (T[I + 1] == 'x' || T[I + 1] == 'X')) {
        Base = 16;
        I += 2;
    }
    if (I >= T.size()) return false;
    // Accumulate as a negative number so that the minimum value fits.
    std::int64_t Acc = 0;
    const std::int64_t Min = std::numeric_limits<std::int64_t>::min();
    for (; I < T.size(); ++I) {
        int Digit;
        char C = T[I];
        if (C >= '0' && C <= '9') Digit = C - '0';
        else if (Base == 16 && C >= 'a' && C <= 'f') Digit = C - 'a' + 10;
        else if (Base == 16 && C >= 'A' && C <= 'F') Digit = C - 'A' + 10;
        else return false;
        if (Acc < (Min + Digit) / Base) return false;
        Acc = Acc * Base - Digit;
    }
    if (!Negative) {
        if (Acc == Min) return false;
        Acc = -Acc;
    }
    Value = Acc;
    return true;
}

bool TryStrToInt(std::string_view S, int& Value)
{
    std::int64_t V;
    if (!TryStrToInt64(S, V)) return false;
    if (V < std::numeric_limits<int>::min() || V > std::numeric_limits<int>::max()) return false;
    Value = static_cast<int>(V);
    return true;
}

std::int64_t StrToInt64(std::string_view S)
{
    std::int64_t V;
    if (!TryStrToInt64(S, V))
        throw EConvertError(FormatText(TranslateText("TextUtils", "'%1' is not a valid integer value"), {S}));
    return V;
}

int StrToInt(std::string_view S)
{
    int V;
    if (!TryStrToInt(S, V))
        throw EConvertError(FormatText(TranslateText("TextUtils", "'%1' is not a valid integer value"), {S}));
    return V;
}

int StrToIntDef(std::string_view S, int Default)
{
    int V;
    return TryStrToInt(S, V) ? V : Default;
}

AnsiString UpperCase(std::string_view S)
{
    AnsiString R(S);
    for (char& C : R) C = AsciiUpper(C);
    return R;
}

AnsiString LowerCase(std::string_view S)
{
    AnsiString R(S);
    for (char& C : R) C = AsciiLower(C);
    return R;
}

int CompareText(std::string_view A, std::string_view B)
{
    std::size_t N = A.size() < B.size() ? A.size() : B.size();
    for (std::size_t I = 0; I < N; ++I) {
        unsigned char X = static_cast<unsigned char>(AsciiUpper(A[I]));
        unsigned char Y = static_cast<unsigned char>(AsciiUpper(B[I]));
        if (X != Y) return X < Y ? -1 : 1;
    }
    if (A.size() == B.size()) return 0;
    return A.size() < B.size() ? -1 : 1;
}

bool SameText(std::string_view A, std::string_view B)
{
    return CompareText(A, B) == 0;
}

void AppendUtf8(AnsiString& Out, char32_t C)
{
    if (C < 0x80) {
        Out += static_cast<char>(C);
    } else if (C < 0x800) {
        Out += static_cast<char>(0xC0 | (C >> 6));
        Out += static_cast<char>(0x80 | (C & 0x3F));
    } else if (C < 0x10000) {
        Out += static_cast<char>(0xE0 | (C >> 12));
        Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (C & 0x3F));
    } else {
        Out += static_cast<char>(0xF0 | (C >> 18));
        Out += static_cast<char>(0x80 | ((C >> 12) & 0x3F));
        Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (C & 0x3F));
    }
}

char32_t DecodeUtf8(std::string_view Text, std::size_t& Pos)
{
    const auto Byte = [&](std::size_t I) { return static_cast<std::uint8_t>(Text[I]); };
    std::uint8_t Lead = Byte(Pos++);
    if (Lead < 0x80) return Lead;

    // The first trail byte's range excludes overlong forms, surrogates and values above
    // U+10FFFF.
    int Trail = 0;
    char32_t C = 0;
    std::uint8_t Low = 0x80, High = 0xBF;
    if (Lead >= 0xC2 && Lead <= 0xDF) {
        Trail = 1;
        C = Lead & 0x1F;
    } else if (Lead >= 0xE0 && Lead <= 0xEF) {
        Trail = 2;
        C = Lead & 0x0F;
        if (Lead == 0xE0) Low = 0xA0;
        if (Lead == 0xED) High = 0x9F;
    } else if (Lead >= 0xF0 && Lead <= 0xF4) {
        Trail = 3;
        C = Lead & 0x07;
        if (Lead == 0xF0) Low = 0x90;
        if (Lead == 0xF4) High = 0x8F;
    } else {
        return Utf8Error;
    }
    for (int I = 0; I < Trail; ++I) {
        if (Pos >= Text.size()) return Utf8Error;
        std::uint8_t B = Byte(Pos);
        if (B < Low || B > High) return Utf8Error;
        C = (C << 6) | (B & 0x3F);
        ++Pos;
        Low = 0x80;
        High = 0xBF;
    }
    return C;
}

bool IsValidUtf8(std::string_view Text)
{
    for (std::size_t Pos = 0; Pos < Text.size();)
        if (DecodeUtf8(Text, Pos) == Utf8Error) return false;
    return true;
}

AnsiString ToValidUtf8(std::string_view Text)
{
    if (IsValidUtf8(Text)) return AnsiString(Text);
    AnsiString Result;
    for (std::size_t Pos = 0; Pos < Text.size();) {
        char32_t C = DecodeUtf8(Text, Pos);
        AppendUtf8(Result, C == Utf8Error ? ReplacementCharacter : C);
    }
    return Result;
}

bool IsValidIdent(std::string_view S)
{
    if (S.empty()) return false;
    auto Alpha = [](char C) { return (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z') || C == '_'; };
    if (!Alpha(S[0])) return false;
    for (char C : S)
        if (!Alpha(C) && !(C >= '0' && C <= '9')) return false;
    return true;
}
