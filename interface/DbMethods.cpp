#include "interface/DbMethods.h"

#include "framework/core/ClassRegistry.h"
#include "framework/core/TComponent.h"
#include "framework/core/Translation.h"
#include "framework/core/UpdateBracket.h"

namespace {

// The owner component of a collection, for the parameters of its items.
TComponent* OwnerComponentOf(TCollection* Collection)
{
    return Collection ? dynamic_cast<TComponent*>(Collection->GetOwner()) : nullptr;
}

void RequireItemClass(const TClassInfo* ItemClass, const TClassInfo* Base, const char* CollectionName)
{
    if (!ItemClass || !ItemClass->InheritsFrom(Base))
        throw EInvalidArgument(FormatText(TranslateText("DbMethods", "%1 needs an item class derived from %2"),
                                          {CollectionName, Base->Name}));
}

}  // namespace

const TTypeInfo* GetTypeInfo(TCallTriggerTiming*)
{
    static const TTypeInfo Info = MakeEnumTypeInfo(
        "TCallTriggerTiming", {"trgDisabled", "trgBeforeInsert", "trgAfterInsert", "trgBeforeEdit", "trgAfterEdit",
                               "trgBeforeDelete", "trgAfterDelete", "trgBeforePost", "trgAfterPost"});
    return &Info;
}

const TTypeInfo* GetTypeInfo(TProcParamIOType*)
{
    static const TTypeInfo Info = MakeEnumTypeInfo("TProcParamIOType", {"pmInput", "pmResult"});
    return &Info;
}

// ---------------------------------------------------------------------------------------
// TDbProcParams

const TClassInfo* TDbProcParams::StaticClassInfo()
{
    static const TClassInfo Info = TClassBuilder<TDbProcParams, TOwnedCollection>("TDbProcParams").Build();
    return &Info;
}

TDbProcParams::TDbProcParams(TComponent* Owner, const TClassInfo* ItemClass)
    : TOwnedCollection(Owner, ItemClass), FOwnerComponent(Owner)
{
    RequireItemClass(ItemClass, TDbProcParamItem::StaticClassInfo(), "TDbProcParams");
}

TDbProcParams::~TDbProcParams()
{
    FOwnerComponent = nullptr;
}

TDbProcParamItem* TDbProcParams::GetDbProcParamItem(int Index) const
{
    return static_cast<TDbProcParamItem*>(GetItem(Index));
}

void TDbProcParams::SetDbProcParamItem(int Index, TDbProcParamItem* Item)
{
    SetItem(Index, Item);
}

// ---------------------------------------------------------------------------------------
// TDbMethods

const TClassInfo* TDbMethods::StaticClassInfo()
{
    static const TClassInfo Info = TClassBuilder<TDbMethods, TOwnedCollection>("TDbMethods").Build();
    return &Info;
}

TDbMethods::TDbMethods(TComponent* Owner, const TClassInfo* ItemClass) : TOwnedCollection(Owner, ItemClass)
{
    RequireItemClass(ItemClass, TDbProcItem::StaticClassInfo(), "TDbMethods");
}

TDbProcItem* TDbMethods::GetDbProcItem(int Index) const
{
    return static_cast<TDbProcItem*>(GetItem(Index));
}

void TDbMethods::SetDbProcItem(int Index, TDbProcItem* Item)
{
    SetItem(Index, Item);
}

// ---------------------------------------------------------------------------------------
// TDbProcItem

const TClassInfo* TDbProcItem::StaticClassInfo()
{
    static const TClassInfo Info = TClassBuilder<TDbProcItem, TCollectionItem>("TDbProcItem")
                                       .Property("TriggerTime", &TDbProcItem::FTriggerTime, &TDbProcItem::SetFTriggerTime)
                                       .Default(trgDisabled)
                                       .Property("BeATrigger", &TDbProcItem::FBeATrigger, &TDbProcItem::SetFBeATrigger)
                                       .Default(false)
                                       .Property("ProcDescrip", &TDbProcItem::FProcDescrip, &TDbProcItem::SetFProcDescrip)
                                       .Property("ProcParams", &TDbProcItem::FProcParams)
                                       .Property("OnExecuteProc", &TDbProcItem::FOnExecuteProc)
                                       .Build();
    return &Info;
}

TDbProcItem::TDbProcItem(TCollection* Collection) : TCollectionItem(Collection)
{
    FDisplayName = GetProcStateStr();
    FProcParams = new TDbProcParams(OwnerComponentOf(Collection), TDbProcParamItem::StaticClassInfo());
}

TDbProcItem::~TDbProcItem()
{
    delete FProcParams;
}

void TDbProcItem::Assign(TPersistent* Source)
{
    auto* Item = dynamic_cast<TDbProcItem*>(Source);
    if (!Item) {
        TCollectionItem::Assign(Source);
        return;
    }
    CopyFrom(Item, true);
}

void TDbProcItem::SetUpItem(TDbProcItem* Source)
{
    if (!Source) throw EInvalidArgument(TranslateText("DbMethods", "SetUpItem needs an item to copy from"));
    CopyFrom(Source, false);
}

