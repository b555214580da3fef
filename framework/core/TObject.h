#pragma once
// The root of the framework's class tree. Every published class declares its class
// information (name, parent, published properties) with DECLARE_CLASSINFO and defines
// StaticClassInfo() with a TClassBuilder (see TypeInfo.h).
#include "framework/core/Exceptions.h"

struct TClassInfo;
struct TTypeInfo;

#define DECLARE_CLASSINFO()                                        \
public:                                                            \
    static const TClassInfo* StaticClassInfo();                    \
    const TClassInfo* ClassInfo() const override { return StaticClassInfo(); }

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;

    // The name of the object's dynamic class ("TButton").
    AnsiString ClassName() const;
    static const TClassInfo* StaticClassInfo();
    virtual const TClassInfo* ClassInfo() const { return StaticClassInfo(); }
    // True when the object's class is the given registered class or one of its descendants.
    bool InheritsFrom(const TClassInfo* Class) const;

    // Frees the object: BeforeDestruction, then delete. (FreeAndNil accepts null.)
    // Virtual so that a control freed while one of its own event handlers is still
    // running can postpone its deletion until the handler has returned.
    virtual void Free();
    virtual void BeforeDestruction() {}
};

// Frees Obj (null allowed) and sets the pointer to null.
template <class T>
void FreeAndNil(T*& Obj)
{
    T* Tmp = Obj;
    Obj = nullptr;
    if (Tmp) Tmp->Free();
}
