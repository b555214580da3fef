#include "framework/ui/TMenus.h"

#include <QAction>
#include <QMenu>

#include <algorithm>

#include "framework/core/TextUtils.h"
#include "framework/core/Translation.h"
#include "framework/core/TypeInfo.h"
#include "framework/ui/ControlBridge.h"
#include "framework/ui/QtConvert.h"

using namespace ui_detail;

namespace {

// Whether Item is still in Root's tree (compares pointers only: Item may be gone).
bool Contains(const TMenuItem* Root, const TMenuItem* Item)
{
    for (int I = 0; I < Root->Count(); ++I)
        if (Root->Items(I) == Item || Contains(Root->Items(I), Item)) return true;
    return false;
}

}  // namespace

const TClassInfo* TMenuItem::StaticClassInfo()
{
    static const TClassInfo Info = TClassBuilder<TMenuItem, TComponent>("TMenuItem")
                                       .Property("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption)
                                       .Translatable()
                                       .Property("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked)
                                       .Default(false)
                                       .Property("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled)
                                       .Default(true)
                                       .Property("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible)
                                       .Default(true)
                                       .Property("OnClick", &TMenuItem::OnClick)
                                       .Build();
    return &Info;
}

TMenuItem::TMenuItem(TComponent* Owner) : TComponent(Owner) {}

TMenuItem::~TMenuItem()
{
    while (!FItems.empty()) {
        TMenuItem* Child = FItems.back();
        FItems.pop_back();
        Child->FParent = nullptr;
        delete Child;
    }
    if (FParent) FParent->Remove(this);
}

TMenuItem* TMenuItem::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EListError(FormatText(TranslateText("TMenuItem", "Menu index out of range (%1)"), {IntToStr(Index)}));
    return FItems[static_cast<std::size_t>(Index)];
}

void TMenuItem::Add(TMenuItem* Item)
{
    Insert(Count(), Item);
}

void TMenuItem::Insert(int Index, TMenuItem* Item)
{
    if (!Item || Item == this) return;
    for (const TMenuItem* P = this; P; P = P->FParent)
        if (P == Item) throw EInvalidOperation(TranslateText("TMenuItem", "A menu item cannot contain itself"));
    if (Item->FParent) Item->FParent->Remove(Item);
    Index = std::clamp(Index, 0, Count());
    FItems.insert(FItems.begin() + Index, Item);
    Item->FParent = this;
}

void TMenuItem::Remove(TMenuItem* Item)
{
    auto It = std::find(FItems.begin(), FItems.end(), Item);
    if (It == FItems.end()) return;
    FItems.erase(It);
    Item->FParent = nullptr;
}

int TMenuItem::IndexOf(const TMenuItem* Item) const
{
    auto It = std::find(FItems.begin(), FItems.end(), Item);
    return It == FItems.end() ? -1 : static_cast<int>(It - FItems.begin());
}

TPopupMenu* TMenuItem::GetParentMenu() const
{
    const TMenuItem* Root = this;
    while (Root->FParent) Root = Root->FParent;
    return Root->FMenu;
}

void TMenuItem::Click()
{
    if (FEnabled && OnClick) OnClick(this);
}

TComponent* TMenuItem::GetParentComponent() const
{
    if (FParent && FParent->FMenu) return FParent->FMenu;
    return FParent;
}

void TMenuItem::SetParentComponent(TComponent* Value)
{
    if (auto* Menu = dynamic_cast<TPopupMenu*>(Value)) Menu->Items()->Add(this);
    else if (auto* Item = dynamic_cast<TMenuItem*>(Value)) Item->Add(this);
}

void TMenuItem::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root)
{
    for (std::size_t I = 0; I < FItems.size(); ++I)
        if (FItems[I]->Owner() == Root) Proc(FItems[I]);
}

const TClassInfo* TPopupMenu::StaticClassInfo()
{
    static const TClassInfo Info =
        TClassBuilder<TPopupMenu, TComponent>("TPopupMenu").Property("OnPopup", &TPopupMenu::OnPopup).Build();
    return &Info;
}

TPopupMenu::TPopupMenu(TComponent* Owner) : TComponent(Owner), FItems(new TMenuItem(nullptr))
{
    FItems->FMenu = this;
}

TPopupMenu::~TPopupMenu()
{
    delete FMenu;
    // Items that the form owns leave the menu but stay with the form, which frees them.
    for (int I = FItems->Count() - 1; I >= 0; --I) {
        TMenuItem* Item = FItems->Items(I);
        if (Item->Owner()) FItems->Remove(Item);
    }
    delete FItems;
}

void TPopupMenu::Notification(TComponent* Component, TOperation Operation)
{
    TComponent::Notification(Component, Operation);
    if (Operation == opRemove && Component == FPopupComponent) FPopupComponent = nullptr;
}

void TPopupMenu::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root)
{
    FItems->GetChildren(Proc, Root);
}

void TPopupMenu::Build(QMenu* Menu, TMenuItem* Item)
{
    for (int I = 0; I < Item->Count(); ++I) {
        TMenuItem* Child = Item->Items(I);
        if (!Child->Visible()) continue;
        if (Child->Caption() == "-") {
            Menu->addSeparator();
            continue;
        }
        if (Child->Count() > 0) {
            QMenu* Sub = Menu->addMenu(ToQString(Child->Caption()));
            Sub->setEnabled(Child->Enabled());
            Build(Sub, Child);
            continue;
        }
        QAction* Action = Menu->addAction(ToQString(Child->Caption()));
        Action->setEnabled(Child->Enabled());
        Action->setCheckable(Child->Checked());
        Action->setChecked(Child->Checked());
        // The item may be freed while the menu is up: the action then does nothing.
        QObject::connect(Action, &QAction::triggered, Action, [this, Child] {
            if (!Contains(FItems, Child)) return;
            Guarded(Child, [Child] { Child->Click(); });
        });
    }
}

void TPopupMenu::Popup(int X, int Y)
{
    if (OnPopup) OnPopup(this);
    delete FMenu;
    FMenu = new QMenu;
    Build(FMenu, FItems);
    FMenu->popup(QPoint(X, Y));
}
