#pragma once
// A form: a window of its own (or a control inside another, when given a parent). Its
// Width and Height are the outer size of the window; the client area, the coordinate
// space of its controls, is Width - 8 by Height - 34. A form class's controls and
// handlers come from its form file (see TApplication::CreateForm).
#include "framework/ui/TScrollingWinControl.h"

enum TCloseAction { caNone, caHide, caFree, caMinimize };
const TTypeInfo* GetTypeInfo(TCloseAction*);
using TCloseEvent = TMethodPtr<void(TObject* Sender, TCloseAction& Action)>;

class TForm : public TScrollingWinControl {
    DECLARE_CLASSINFO()
public:
    static constexpr int FrameWidth = 8;    // left and right borders
    static constexpr int FrameHeight = 34;  // caption bar and borders

    explicit TForm(TComponent* Owner);
    void BeforeDestruction() override;

    void Show();
    // Asks OnClose, then hides the form; then runs the close hook when one is set, or frees
    // the form when OnClose said caFree.
    void Close();
    // Run by Close instead of freeing the form (null: none). The application sets it on its
    // main form, so that closing that form ends the run; it owns its forms and so outlives it.
    void SetCloseHook(const TNotifyEvent& Hook) { FCloseHook = Hook; }
    // Loads the form file of the form's class (compiled in under ":/forms/"), found by the
    // class name in its first line. Raises EFilerError when there is none.
    void ReadFormResource();
    // Fires OnCreate; an exception it raises is shown and the form stays.
    void DoCreate();

    TWinControl* ActiveControl() const { return FActiveControl; }
    void SetActiveControl(TWinControl* Value);
    // The focus moved to Control: it becomes the active control.
    void FocusControlChanged(TWinControl* Control) override;

    int ClientWidth() const override;
    int ClientHeight() const override;

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TCloseEvent OnClose;

    void Notification(TComponent* Component, TOperation Operation) override;
    void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) override;

protected:
    bool IsTopLevelWindow() const override { return Parent() == nullptr; }
    void ApplyGeometry() override;
    void TextChanged() override;
    bool HandleWidgetEvent(QEvent* Event) override;

private:
    TWinControl* FActiveControl = nullptr;  // not owned
    TNotifyEvent FCloseHook;
};

// The form a control is on (null when none).
TForm* GetParentForm(const TControl* Control);

// The path of the compiled-in form file whose top object is of class ClassName (empty
// when there is none).
AnsiString FindFormResource(const AnsiString& ClassName);
