#include "framework/core/TComponent.h"

#include <algorithm>

#include "framework/core/TextUtils.h"
#include "framework/core/Translation.h"
#include "framework/core/TypeInfo.h"

const TTypeInfo* GetTypeInfo(TComponentStateItem*)
{
    static const TTypeInfo Info = MakeEnumTypeInfo(
        "TComponentStateItem", {"csLoading", "csReading", "csWriting", "csDestroying", "csDesigning", "csFreeNotification"});
    return &Info;
}

const TTypeInfo* GetTypeInfo(TOperation*)
{
    static const TTypeInfo Info = MakeEnumTypeInfo("TOperation", {"opInsert", "opRemove"});
    return &Info;
}

const TClassInfo* TComponent::StaticClassInfo()
{
    static const TClassInfo Info =
        TClassBuilder<TComponent, TPersistent>("TComponent")
            .PropertyFn<AnsiString>(
                "Name", [](TComponent& C) { return C.Name(); },
                [](TComponent& C, const AnsiString& V) { C.SetName(V); })
            .Stored([](TComponent&) { return false; })  // written in the object header
            .PropertyFn<int>(
                "Tag", [](TComponent& C) { return C.Tag(); }, [](TComponent& C, const int& V) { C.SetTag(V); })
            .Default(0)
            .Build();
    return &Info;
}

TComponent::TComponent(TComponent* Owner)
{
    if (Owner) Owner->InsertComponent(this);
}

TComponent::~TComponent()
{
    Destroying();
    while (!FFreeNotifies.empty()) {
        TComponent* Subscriber = FFreeNotifies.back();
        FFreeNotifies.pop_back();
        Subscriber->RemoveNotification(this);
        Subscriber->Notification(this, opRemove);
    }
    DestroyComponents();
    if (FOwner) FOwner->RemoveComponent(this);
}

void TComponent::BeforeDestruction()
{
    Destroying();
    // Owned components go while their owner is still whole: what they do as they go (a
    // form's OnDestroy, a notification) may call the owner's handlers, which must not run
    // on an owner whose derived parts are already destroyed.
    DestroyComponents();
}

TComponent* TComponent::Components(int Index) const
{
    if (Index < 0 || Index >= ComponentCount())
        throw EListError(FormatText(TranslateText("TComponent", "List index out of bounds (%1)"), {IntToStr(Index)}));
    return FComponents[static_cast<std::size_t>(Index)];
}

int TComponent::ComponentIndex() const
{
    if (!FOwner) return -1;
    auto It = std::find(FOwner->FComponents.begin(), FOwner->FComponents.end(), this);
    return It == FOwner->FComponents.end() ? -1 : static_cast<int>(It - FOwner->FComponents.begin());
}

TComponent* TComponent::FindComponent(std::string_view Name) const
{
    if (Name.empty()) return nullptr;
    for (TComponent* C : FComponents)
        if (SameText(C->FName, Name)) return C;
    return nullptr;
}

void TComponent::SetName(const AnsiString& NewName)
{
    if (FName == NewName) return;
    if (!NewName.empty() && !IsValidIdent(NewName))
        throw EComponentError(FormatText(TranslateText("TComponent", "'%1' is not a valid component name"), {NewName}));
    if (FOwner) FOwner->ValidateRename(this, FName, NewName);
    FName = NewName;
}

void TComponent::ValidateRename(TComponent* Component, const AnsiString& CurName, const AnsiString& NewName) const
{
    if (NewName.empty() || SameText(CurName, NewName)) return;
    TComponent* Existing = FindComponent(NewName);
    if (Existing && Existing != Component)
        throw EComponentError(
            FormatText(TranslateText("TComponent", "A component named %1 already exists"), {NewName}));
}

void TComponent::SetStateFlag(TComponentStateItem Flag, bool On)
{
    if (On) FComponentState << Flag;
    else FComponentState >> Flag;
}

void TComponent::SetDesigning(bool Value, bool Children)
{
    SetStateFlag(csDesigning, Value);
    if (Children)
        for (TComponent* C : FComponents) C->SetDesigning(Value, true);
}

void TComponent::InsertComponent(TComponent* Component)
{
    if (Component->FOwner) Component->FOwner->RemoveComponent(Component);
    ValidateRename(Component, AnsiString(), Component->FName);
    FComponents.push_back(Component);
    Component->FOwner = this;
    if (FComponentState.Contains(csDesigning)) Component->SetDesigning(true);
    try {
        Notification(Component, opInsert);
    } catch (...) {
        // A component that raised while hearing of the insertion (a dataset that opens when
        // the next component is created) makes the insertion fail: the owner goes back to
        // what it was, so that nobody keeps a component whose construction is abandoned.
        // Those that heard of it hear of its removal; those that watch it forget it.
        FComponents.erase(std::find(FComponents.begin(), FComponents.end(), Component));
        Component->FOwner = nullptr;
        try {
            Notification(Component, opRemove);
        } catch (...) {
            // The insertion's own error is the one to report.
        }
        for (TComponent* Subscriber : Component->FFreeNotifies) Subscriber->RemoveNotification(Component);
        Component->FFreeNotifies.clear();
        throw;
    }
}

void TComponent::RemoveComponent(TComponent* Component)
{
    Notification(Component, opRemove);
    auto It = std::find(FComponents.begin(), FComponents.end(), Component);
    if (It != FComponents.end()) FComponents.erase(It);
    Component->FOwner = nullptr;
}

void TComponent::DestroyComponents()
{
    // Last first, as the framework does. Components that others watch leave with a
    // notification to their siblings; the rest leave silently.
    while (!FComponents.empty()) {
        TComponent* Instance = FComponents.back();
        if (Instance->FComponentState.Contains(csFreeNotification)) {
            RemoveComponent(Instance);
        } else {
            FComponents.pop_back();
            Instance->FOwner = nullptr;
        }
        Instance->Free();
    }
}

void TComponent::Destroying()
{
    if (FComponentState.Contains(csDestroying)) return;
    FComponentState << csDestroying;
    for (TComponent* C : FComponents) C->Destroying();
}

void TComponent::FreeNotification(TComponent* Component)
{
    if (!Component || Component == this) return;
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), Component) == FFreeNotifies.end())
        FFreeNotifies.push_back(Component);
    if (std::find(Component->FFreeNotifies.begin(), Component->FFreeNotifies.end(), this) ==
        Component->FFreeNotifies.end())
        Component->FFreeNotifies.push_back(this);
    FComponentState << csFreeNotification;
}

void TComponent::RemoveFreeNotification(TComponent* Component)
{
    RemoveNotification(Component);
    Component->RemoveNotification(this);
}

void TComponent::RemoveNotification(TComponent* Component)
{
    FFreeNotifies.erase(std::remove(FFreeNotifies.begin(), FFreeNotifies.end(), Component), FFreeNotifies.end());
}

void TComponent::Notification(TComponent* Component, TOperation Operation)
{
    if (Operation == opRemove && Component) RemoveFreeNotification(Component);
    // By index, re-checking the bound: a handler may free components.
    for (std::size_t I = 0; I < FComponents.size(); ++I) FComponents[I]->Notification(Component, Operation);
}

void TComponent::Loaded()
{
    FComponentState >> csLoading;
}

void TComponent::SetParentComponent(TComponent*) {}

void TComponent::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root)
{
    if (Root != this) return;
    for (std::size_t I = 0; I < FComponents.size(); ++I)
        if (!FComponents[I]->HasParent()) Proc(FComponents[I]);
}
