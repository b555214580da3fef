#pragma once
// A control that can contain other controls, take the keyboard focus and receive keys.
// Child controls are placed by pixel position inside the client area and aligned by the
// framework (Align: top, bottom, left, right, then client). Windowed children keep a tab
// order: TabOrder is the child's position in its parent's tab list, kept contiguous.
#include <vector>

#include "framework/ui/TControl.h"

class TWinControl;
using TWinControlList = std::vector<TWinControl*>;

class TWinControl : public TControl {
    DECLARE_CLASSINFO()
public:
    ~TWinControl() override;

    int ControlCount() const { return static_cast<int>(FControls.size()); }
    TControl* Controls(int Index) const;  // EListError out of range
    bool ContainsControl(const TControl* Control) const;

    int TabOrder() const;
    void SetTabOrder(int Value);
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool Value) { FTabStop = Value; }
    // The windowed child controls in tab order, each followed by its own list, recursively.
    void GetTabOrderList(TWinControlList& List) const;

    // False when the control, or a parent up to its form, is hidden or disabled, or when
    // the control is on no form.
    virtual bool CanFocus() const;
    bool Focused() const;
    // Raises EInvalidOperation when the control cannot take the focus.
    virtual void SetFocus();
    // The focus moved to Control, a control on this one, which is the top of its parent
    // chain (framework use): a form keeps it as its active control; the base does nothing.
    virtual void FocusControlChanged(TWinControl* Control);
    // Moves the focus from CurControl to the next (or previous) control in tab order that
    // can take it (with CheckTabStop, only those with TabStop).
    void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);
    TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop) const;

    // Key handlers: KeyDown with the virtual key code first, then KeyPress with the
    // character. Setting Key to 0 swallows the key. The base versions fire the events.
    virtual void KeyDown(WORD& Key, TShiftState Shift);
    virtual void KeyUp(WORD& Key, TShiftState Shift);
    virtual void KeyPress(wchar_t& Key);
    // Focus arriving and leaving; the base versions fire OnEnter and OnExit.
    virtual void DoEnter();
    virtual void DoExit();
    // The mouse wheel turned over the control (or over a child that left it unhandled) by
    // WheelDelta: 120 per notch, positive away from the user. MousePos is in client
    // coordinates. True when the control handled it; otherwise the wheel goes on to the
    // parent. The base handles nothing.
    virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos);
    // While the control has the keyboard focus it is framed in Color, so that the user sees
    // where the keys go (clNone: the platform's own look).
    void SetFocusFrame(TColor Color);

    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

    // Moves every child control by (DeltaX, DeltaY).
    virtual void ScrollBy(int DeltaX, int DeltaY);
    // Lays out the aligned children again.
    void Realign();

    int ClientWidth() const override;
    int ClientHeight() const override;

    void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) override;
    void Loaded() override;

protected:
    TWinControl(TComponent* Owner, QWidget* Widget);

    // A child's bounds, alignment or visibility changed, or a child came or went.
    virtual void ChildChanged(TControl* Child);
    // ScrollBy moved the children.
    virtual void ChildrenScrolled();
    void SizeChanged() override;
    // TabStop's value for a new control of the class (what a form file leaves out).
    void SetDefaultTabStop(bool Value);
    virtual void AlignControls(TRect& Rect);
    void FontChanged() override;
    void ColorChanged() override;

private:
    friend class TControl;

    void InsertControl(TControl* Control);
    void RemoveControl(TControl* Control);
    void MoveInTabList(TWinControl* Control, int NewIndex);
    // The top of the parent chain: this control when it has no parent.
    const TWinControl* TopParent() const;
    void FixupTabList();

    std::vector<TControl*> FControls;     // not owned (freed with the container if still here)
    std::vector<TWinControl*> FTabList;   // not owned
    bool FTabStop = false;
    bool FDefaultTabStop = false;
    int FLoadedTabOrder = -1;             // the TabOrder read from a form file
    bool FAligning = false;
};

