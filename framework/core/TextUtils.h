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

// Text that is not well-formed UTF-8 (bytes of another encoding, encoded surrogates,
// overlong forms) is either refused where it is read as names, or has each ill-formed
// sequence replaced by U+FFFD where it is a value; unpaired UTF-16 surrogates are treated
// the same way, so a value never holds anything that is not a character.
constexpr char32_t ReplacementCharacter = 0xFFFD;
constexpr char32_t Utf8Error = 0xFFFFFFFF;
// Decodes the character at Text[Pos] and advances Pos. An ill-formed sequence yields
// Utf8Error and advances past its longest valid prefix (at least one byte), so the byte
// that broke it starts the next character.
char32_t DecodeUtf8(std::string_view Text, std::size_t& Pos);
bool IsValidUtf8(std::string_view Text);
// Text with each ill-formed sequence replaced by U+FFFD.
AnsiString ToValidUtf8(std::string_view Text);

// True for a valid Pascal-style identifier: a letter or '_' then letters, digits or '_'.
bool IsValidIdent(std::string_view S);
