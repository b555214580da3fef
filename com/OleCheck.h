#pragma once
// Exceptions for failed COM-style calls, and OleCheck, which turns a failing result code
// into one.
#include "com/HResult.h"
#include "framework/core/Exceptions.h"

class EOleError : public Exception {
public:
    using Exception::Exception;
};

// A failure with its result code.
class EOleSysError : public EOleError {
public:
    EOleSysError(AnsiString Msg, HRESULT ErrorCode) : EOleError(std::move(Msg)), FErrorCode(ErrorCode) {}
    HRESULT ErrorCode() const noexcept { return FErrorCode; }

private:
    HRESULT FErrorCode;
};

// A failure reported by the called object, with the source it named.
class EOleException : public EOleSysError {
public:
    EOleException(AnsiString Msg, HRESULT ErrorCode, AnsiString Source)
        : EOleSysError(std::move(Msg), ErrorCode), FSource(std::move(Source)) {}
    const AnsiString& Source() const noexcept { return FSource; }

private:
    AnsiString FSource;
};

// Returns Code when it succeeds (nothing else happens). A failing code raises EOleException:
// its message is the description of this thread's error info when that info belongs to this
// failure (see ErrorInfo.h; the info is taken), else the system text for the code with an
// empty source.
HRESULT OleCheck(HRESULT Code);
