#pragma once
// Method pointers: an object plus one of its member functions, as the framework's events
// are. They compare equal when object and function are the same, are "assigned" when the
// function part is set, and can be stored type-erased (TMethod) so that the form reader
// binds an event to a handler that the form publishes by name.
#include <array>
#include <cstring>
#include <typeinfo>
#include <utility>

#include "framework/core/Exceptions.h"

class TObject;

// A member function pointer stored as raw bytes (two words on the Itanium ABI).
using TMethodCode = std::array<unsigned char, 2 * sizeof(void*)>;

struct TMethod {
    void* Data = nullptr;                  // the object the function is called on (not owned)
    TMethodCode Code{};                    // the member function
    bool HasCode = false;
    void (*Invoker)() = nullptr;           // typed trampoline, cast back by TMethodPtr
    const std::type_info* Signature = nullptr;  // the event's signature, R(A...)

    bool Assigned() const { return HasCode; }
    bool operator==(const TMethod& Other) const
    {
        if (HasCode != Other.HasCode) return false;
        if (!HasCode) return true;
        return Data == Other.Data && Code == Other.Code;
    }
};

template <class Sig>
class TMethodPtr;

template <class R, class... A>
class TMethodPtr<R(A...)> {
public:
    using Signature = R(A...);

    TMethodPtr() { FMethod.Signature = &typeid(Signature); }
    TMethodPtr(std::nullptr_t) : TMethodPtr() {}

    template <class C>
    TMethodPtr(C* Object, R (C::*Function)(A...)) : TMethodPtr()
    {
        Bind(Object, Function, &InvokeMember<C, R (C::*)(A...)>);
    }
    template <class C>
    TMethodPtr(C* Object, R (C::*Function)(A...) const) : TMethodPtr()
    {
        Bind(Object, Function, &InvokeMember<C, R (C::*)(A...) const>);
    }

    // From a type-erased method; its signature must be this one.
    static TMethodPtr FromMethod(const TMethod& Method)
    {
        if (Method.HasCode && Method.Signature && *Method.Signature != typeid(Signature))
            // A program's mistake: left untranslated.
            throw EConvertError("Incompatible types: method pointer signatures differ");
        TMethodPtr P;
        P.FMethod = Method;
        P.FMethod.Signature = &typeid(Signature);
        return P;
    }
    const TMethod& Method() const { return FMethod; }

    bool Assigned() const { return FMethod.HasCode; }
    explicit operator bool() const { return Assigned(); }
    void* Data() const { return FMethod.Data; }

    R operator()(A... Args) const
    {
        using Trampoline = R (*)(void*, const TMethodCode&, A...);
        return reinterpret_cast<Trampoline>(FMethod.Invoker)(FMethod.Data, FMethod.Code,
                                                              std::forward<A>(Args)...);
    }

    bool operator==(const TMethodPtr& Other) const { return FMethod == Other.FMethod; }

private:
    template <class C, class F>
    static R InvokeMember(void* Object, const TMethodCode& Code, A... Args)
    {
        F Function;
        std::memcpy(&Function, Code.data(), sizeof(F));
        return (static_cast<C*>(Object)->*Function)(std::forward<A>(Args)...);
    }

    template <class C, class F, class T>
    void Bind(C* Object, F Function, T Trampoline)
    {
        static_assert(sizeof(F) <= sizeof(TMethodCode), "member function pointer too large");
        FMethod.Data = static_cast<void*>(Object);
        FMethod.Code.fill(0);
        std::memcpy(FMethod.Code.data(), &Function, sizeof(F));
        FMethod.HasCode = Function != nullptr;
        FMethod.Invoker = reinterpret_cast<void (*)()>(Trampoline);
    }

    TMethod FMethod;
};

template <class T>
struct IsMethodPtr : std::false_type {};
template <class Sig>
struct IsMethodPtr<TMethodPtr<Sig>> : std::true_type {};

// The framework's basic event: a notification with the sender.
using TNotifyEvent = TMethodPtr<void(TObject* Sender)>;
