#include "com/Guid.h"

#include "framework/core/TextUtils.h"
#include "framework/core/Translation.h"

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

void RaiseInvalidGUID(std::string_view Text)
{
    throw EConvertError(FormatText(TranslateText("Guid", "'%1' is not a valid GUID value"), {Text}));
}

GUID StringToGUID(std::string_view Text)
{
    return MakeGUID(Text);
}
