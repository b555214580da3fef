#pragma once
// Text helpers with the framework's rules. Trimming removes blanks and control characters
// (every byte up to and including the space); bytes of multi-byte UTF-8 characters are
// never removed.
#include <cstdint>
#include <string_view>

#include "framework/core/Exceptions.h"

AnsiString Trim(std::string_view S);
AnsiString TrimLeft(std::string_view S);
AnsiString TrimRight(std::string_view S);

AnsiString IntToStr(std::int64_t Value);
AnsiString IntToHex(std::uint64_t Value, int Digits);
// Decimal or $hex, optional sign, surrounding blanks allowed; anything else, or a value
// outside 32 bits, raises EConvertError "'S' is not a valid integer value".
int StrToInt(std::string_view S);
std::int64_t StrToInt64(std::string_view S);
int StrToIntDef(std::string_view S, int Default);
bool TryStrToInt(std::string_view S, int& Value);
bool TryStrToInt64(std::string_view S, std::int64_t& Value);

// ASCII case mapping and comparison, as the framework's non-locale variants.
AnsiString UpperCase(std::string_view S);
AnsiString LowerCase(std::string_view S);
int CompareText(std::string_view A, std::string_view B);
bool SameText(std::string_view A, std::string_view B);

// Appends the UTF-8 encoding of one Unicode code point (at most U+10FFFF).
void AppendUtf8(AnsiString& Out, char32_t Code);

// True for a valid Pascal-style identifier: a letter or '_' then letters, digits or '_'.
bool IsValidIdent(std::string_view S);
