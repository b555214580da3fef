#include "com/Guid.h"

#include "framework/core/TextUtils.h"

AnsiString GUIDToString(const GUID& Guid)
{
    AnsiString Result = "{" + IntToHex(Guid.Data1, 8) + "-" + IntToHex(Guid.Data2, 4) + "-" +
                        IntToHex(Guid.Data3, 4) + "-";
    for (int i = 0; i < 8; ++i) {
        if (i == 2) Result += '-';
        Result += IntToHex(Guid.Data4[i], 2);
    }
    return Result + "}";
}

GUID StringToGUID(std::string_view Text)
{
    return MakeGUID(Text);
}
