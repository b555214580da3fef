#pragma once
// Per-thread error info: the description and source of the last failure on this thread.
// A failing call sets it and returns its failure code; the caller takes it (OleCheck does)
// to tell the user what went wrong.
//
// Each record remembers the code it was set for. ReportError always records its code;
// SetErrorInfo without a code records 0, meaning "for whichever failure comes next". OleCheck
// uses a record only when its code is 0 or equals the failing code, so a record left behind
// by an earlier failure that nobody checked is not shown for an unrelated one.
#include <optional>

#include "com/HResult.h"
#include "framework/core/Exceptions.h"

struct TErrorInfo {
    AnsiString Description;
    AnsiString Source;
    HRESULT Code = S_OK;  // the failure this record belongs to; S_OK: any
};

// Replaces this thread's error info.
void SetErrorInfo(const AnsiString& Description, const AnsiString& Source, HRESULT Code = S_OK);
// Takes this thread's error info and clears it; nullopt when there is none.
std::optional<TErrorInfo> GetErrorInfo();
// Clears this thread's error info.
void ClearErrorInfo();
// Sets this thread's error info for Code and returns Code:
//     return ReportError(E_INVALIDARG, "Unknown field 'Foo'", "RecordServer");
HRESULT ReportError(HRESULT Code, const AnsiString& Description, const AnsiString& Source);
