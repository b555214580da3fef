#include "com/HResult.h"

#include "framework/core/TextUtils.h"

AnsiString SysErrorMessage(HRESULT Code)
{
    switch (Code) {
    case S_OK: return "The operation completed successfully.";
    case S_FALSE: return "Incorrect function.";
    case E_NOTIMPL: return "Not implemented";
    case E_NOINTERFACE: return "No such interface supported";
    case E_POINTER: return "Invalid pointer";
    case E_ABORT: return "Operation aborted";
    case E_FAIL: return "Unspecified error";
    case E_UNEXPECTED: return "Catastrophic failure";
    case E_ACCESSDENIED: return "Access is denied.";
    case E_OUTOFMEMORY: return "Not enough memory resources are available to complete this operation.";
    case E_INVALIDARG: return "The parameter is incorrect.";
    case REGDB_E_CLASSNOTREG: return "Class not registered";
    case CLASS_E_NOAGGREGATION: return "Class does not support aggregation (or class object is remote)";
    case CO_E_NOTINITIALIZED: return "CoInitialize has not been called.";
    case DISP_E_TYPEMISMATCH: return "Type mismatch.";
    case DISP_E_UNKNOWNNAME: return "Unknown name.";
    default: return "Unknown error 0x" + IntToHex(static_cast<std::uint32_t>(Code), 8);
    }
}
