#pragma once
// COM-style interfaces, counted references to them, and a base for objects that implement
// them.
//
// Convention: every interface declares its identity as a static member
//     static constexpr IID InterfaceId = IID_IThing;
// TComInterface<T>::As<U>() and TComObject's QueryInterface use U::InterfaceId. An interface
// that derives from another must declare its own InterfaceId (else it would answer to its
// base's).
//
// Reference counts: an object made with `new` holds one reference, its creator's. Adopt it
// with TComInterface<T>::Attach (or MakeComObject), which does not add another; every copy
// of a TComInterface adds one and every destruction or Reset releases one; the object frees
// itself when the last reference is released.
#include <atomic>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <utility>

#include "com/Guid.h"
#include "com/HResult.h"
#include "com/OleVariant.h"
#include "com/WideString.h"

inline constexpr IID IID_IUnknown = MakeGUID("{00000000-0000-0000-C000-000000000046}");
inline constexpr IID IID_IDispatch = MakeGUID("{00020400-0000-0000-C000-000000000046}");

class IUnknown {
public:
    static constexpr IID InterfaceId = IID_IUnknown;

    // On success stores the interface pointer (as that interface's type, cast to void*) and
    // adds a reference to it; otherwise stores nullptr and answers E_NOINTERFACE
    // (E_POINTER when Object is null).
    virtual HRESULT QueryInterface(const IID& Iid, void** Object) = 0;
    // Both answer the new count.
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    // Objects are freed through Release, never deleted by a holder of an interface.
    virtual ~IUnknown() = default;
};

// Late binding. There are no type libraries here: unless an object overrides them, the four
// slots answer E_NOTIMPL, and callers use the interfaces' own operations.
class IDispatch : public IUnknown {
public:
    static constexpr IID InterfaceId = IID_IDispatch;

    virtual HRESULT GetTypeInfoCount(unsigned int* Count);
    virtual HRESULT GetTypeInfo(unsigned int Index, void** TypeInfo);
    virtual HRESULT GetIDsOfNames(const WideString* Names, unsigned int NameCount, std::int32_t* DispIds);
    virtual HRESULT Invoke(std::int32_t DispId, OleVariant* Args, unsigned int ArgCount, OleVariant* Result);
};

namespace com_detail {
// Raised by TComInterface when an empty reference is used: EOleSysError "Invalid pointer".
[[noreturn]] void ThrowEmptyInterface();
}  // namespace com_detail

// A counted reference to an interface (or to an object implementing interfaces).
template <class T>
class TComInterface {
public:
    TComInterface() noexcept = default;
    TComInterface(std::nullptr_t) noexcept {}
    // Shares Ptr: adds a reference to it.
    explicit TComInterface(T* Ptr) noexcept : FPtr(Ptr) { AddRefPtr(); }
    // Adopts the reference that the caller holds on Ptr (a freshly created object, or an
    // out-value of QueryInterface) without adding one.
    static TComInterface Attach(T* Ptr) noexcept
    {
        TComInterface Result;
        Result.FPtr = Ptr;
        return Result;
    }

    TComInterface(const TComInterface& Other) noexcept : FPtr(Other.FPtr) { AddRefPtr(); }
    TComInterface(TComInterface&& Other) noexcept : FPtr(std::exchange(Other.FPtr, nullptr)) {}
    // From a reference to a derived interface or an implementing class.
    template <class U>
        requires(!std::same_as<U, T> && std::convertible_to<U*, T*>)
    TComInterface(const TComInterface<U>& Other) noexcept : FPtr(Other.get())
    {
        AddRefPtr();
    }
    template <class U>
        requires(!std::same_as<U, T> && std::convertible_to<U*, T*>)
    TComInterface(TComInterface<U>&& Other) noexcept : FPtr(Other.Detach())
    {
    }

    TComInterface& operator=(TComInterface Other) noexcept
    {
        std::swap(FPtr, Other.FPtr);
        return *this;
    }
    ~TComInterface() { Reset(); }

