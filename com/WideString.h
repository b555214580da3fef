#pragma once
// Wide strings are UTF-16, as they travel in OLE variants. AnsiString text is UTF-8.
// Both conversions accept any input: malformed UTF-8 and unpaired surrogates each become
// U+FFFD (one per maximal ill-formed sequence), so nothing invalid is ever passed on.
#include <string>
#include <string_view>

#include "framework/core/Exceptions.h"

using WideString = std::u16string;

WideString Utf8ToUtf16(std::string_view Text);
AnsiString Utf16ToUtf8(std::u16string_view Text);
