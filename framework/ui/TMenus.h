#pragma once
// Pop-up menus. A menu item has a caption, an OnClick event and items of its own; a
// pop-up menu holds its top-level items. In a form file items nest inside their menu.
// Popup shows the menu without blocking; clicking an item calls its Click.
#include <vector>

#include "framework/core/TComponent.h"
#include "framework/core/Events.h"

class QMenu;
class TPopupMenu;

class TMenuItem : public TComponent {
    DECLARE_CLASSINFO()
public:
    explicit TMenuItem(TComponent* Owner);
    ~TMenuItem() override;

    const AnsiString& Caption() const { return FCaption; }
    void SetCaption(const AnsiString& Value) { FCaption = Value; }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value) { FEnabled = Value; }
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value) { FVisible = Value; }
    bool Checked() const { return FChecked; }
    void SetChecked(bool Value) { FChecked = Value; }

    int Count() const { return static_cast<int>(FItems.size()); }
    TMenuItem* Items(int Index) const;  // EListError out of range
    void Add(TMenuItem* Item);           // takes Item from its former parent item
    void Insert(int Index, TMenuItem* Item);
    void Remove(TMenuItem* Item);
    int IndexOf(const TMenuItem* Item) const;
    TMenuItem* Parent() const { return FParent; }
    // The menu this item belongs to (through its parent items).
    TPopupMenu* GetParentMenu() const;

    // Fires OnClick.
    virtual void Click();
    TNotifyEvent OnClick;

    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* Value) override;
    void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) override;

private:
    friend class TPopupMenu;
    AnsiString FCaption;
    bool FEnabled = true;
    bool FVisible = true;
    bool FChecked = false;
    std::vector<TMenuItem*> FItems;  // not owned (freed with the item if still here)
    TMenuItem* FParent = nullptr;    // not owned
    TPopupMenu* FMenu = nullptr;     // not owned: set on the root item of a menu
};

class TPopupMenu : public TComponent {
    DECLARE_CLASSINFO()
public:
    explicit TPopupMenu(TComponent* Owner);
    ~TPopupMenu() override;

    // The root item whose items are the menu's top-level items.
    TMenuItem* Items() const { return FItems; }
    // Shows the menu at screen position (X, Y) and returns at once.
    virtual void Popup(int X, int Y);
    // The control whose pop-up menu this is, while it shows.
    TComponent* PopupComponent() const { return FPopupComponent; }
    void SetPopupComponent(TComponent* Value) { FPopupComponent = Value; }
    // The Qt menu last shown (null before the first Popup); tests click its actions.
    QMenu* Menu() const { return FMenu; }

    TNotifyEvent OnPopup;

    void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) override;
    void Notification(TComponent* Component, TOperation Operation) override;

private:
    void Build(QMenu* Menu, TMenuItem* Item);

    TMenuItem* FItems;                       // owned
    QMenu* FMenu = nullptr;                  // owned
    TComponent* FPopupComponent = nullptr;  // not owned
};