    // Raise EOleSysError (E_POINTER) on an empty reference instead of crashing.
    T* operator->() const
    {
        if (!FPtr) com_detail::ThrowEmptyInterface();
        return FPtr;
    }
    T& operator*() const { return *operator->(); }
    explicit operator bool() const noexcept { return FPtr != nullptr; }
    T* get() const noexcept { return FPtr; }

    // Releases the reference held (if any); the reference becomes empty.
    void Reset() noexcept
    {
        if (T* Old = std::exchange(FPtr, nullptr)) Old->Release();
    }
    // Hands the reference held to the caller, who must release it; the reference becomes empty.
    [[nodiscard]] T* Detach() noexcept { return std::exchange(FPtr, nullptr); }

    // Asks the object for interface U (by U::InterfaceId). Empty when it does not support it,
    // or when this reference is empty.
    template <class U>
    TComInterface<U> As() const
    {
        TComInterface<U> Result;
        QueryInterface(Result);
        return Result;
    }
    // The same, answering the object's result code (E_POINTER for an empty reference).
    template <class U>
    HRESULT QueryInterface(TComInterface<U>& Out) const
    {
        Out.Reset();
        if (!FPtr) return E_POINTER;
        void* Found = nullptr;
        HRESULT Code = FPtr->QueryInterface(U::InterfaceId, &Found);
        if (SUCCEEDED(Code) && Found) Out = TComInterface<U>::Attach(static_cast<U*>(Found));
        return Code;
    }

    friend bool operator==(const TComInterface& A, const TComInterface& B) noexcept
    {
        return A.FPtr == B.FPtr;
    }
    friend bool operator==(const TComInterface& A, std::nullptr_t) noexcept { return A.FPtr == nullptr; }

private:
    void AddRefPtr() noexcept
    {
        if (FPtr) FPtr->AddRef();
    }

    T* FPtr = nullptr;  // owned: one reference
};

// A base for objects that implement the interfaces listed, with a thread-safe reference
// count. The object starts with one reference (its creator's) and deletes itself on the last
// Release. QueryInterface answers each listed interface's InterfaceId, IID_IUnknown, and
// IID_IDispatch when a listed interface derives from IDispatch.
//     class TThing : public TComObject<IThing> { ... the operations of IThing ... };
//     TComInterface<IThing> Thing = MakeComObject<TThing>();
template <class... Interfaces>
class TComObject : public Interfaces... {
    static_assert(sizeof...(Interfaces) > 0, "a COM object implements at least one interface");

public:
    TComObject() = default;
    TComObject(const TComObject&) = delete;
    TComObject& operator=(const TComObject&) = delete;

    HRESULT QueryInterface(const IID& Iid, void** Object) override
    {
        if (!Object) return E_POINTER;
        *Object = FindInterface(Iid);
        if (!*Object) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return FRefCount.fetch_add(1, std::memory_order_relaxed) + 1; }
    ULONG Release() override
    {
        ULONG Count = FRefCount.fetch_sub(1, std::memory_order_acq_rel) - 1;
        if (Count == 0) delete this;
        return Count;
    }

protected:
    ~TComObject() override = default;

private:
    template <class First, class...>
    struct FirstOf {
        using Type = First;
    };

    void* FindInterface(const IID& Iid)
    {
        void* Found = nullptr;
        const auto Try = [&]<class I>(I* Ptr) {
            if (!Found && Iid == I::InterfaceId) Found = Ptr;
            if constexpr (std::is_base_of_v<IDispatch, I>) {
                if (!Found && Iid == IID_IDispatch) Found = static_cast<IDispatch*>(Ptr);
            }
        };
        (Try(static_cast<Interfaces*>(this)), ...);
        if (!Found && Iid == IID_IUnknown)
            Found = static_cast<IUnknown*>(static_cast<typename FirstOf<Interfaces...>::Type*>(this));
        return Found;
    }

    std::atomic<ULONG> FRefCount{1};
};

// Creates an object of class TObj, adopting the reference it starts with.
template <class TObj, class... Args>
TComInterface<TObj> MakeComObject(Args&&... Arguments)
{
    return TComInterface<TObj>::Attach(new TObj(std::forward<Args>(Arguments)...));
}
