#pragma once
// Components: objects with an owner that frees them, a name unique among the owner's
// components, a state, and notifications about the insertion and removal of components.
#include <functional>
#include <string_view>
#include <vector>

#include "framework/core/TPersistent.h"
#include "framework/core/TSet.h"

enum TComponentStateItem {
    csLoading,           // being loaded from a form file, until Loaded
    csReading,           // its own properties are being read
    csWriting,           // being written to a form file
    csDestroying,        // being destroyed
    csDesigning,         // in the form designer
    csFreeNotification,  // someone asked to be told when it is freed
};
using TComponentState = TSet<TComponentStateItem>;
const TTypeInfo* GetTypeInfo(TComponentStateItem*);

enum TOperation { opInsert, opRemove };
const TTypeInfo* GetTypeInfo(TOperation*);

class TComponent : public TPersistent {
    DECLARE_CLASSINFO()
public:
    // Joins Owner's components (Owner may be null); Owner then notifies every component
    // it already holds with opInsert.
    explicit TComponent(TComponent* Owner);
    // Tells the free-notification subscribers (opRemove), frees the owned components, and
    // leaves the owner, which notifies its remaining components with opRemove.
    ~TComponent() override;
    // Free marks this component and those it owns csDestroying and frees the owned ones
    // here, before any destructor runs; a component destroyed without Free frees them in
    // ~TComponent.
    void BeforeDestruction() override;

    TComponent* Owner() const { return FOwner; }
    TPersistent* GetOwner() override { return FOwner; }
    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* Components(int Index) const;  // EListError out of range
    int ComponentIndex() const;               // position in the owner's list, -1 without owner
    TComponent* FindComponent(std::string_view Name) const;  // case-insensitive, null if none

    const AnsiString& Name() const { return FName; }
    // Raises EComponentError for a name that is not an identifier, or that another
    // component of the same owner already has (compared without letter case).
    virtual void SetName(const AnsiString& NewName);
    int Tag() const { return FTag; }
    void SetTag(int Value) { FTag = Value; }

    TComponentState ComponentState() const { return FComponentState; }
    // Sets or clears one state flag; used by the form reader and the designer.
    void SetStateFlag(TComponentStateItem Flag, bool On);
    // Puts this component (and, with Children, every component it owns) into design state.
    void SetDesigning(bool Value, bool Children = true);

    // Takes Component into this owner's list and notifies the owned components. When a
    // notification raises, the list is as it was before, the components already notified
    // hear of the removal, and the exception goes on.
    void InsertComponent(TComponent* Component);
    void RemoveComponent(TComponent* Component);
    void DestroyComponents();
    void Destroying();

    // Asks for Component to be told (Notification with opRemove) when this one is freed,
    // and the other way round.
    void FreeNotification(TComponent* Component);
    void RemoveFreeNotification(TComponent* Component);

    // Called with opInsert when a component joins this component's owner, and with
    // opRemove when one leaves it or a component this one watches is freed. The base
    // forwards the notification to every owned component.
    virtual void Notification(TComponent* Component, TOperation Operation);
    // Called once loading from a form file has finished; clears csLoading.
    virtual void Loaded();

    // The containment used by form files: a control's parent. Plain components have none.
    virtual bool HasParent() const { return false; }
    virtual TComponent* GetParentComponent() const { return nullptr; }
    virtual void SetParentComponent(TComponent* Parent);
    // Calls Proc for each component that a form file nests directly inside this one when
    // Root is the component being written. The base lists, for the root itself, the owned
    // components without a parent.
    virtual void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root);

private:
    void ValidateRename(TComponent* Component, const AnsiString& CurName, const AnsiString& NewName) const;
    void RemoveNotification(TComponent* Component);

    TComponent* FOwner = nullptr;             // not owned
    std::vector<TComponent*> FComponents;     // owned, in insertion order
    std::vector<TComponent*> FFreeNotifies;   // not owned
    AnsiString FName;
    int FTag = 0;
    TComponentState FComponentState;
};
