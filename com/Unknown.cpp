#include "com/Unknown.h"

#include "com/OleCheck.h"

HRESULT IDispatch::GetTypeInfoCount(unsigned int* Count)
{
    if (Count) *Count = 0;
    return E_NOTIMPL;
}

HRESULT IDispatch::GetTypeInfo(unsigned int, void** TypeInfo)
{
    if (TypeInfo) *TypeInfo = nullptr;
    return E_NOTIMPL;
}

HRESULT IDispatch::GetIDsOfNames(const WideString*, unsigned int, std::int32_t*)
{
    return E_NOTIMPL;
}

HRESULT IDispatch::Invoke(std::int32_t, OleVariant*, unsigned int, OleVariant*)
{
    return E_NOTIMPL;
}

namespace com_detail {

void ThrowEmptyInterface()
{
    throw EOleSysError(SysErrorMessage(E_POINTER), E_POINTER);
}

}  // namespace com_detail
