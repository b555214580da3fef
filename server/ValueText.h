#pragma once
// The server's rules for field values, which travel as text: what counts as a number, how
// long a text is in characters, and how a value is quoted in a message.
#include <cstddef>
#include <string_view>

#include "framework/core/Exceptions.h"

namespace RecordServer {

// A decimal number with optional sign, fraction and exponent ("13", "-0.5", "1e3"), with
// blanks around it allowed. True and the value when Text is one.
bool ParseNumber(std::string_view Text, double& Value);
inline bool IsNumber(std::string_view Text)
{
    double Ignored;
    return ParseNumber(Text, Ignored);
}
// The characters First to Last of UTF-8 Text, counted from 1, both included; First 0 or 1
// means from the first character, Last 0 to the last one. Empty when First is past the end.
std::string_view CharacterRange(std::string_view Text, int First, int Last);
// The number of characters (code points) of UTF-8 text: every byte that does not continue
// a multi-byte character counts as one.
std::size_t CharacterCount(std::string_view Text);
// Text in double quotes for messages, shortened to about 60 characters.
AnsiString Quoted(std::string_view Text);

}  // namespace RecordServer
