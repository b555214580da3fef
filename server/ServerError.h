#pragma once
// The failure that the server's inner layers raise. It never leaves the server: the
// IFileDataSet object turns it into the call's result code and this thread's error info.
#include "com/HResult.h"
#include "framework/core/Exceptions.h"

namespace RecordServer {

class EServerError : public Exception {
public:
    explicit EServerError(AnsiString Msg, HRESULT Code = E_FAIL) : Exception(std::move(Msg)), FCode(Code) {}
    HRESULT Code() const noexcept { return FCode; }

private:
    HRESULT FCode;
};

}  // namespace RecordServer
