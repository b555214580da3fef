#pragma once
#include "framework/core/TObject.h"

// An object that can copy itself from another (Assign) and be streamed.
class TPersistent : public TObject {
    DECLARE_CLASSINFO()
public:
    // Copies Source into this object. The default asks Source to AssignTo this object;
    // when neither side knows the other, EConvertError "Cannot assign a X to a Y".
    virtual void Assign(TPersistent* Source);
    // The owner in the sense of name paths (a collection's owner, an item's collection).
    virtual TPersistent* GetOwner() { return nullptr; }
    virtual AnsiString GetNamePath();

protected:
    virtual void AssignTo(TPersistent* Dest);

private:
    [[noreturn]] void AssignError(TPersistent* Source);
};
