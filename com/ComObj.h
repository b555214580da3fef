#pragma once
// Initialisation, the class registry, and creating objects by class id.
//
// CoInitialize is counted per thread: the first call on a thread answers S_OK, every further
// one S_FALSE; each should be matched by a CoUninitialize. Objects can be created only on a
// thread that is initialised.
//
// The registry maps a class id to a factory. A factory returns a new object holding one
// reference (the caller's), or nullptr when it could not make one; a factory that throws
// makes the creation fail with the exception's message. The registry is safe to use from any
// thread; factories run outside its lock, so a factory may itself create objects.
#include <functional>

#include "com/ErrorInfo.h"
#include "com/Guid.h"
#include "com/HResult.h"
#include "com/OleCheck.h"
#include "com/Unknown.h"

inline constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
inline constexpr DWORD CLSCTX_INPROC_HANDLER = 0x2;
inline constexpr DWORD CLSCTX_LOCAL_SERVER = 0x4;
inline constexpr DWORD CLSCTX_REMOTE_SERVER = 0x10;
inline constexpr DWORD CLSCTX_SERVER = CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;

HRESULT CoInitialize(void* Reserved = nullptr);
// Undoes one CoInitialize of this thread; does nothing on a thread that is not initialised.
void CoUninitialize();
// Whether CoInitialize is in force on this thread.
bool CoIsInitialized();

using TComClassFactory = std::function<IUnknown*()>;

// Registers Factory for Clsid, replacing an earlier registration of the same class.
void RegisterComClass(const CLSID& Clsid, TComClassFactory Factory);
// Removes the registration of Clsid, if any.
void UnregisterComClass(const CLSID& Clsid);

// Creates an object of the class Clsid and asks it for Iid. Answers S_OK with a reference in
// *Object, or a failure with *Object null and this thread's error info describing it:
//   E_POINTER              Object is null
//   CO_E_NOTINITIALIZED    CoInitialize was not called on this thread
//   E_INVALIDARG           ClsContext names no kind of server
//   CLASS_E_NOAGGREGATION  Outer is given (no class here supports aggregation)
//   REGDB_E_CLASSNOTREG    "Class not registered"
//   E_NOINTERFACE          the object does not support Iid (the object is freed)
//   E_FAIL                 the factory threw (its message) or made no object
HRESULT CoCreateInstance(const CLSID& Clsid, IUnknown* Outer, DWORD ClsContext, const IID& Iid, void** Object);

// CoCreateInstance for interface T (by T::InterfaceId) in process or as a local server;
// a failure raises EOleException through OleCheck.
template <class T = IUnknown>
TComInterface<T> CreateComObject(const CLSID& Clsid)
{
    void* Object = nullptr;
    OleCheck(CoCreateInstance(Clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, T::InterfaceId, &Object));
    return TComInterface<T>::Attach(static_cast<T*>(Object));
}
