// Fuzz target: UTF-8 and UTF-16. Any bytes convert to UTF-16 and back to well-formed UTF-8;
// well-formed UTF-8 comes back unchanged; any UTF-16 (the input read as 16-bit units)
// converts to well-formed UTF-8, and valid text survives the way there and back.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "com/WideString.h"
#include "framework/core/TextUtils.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    std::string_view Bytes(reinterpret_cast<const char*>(Data), Size);
    const AnsiString Back = Utf16ToUtf8(Utf8ToUtf16(Bytes));
    if (!IsValidUtf8(Back)) std::abort();
    if (IsValidUtf8(Bytes) != (Back == Bytes)) std::abort();
    if (ToValidUtf8(Bytes) != Back) std::abort();

    WideString Units(Size / 2, u'\0');
    if (!Units.empty()) std::memcpy(Units.data(), Data, Units.size() * 2);
    const AnsiString Utf8 = Utf16ToUtf8(Units);
    if (!IsValidUtf8(Utf8)) std::abort();
    if (Utf16ToUtf8(Utf8ToUtf16(Utf8)) != Utf8) std::abort();
    return 0;
}