void TDbProcItem::CopyFrom(TDbProcItem* Source, bool AssignParams)
{
    // Copying an item onto itself would delete the very parameters it is about to copy.
    if (Source == this) return;
    FProcDescrip = Source->FProcDescrip;
    FBeATrigger = Source->FBeATrigger;
    FTriggerTime = Source->FTriggerTime;
    WithinUpdate(*FProcParams, [&] {
        FProcParams->Clear();
        TDbProcParams* From = Source->FProcParams;
        for (int I = 0; I < From->GetCount(); ++I) {
            TDbProcParamItem* SourceParam = From->GetDbProcParamItem(I);
            auto* Param = static_cast<TDbProcParamItem*>(FProcParams->Add());
            if (AssignParams) {
                Param->Assign(SourceParam);
            } else {
                Param->FParamDesc = SourceParam->FParamDesc;
                Param->FParamValue = SourceParam->FParamValue;
                Param->FParamIOType = SourceParam->FParamIOType;
            }
        }
    });
    FOnExecuteProc = Source->FOnExecuteProc;
}

AnsiString TDbProcItem::GetDisplayName()
{
    return FDisplayName;
}

void TDbProcItem::SetDisplayName(const AnsiString& Value)
{
    FDisplayName = Value;
}

bool TDbProcItem::ExecuteProc(AnsiString& /*CallUser*/, bool& AbortNextStep)
{
    if (!FOnExecuteProc.Assigned()) return true;
    try {
        FOnExecuteProc(this, "System", AbortNextStep);
    } catch (...) {
        return false;
    }
    return true;
}

TDbProcParamItem* TDbProcItem::ParamByDesc(const AnsiString& Desc) const
{
    for (int I = 0; I < FProcParams->GetCount(); ++I) {
        TDbProcParamItem* Param = FProcParams->GetDbProcParamItem(I);
        if (Param->FParamDesc == Desc) return Param;
    }
    return nullptr;
}

AnsiString TDbProcItem::GetProcStateStr() const
{
    static const char* const TimingTexts[] = {
        "[ *Disabled* ] : ", "[ BeforeInsert ] : ", "[ AfterInsert  ] : ",
        "[ BeforeEdit   ] : ", "[ AfterEdit    ] : ", "[ BeforeDelete ] : ",
        "[ AfterDelete  ] : ", "[ BeforePost   ] : ", "[ AfterPost    ] : ",
    };
    AnsiString Result;
    if (FBeATrigger) {
        Result = "DB Trigger - ";
        int Timing = static_cast<int>(FTriggerTime);
        if (Timing >= 0 && Timing <= static_cast<int>(trgAfterPost)) Result += TimingTexts[Timing];
    } else {
        Result = "DB Procedure : ";
    }
    if (!FProcDescrip.empty())
        Result += FProcDescrip + "( )";
    else
        Result += FBeATrigger ? "NewTrigger( )" : "NewProcedure( )";
    return Result;
}

void TDbProcItem::SetFTriggerTime(TCallTriggerTiming Value)
{
    FTriggerTime = Value;
    SetDisplayName(GetProcStateStr());
}

void TDbProcItem::SetFBeATrigger(bool Value)
{
    FBeATrigger = Value;
    SetDisplayName(GetProcStateStr());
}

void TDbProcItem::SetFProcDescrip(const AnsiString& Value)
{
    FProcDescrip = Value;
    SetDisplayName(GetProcStateStr());
}

// ---------------------------------------------------------------------------------------
// TDbProcParamItem

const TClassInfo* TDbProcParamItem::StaticClassInfo()
{
    static const TClassInfo Info =
        TClassBuilder<TDbProcParamItem, TCollectionItem>("TDbProcParamItem")
            .Property("Descrip", &TDbProcParamItem::FParamDesc, &TDbProcParamItem::SetFParamDesc)
            .Property("Value", &TDbProcParamItem::FParamValue, &TDbProcParamItem::SetFParamValue)
            .Property("InOutType", &TDbProcParamItem::FParamIOType, &TDbProcParamItem::SetFParamIOType)
            .Default(pmInput)
            .Build();
    return &Info;
}

TDbProcParamItem::TDbProcParamItem(TCollection* Collection) : TCollectionItem(Collection)
{
    FParamIOType = pmInput;
    FDisplayName = GetParamStateStr();
}

TDbProcParamItem::~TDbProcParamItem() = default;

void TDbProcParamItem::Assign(TPersistent* Source)
{
    auto* Param = dynamic_cast<TDbProcParamItem*>(Source);
    if (!Param) {
        TCollectionItem::Assign(Source);
        return;
    }
    FParamDesc = Param->FParamDesc;
    FParamValue = Param->FParamValue;
    FParamIOType = Param->FParamIOType;
}

AnsiString TDbProcParamItem::GetDisplayName()
{
    return FDisplayName;
}

void TDbProcParamItem::SetDisplayName(const AnsiString& Value)
{
    FDisplayName = Value;
}

AnsiString TDbProcParamItem::GetParamStateStr() const
{
    AnsiString Result = FParamIOType == pmResult ? "( Result ) " : "< Input > ";
    Result += "Param : ";
    Result += FParamDesc.empty() ? AnsiString("NewProcParam") : FParamDesc;
    return Result;
}

void TDbProcParamItem::SetFParamDesc(const AnsiString& Value)
{
    FParamDesc = Value;
    SetDisplayName(GetParamStateStr());
}

void TDbProcParamItem::SetFParamValue(const AnsiString& Value)
{
    FParamValue = Value;
}

void TDbProcParamItem::SetFParamIOType(TProcParamIOType Value)
{
    FParamIOType = Value;
    SetDisplayName(GetParamStateStr());
}

// ---------------------------------------------------------------------------------------

void RegisterOstrelClasses()
{
    RegisterClasses({TDbMethods::StaticClassInfo(), TDbProcItem::StaticClassInfo(), TDbProcParams::StaticClassInfo(),
                     TDbProcParamItem::StaticClassInfo()});
}
