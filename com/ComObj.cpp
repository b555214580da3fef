#include "com/ComObj.h"

#include <map>
#include <mutex>

#include "framework/core/Translation.h"

namespace {

const char* const ErrorSource = "ComObj";

thread_local int InitCount = 0;

class TClassRegistry {
public:
    void Register(const CLSID& Clsid, TComClassFactory Factory)
    {
        std::lock_guard Lock(FMutex);
        FFactories[Clsid] = std::move(Factory);
    }
    void Unregister(const CLSID& Clsid)
    {
        std::lock_guard Lock(FMutex);
        FFactories.erase(Clsid);
    }
    // A copy, so the factory runs outside the lock.
    TComClassFactory Find(const CLSID& Clsid) const
    {
        std::lock_guard Lock(FMutex);
        auto It = FFactories.find(Clsid);
        return It == FFactories.end() ? TComClassFactory() : It->second;
    }

private:
    mutable std::mutex FMutex;
    std::map<CLSID, TComClassFactory> FFactories;
};

TClassRegistry& Registry()
{
    static TClassRegistry Instance;
    return Instance;
}

HRESULT Fail(HRESULT Code)
{
    return ReportError(Code, SysErrorMessage(Code), ErrorSource);
}

}  // namespace

HRESULT CoInitialize(void*)
{
    return InitCount++ == 0 ? S_OK : S_FALSE;
}

void CoUninitialize()
{
    if (InitCount > 0) --InitCount;
}

bool CoIsInitialized()
{
    return InitCount > 0;
}

void RegisterComClass(const CLSID& Clsid, TComClassFactory Factory)
{
    Registry().Register(Clsid, std::move(Factory));
}

void UnregisterComClass(const CLSID& Clsid)
{
    Registry().Unregister(Clsid);
}

HRESULT CoCreateInstance(const CLSID& Clsid, IUnknown* Outer, DWORD ClsContext, const IID& Iid, void** Object)
{
    if (!Object) return Fail(E_POINTER);
    *Object = nullptr;
    if (!CoIsInitialized()) return Fail(CO_E_NOTINITIALIZED);
    if ((ClsContext & CLSCTX_SERVER) == 0) return Fail(E_INVALIDARG);
    TComClassFactory Factory = Registry().Find(Clsid);
    if (!Factory) return Fail(REGDB_E_CLASSNOTREG);
    if (Outer) return Fail(CLASS_E_NOAGGREGATION);

    IUnknown* Created = nullptr;
    try {
        Created = Factory();
    } catch (const std::exception& E) {
        return ReportError(E_FAIL, E.what(), ErrorSource);
    } catch (...) {
        return Fail(E_FAIL);
    }
    if (!Created)
        return ReportError(
            E_FAIL,
            FormatText(TranslateText("ComObj", "The class factory of %1 made no object"), {GUIDToString(Clsid)}),
            ErrorSource);
    // The factory's reference is dropped whatever the answer: on success the caller holds the
    // one QueryInterface added, on failure the object is freed.
    HRESULT Code = Created->QueryInterface(Iid, Object);
    Created->Release();
    if (FAILED(Code)) {
        *Object = nullptr;
        return Fail(Code);
    }
    return S_OK;
}
