#include "com/HResult.h"

#include "framework/core/TextUtils.h"
#include "framework/core/Translation.h"

AnsiString SysErrorMessage(HRESULT Code)
{
    switch (Code) {
    case S_OK: return TranslateText("SysErrorMessage", "The operation completed successfully.");
    case S_FALSE: return TranslateText("SysErrorMessage", "Incorrect function.");
    case E_NOTIMPL: return TranslateText("SysErrorMessage", "Not implemented");
    case E_NOINTERFACE: return TranslateText("SysErrorMessage", "No such interface supported");
    case E_POINTER: return TranslateText("SysErrorMessage", "Invalid pointer");
    case E_ABORT: return TranslateText("SysErrorMessage", "Operation aborted");
    case E_FAIL: return TranslateText("SysErrorMessage", "Unspecified error");
    case E_UNEXPECTED: return TranslateText("SysErrorMessage", "Catastrophic failure");
    case E_ACCESSDENIED: return TranslateText("SysErrorMessage", "Access is denied.");
    case E_OUTOFMEMORY: return TranslateText("SysErrorMessage", "Not enough memory resources are available to complete this operation.");
    case E_INVALIDARG: return TranslateText("SysErrorMessage", "The parameter is incorrect.");
    case REGDB_E_CLASSNOTREG: return TranslateText("SysErrorMessage", "Class not registered");
    case CLASS_E_NOAGGREGATION: return TranslateText("SysErrorMessage", "Class does not support aggregation (or class object is remote)");
    case CO_E_NOTINITIALIZED: return TranslateText("SysErrorMessage", "CoInitialize has not been called.");
    case DISP_E_TYPEMISMATCH: return TranslateText("SysErrorMessage", "Type mismatch.");
    case DISP_E_UNKNOWNNAME: return TranslateText("SysErrorMessage", "Unknown name.");
    default:
        return FormatText(TranslateText("SysErrorMessage", "Unknown error 0x%1"),
                          {IntToHex(static_cast<std::uint32_t>(Code), 8)});
    }
}
