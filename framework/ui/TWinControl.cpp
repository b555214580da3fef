#include "framework/ui/TWinControl.h"

#include <QApplication>
#include <QWidget>

#include <algorithm>
#include <climits>

#include "framework/core/TextUtils.h"
#include "framework/core/Translation.h"
#include "framework/core/TypeInfo.h"
#include "framework/ui/ControlBridge.h"
#include "framework/ui/QtConvert.h"
#include "framework/ui/TFont.h"

const TClassInfo* TWinControl::StaticClassInfo()
{
    static const TClassInfo Info = TClassBuilder<TWinControl, TControl>("TWinControl")
                                       .Property("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder)
                                       .Default(-1)
                                       .Unpublished()
                                       .Property("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop)
                                       .Stored([](TWinControl& C) { return C.FTabStop != C.FDefaultTabStop; })
                                       .Unpublished()
                                       .Property("OnEnter", &TWinControl::OnEnter)
                                       .Unpublished()
                                       .Property("OnExit", &TWinControl::OnExit)
                                       .Unpublished()
                                       .Property("OnKeyDown", &TWinControl::OnKeyDown)
                                       .Unpublished()
                                       .Property("OnKeyPress", &TWinControl::OnKeyPress)
                                       .Unpublished()
                                       .Property("OnKeyUp", &TWinControl::OnKeyUp)
                                       .Unpublished()
                                       .Build();
    return &Info;
}

TWinControl::TWinControl(TComponent* Owner, QWidget* Widget) : TControl(Owner, Widget) {}

TWinControl::~TWinControl()
{
    // Children still here go with their container (each leaves the list as it goes).
    while (!FControls.empty()) {
        TControl* Child = FControls.back();
        Child->Free();
        if (!FControls.empty() && FControls.back() == Child) RemoveControl(Child);
    }
}

void TWinControl::SetDefaultTabStop(bool Value)
{
    FTabStop = Value;
    FDefaultTabStop = Value;
}

TControl* TWinControl::Controls(int Index) const
{
    if (Index < 0 || Index >= ControlCount())
        throw EListError(FormatText(TranslateText("TWinControl", "List index out of bounds (%1)"), {IntToStr(Index)}));
    return FControls[static_cast<std::size_t>(Index)];
}

bool TWinControl::ContainsControl(const TControl* Control) const
{
    for (const TControl* C = Control; C; C = C->Parent())
        if (C == this) return true;
    return false;
}

void TWinControl::InsertControl(TControl* Control)
{
    FControls.push_back(Control);
    Control->FParent = this;
    if (auto* Win = dynamic_cast<TWinControl*>(Control)) FTabList.push_back(Win);
    Control->FWidget->setParent(ClientWidget());
    Control->ApplyGeometry();
    Control->ParentFontChanged();
    Control->ParentColorChanged();
    ChildChanged(Control);
}

void TWinControl::RemoveControl(TControl* Control)
{
    FControls.erase(std::remove(FControls.begin(), FControls.end(), Control), FControls.end());
    FTabList.erase(std::remove(FTabList.begin(), FTabList.end(), Control), FTabList.end());
    Control->FParent = nullptr;
    Control->FWidget->setParent(nullptr);
    Control->FWidget->hide();
    if (!ComponentState().Contains(csDestroying)) ChildChanged(Control);
}

int TWinControl::TabOrder() const
{
    if (!Parent()) return -1;
    const auto& List = Parent()->FTabList;
    auto It = std::find(List.begin(), List.end(), this);
    return It == List.end() ? -1 : static_cast<int>(It - List.begin());
}

void TWinControl::SetTabOrder(int Value)
{
    if (ComponentState().Contains(csLoading)) {
        // Applied once the whole container is loaded, so that the file's order does not matter.
        FLoadedTabOrder = Value;
        return;
    }
    if (Parent()) Parent()->MoveInTabList(this, Value);
}

void TWinControl::MoveInTabList(TWinControl* Control, int NewIndex)
{
    auto It = std::find(FTabList.begin(), FTabList.end(), Control);
    if (It == FTabList.end()) return;
    FTabList.erase(It);
    NewIndex = std::clamp(NewIndex, 0, static_cast<int>(FTabList.size()));
    FTabList.insert(FTabList.begin() + NewIndex, Control);
}

void TWinControl::FixupTabList()
{
    std::stable_sort(FTabList.begin(), FTabList.end(), [](const TWinControl* A, const TWinControl* B) {
        const int KeyA = A->FLoadedTabOrder >= 0 ? A->FLoadedTabOrder : INT_MAX;
        const int KeyB = B->FLoadedTabOrder >= 0 ? B->FLoadedTabOrder : INT_MAX;
        return KeyA < KeyB;
    });
    for (TWinControl* C : FTabList) C->FLoadedTabOrder = -1;
}

void TWinControl::GetTabOrderList(TWinControlList& List) const
{
    for (TWinControl* C : FTabList) {
        List.push_back(C);
        C->GetTabOrderList(List);
    }
}

bool TWinControl::CanFocus() const
{
    // Only a control on a form can take the focus: the top of its parent chain is then a
    // window of its own, which only a form is. The form's own flags do not count.
    const TWinControl* Top = TopParent();
    if (!Top->IsTopLevelWindow()) return false;
    for (const TControl* C = this; C != Top; C = C->Parent())
        if (!C->Visible() || !C->Enabled()) return false;
    return true;
}

const TWinControl* TWinControl::TopParent() const
{
    const TWinControl* Top = this;
    while (Top->Parent()) Top = Top->Parent();
    return Top;
}

void TWinControl::FocusControlChanged(TWinControl*) {}

bool TWinControl::Focused() const
{
    QWidget* W = Widget();
    QWidget* Focus = QApplication::focusWidget();
    // In a window that is not active, the widget that gets the focus when it is.
    if (!Focus || Focus->window() != W->window()) Focus = W->window()->focusWidget();
    return Focus && (Focus == W || FBridge->Watches(Focus));
}

void TWinControl::SetFocus()
{
    if (!CanFocus())
        throw EInvalidOperation(TranslateText("TWinControl", "Cannot focus a disabled or invisible window"));
    // CanFocus found the form at the top.
    const_cast<TWinControl*>(TopParent())->FocusControlChanged(this);
    Widget()->setFocus(Qt::OtherFocusReason);
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop) const
{
    TWinControlList List;
    GetTabOrderList(List);
    if (List.empty()) return nullptr;
    const int Count = static_cast<int>(List.size());
    auto It = std::find(List.begin(), List.end(), CurControl);
    int Start = It == List.end() ? (GoForward ? Count - 1 : 0) : static_cast<int>(It - List.begin());
    int I = Start;
    do {
        if (GoForward) {
            if (++I == Count) I = 0;
        } else {
            if (I == 0) I = Count;
            --I;
        }
        TWinControl* C = List[static_cast<std::size_t>(I)];
        if (C->CanFocus() && (!CheckTabStop || C->TabStop())) return C;
    } while (I != Start);
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop)
{
    TWinControl* Next = FindNextControl(CurControl, GoForward, CheckTabStop);
    if (Next) Next->SetFocus();
}

void TWinControl::KeyDown(WORD& Key, TShiftState Shift)
{
    if (OnKeyDown) OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(WORD& Key, TShiftState Shift)
{
    if (OnKeyUp) OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(wchar_t& Key)
{
    if (OnKeyPress) OnKeyPress(this, Key);
}

void TWinControl::DoEnter()
{
    if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit()
{
    if (OnExit) OnExit(this);
}

void TWinControl::ScrollBy(int DeltaX, int DeltaY)
{
    if (DeltaX == 0 && DeltaY == 0) return;
    for (TControl* C : FControls) {
        C->FLeft += DeltaX;
        C->FTop += DeltaY;
        C->ApplyGeometry();
    }
    ChildrenScrolled();
}

void TWinControl::ChildrenScrolled() {}

void TWinControl::Realign()
{
    if (FAligning || ComponentState().Contains(csLoading) ||
        ComponentState().Contains(csDestroying))
        return;
    TRect R = ClientRect();
    FAligning = true;
    try {
        AlignControls(R);
    } catch (...) {
        FAligning = false;
        throw;
    }
    FAligning = false;
}

void TWinControl::AlignControls(TRect& Rect)
{
    for (TAlign Kind : {alTop, alBottom, alLeft, alRight, alClient}) {
        std::vector<TControl*> List;
        for (TControl* C : FControls)
            if (C->Align() == Kind && (C->Visible() || C->ComponentState().Contains(csDesigning))) List.push_back(C);
        std::stable_sort(List.begin(), List.end(), [Kind](const TControl* A, const TControl* B) {
            switch (Kind) {
            case alTop: return A->Top() < B->Top();
            case alBottom: return A->Top() + A->Height() > B->Top() + B->Height();
            case alLeft: return A->Left() < B->Left();
            case alRight: return A->Left() + A->Width() > B->Left() + B->Width();
            default: return false;
            }
        });
        for (TControl* C : List) {
            switch (Kind) {
            case alTop:
                C->SetBounds(Rect.Left, Rect.Top, Rect.Width(), C->Height());
                Rect.Top += C->Height();
                break;
            case alBottom:
                C->SetBounds(Rect.Left, Rect.Bottom - C->Height(), Rect.Width(), C->Height());
                Rect.Bottom -= C->Height();
                break;
            case alLeft:
                C->SetBounds(Rect.Left, Rect.Top, C->Width(), Rect.Height());
                Rect.Left += C->Width();
                break;
            case alRight:
                C->SetBounds(Rect.Right - C->Width(), Rect.Top, C->Width(), Rect.Height());
                Rect.Right -= C->Width();
                break;
            default: C->SetBounds(Rect.Left, Rect.Top, Rect.Width(), Rect.Height()); break;
            }
        }
    }
}

void TWinControl::ChildChanged(TControl* Child)
{
    if (!FAligning && Child->Align() != alNone) Realign();
}

void TWinControl::SizeChanged()
{
    Realign();
}

int TWinControl::ClientWidth() const
{
    return ClientWidget() == Widget() ? Width() : ClientWidget()->width();
}

int TWinControl::ClientHeight() const
{
    return ClientWidget() == Widget() ? Height() : ClientWidget()->height();
}

void TWinControl::FontChanged()
{
    TControl::FontChanged();
    for (TControl* C : FControls) C->ParentFontChanged();
}

void TWinControl::ColorChanged()
{
    TControl::ColorChanged();
    for (TControl* C : FControls) C->ParentColorChanged();
}

void TWinControl::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root)
{
    for (std::size_t I = 0; I < FControls.size(); ++I)
        if (FControls[I]->Owner() == Root) Proc(FControls[I]);
}

void TWinControl::Loaded()
{
    TControl::Loaded();
    FixupTabList();
    Realign();
}

bool TWinControl::DoMouseWheel(TShiftState, int, TPoint)
{
    return false;
}

void TWinControl::SetFocusFrame(TColor Color)
{
    QWidget* W = Widget();
    if (Color == clNone) {
        W->setStyleSheet(QString());
        return;
    }
    // Only the focused state is styled: unfocused, the control keeps the platform's look.
    W->setStyleSheet(QString("%1:focus { border: 2px solid %2; }")
                         .arg(QString::fromLatin1(W->metaObject()->className()), ui_detail::ToQColor(Color).name()));
}
