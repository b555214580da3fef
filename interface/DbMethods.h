#pragma once
// DB methods: user-defined procedures and triggers that a dataset carries in its published
// DBMethods collection and hands to the record-storage server, which runs the triggers at
// their moments through ExecuteProc. The four classes stream from a form file like any
// published collection and show a one-line summary of each item in the collection editor.
#include "framework/core/Events.h"
#include "framework/core/TCollection.h"
#include "framework/core/TypeInfo.h"

class TComponent;
class TDbProcItem;
class TDbProcParamItem;

// The moment of a record operation at which a trigger runs (values 0 to 8, streamed by name).
enum TCallTriggerTiming {
    trgDisabled,
    trgBeforeInsert,
    trgAfterInsert,
    trgBeforeEdit,
    trgAfterEdit,
    trgBeforeDelete,
    trgAfterDelete,
    trgBeforePost,
    trgAfterPost,
};
const TTypeInfo* GetTypeInfo(TCallTriggerTiming*);

enum TProcParamIOType { pmInput, pmResult };
const TTypeInfo* GetTypeInfo(TProcParamIOType*);

// The code of a DB method. A handler sets AbortNextStep to ask the caller not to carry out
// the step that the method runs before; the flag is the caller's own variable.
using TDbProcItemEvent = TMethodPtr<void(TDbProcItem* Sender, AnsiString CallUser, bool& AbortNextStep)>;

// The parameters of one DB method.
class TDbProcParams : public TOwnedCollection {
    DECLARE_CLASSINFO()
public:
    // Owner: the component that owns the methods collection (for the designer's name paths).
    // ItemClass must be TDbProcParamItem or a descendant.
    TDbProcParams(TComponent* Owner, const TClassInfo* ItemClass);
    ~TDbProcParams() override;

    int GetCount() const { return Count(); }
    TDbProcParamItem* GetDbProcParamItem(int Index) const;  // EListError out of range
    // Copies Item into the existing parameter at Index; never replaces the object.
    void SetDbProcParamItem(int Index, TDbProcParamItem* Item);

private:
    TComponent* FOwnerComponent;  // not owned; kept for the designer, read by nobody
};

// The DB methods of a dataset.
class TDbMethods : public TOwnedCollection {
    DECLARE_CLASSINFO()
public:
    // ItemClass must be TDbProcItem or a descendant.
    TDbMethods(TComponent* Owner, const TClassInfo* ItemClass);

    int GetCount() const { return Count(); }
    TDbProcItem* GetDbProcItem(int Index) const;  // EListError out of range
    // Copies Item into the existing method at Index; never replaces the object.
    void SetDbProcItem(int Index, TDbProcItem* Item);
};

// One DB procedure or trigger.
class TDbProcItem : public TCollectionItem {
    DECLARE_CLASSINFO()
public:
    explicit TDbProcItem(TCollection* Collection);
    ~TDbProcItem() override;

    void Assign(TPersistent* Source) override;
    AnsiString GetDisplayName() override;
    void SetDisplayName(const AnsiString& Value) override;

    // Copies Source's description, kind, timing, parameters and handler, like Assign but
    // without testing Source's class; each parameter's fields are copied directly.
    void SetUpItem(TDbProcItem* Source);
    // Runs the method's handler with the caller "System" and the caller's AbortNextStep.
    // True when the handler returned normally or none is assigned; false when it raised.
    bool ExecuteProc(AnsiString& CallUser, bool& AbortNextStep);
    // The first parameter whose description equals Desc exactly; null when none does.
    TDbProcParamItem* ParamByDesc(const AnsiString& Desc) const;
    // The one-line summary shown in the collection editor.
    AnsiString GetProcStateStr() const;

    void SetFTriggerTime(TCallTriggerTiming Value);
    void SetFBeATrigger(bool Value);
    void SetFProcDescrip(const AnsiString& Value);

    TCallTriggerTiming GetTriggerTime() const { return FTriggerTime; }
    bool GetBeATrigger() const { return FBeATrigger; }
    const AnsiString& GetProcDescrip() const { return FProcDescrip; }
    TDbProcParams* GetProcParams() const { return FProcParams; }
    const TDbProcItemEvent& GetOnExecuteProc() const { return FOnExecuteProc; }
    void SetOnExecuteProc(const TDbProcItemEvent& Value) { FOnExecuteProc = Value; }

private:
    void CopyFrom(TDbProcItem* Source, bool AssignParams);

    AnsiString FDisplayName;
    AnsiString FProcDescrip;
    bool FBeATrigger = false;
    TCallTriggerTiming FTriggerTime = trgDisabled;
    TDbProcParams* FProcParams = nullptr;  // owned
    TDbProcItemEvent FOnExecuteProc;
};

// One parameter of a DB method.
class TDbProcParamItem : public TCollectionItem {
    DECLARE_CLASSINFO()
public:
    explicit TDbProcParamItem(TCollection* Collection);
    ~TDbProcParamItem() override;

    void Assign(TPersistent* Source) override;
    AnsiString GetDisplayName() override;
    void SetDisplayName(const AnsiString& Value) override;
    AnsiString GetParamStateStr() const;

    void SetFParamDesc(const AnsiString& Value);
    void SetFParamValue(const AnsiString& Value);
    void SetFParamIOType(TProcParamIOType Value);

    const AnsiString& GetDescrip() const { return FParamDesc; }
    const AnsiString& GetValue() const { return FParamValue; }
    TProcParamIOType GetInOutType() const { return FParamIOType; }

private:
    friend class TDbProcItem;  // SetUpItem writes the fields directly

    AnsiString FDisplayName;
    AnsiString FParamDesc;
    AnsiString FParamValue;
    TProcParamIOType FParamIOType = pmInput;
};

// Registers the four classes with the class registry so that form files can name them.
void RegisterOstrelClasses();
