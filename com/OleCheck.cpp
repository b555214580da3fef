#include "com/OleCheck.h"

#include "com/ErrorInfo.h"

HRESULT OleCheck(HRESULT Code)
{
    if (SUCCEEDED(Code)) return Code;
    // Taking the info also drops a stale record that belongs to another failure.
    std::optional<TErrorInfo> Info = GetErrorInfo();
    if (Info && (Info->Code == S_OK || Info->Code == Code)) {
        AnsiString Message = Info->Description.empty() ? SysErrorMessage(Code) : Info->Description;
        throw EOleException(std::move(Message), Code, Info->Source);
    }
    throw EOleException(SysErrorMessage(Code), Code, AnsiString());
}
