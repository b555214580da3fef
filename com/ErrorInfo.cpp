#include "com/ErrorInfo.h"

namespace {
thread_local std::optional<TErrorInfo> ThreadErrorInfo;
}

void SetErrorInfo(const AnsiString& Description, const AnsiString& Source, HRESULT Code)
{
    ThreadErrorInfo = TErrorInfo{Description, Source, Code};
}

std::optional<TErrorInfo> GetErrorInfo()
{
    std::optional<TErrorInfo> Result = std::move(ThreadErrorInfo);
    ThreadErrorInfo.reset();
    return Result;
}

void ClearErrorInfo()
{
    ThreadErrorInfo.reset();
}

HRESULT ReportError(HRESULT Code, const AnsiString& Description, const AnsiString& Source)
{
    SetErrorInfo(Description, Source, Code);
    return Code;
}
