#pragma once
// The one way Qt reaches the framework's controls (internal to framework/ui). A bridge
// object per control filters the events of the control's widgets and turns them into the
// framework's calls (KeyDown, KeyPress, MouseDown, Click, Paint, OnEnter/OnExit); widget
// signals go through it too. Every such call runs inside a handler scope (so that a
// control freed by its own handler is deleted only afterwards) and is guarded: an
// exception goes to the application object and never through Qt.
#include <QObject>
#include <QPointer>
#include <QList>
#include <QSet>

#include <string>

#include "framework/ui/TControl.h"

class QEvent;
class QInputMethodEvent;
class QKeyEvent;
class QMouseEvent;
class QWheelEvent;
class QWidget;
class TWinControl;

namespace ui_detail {

// Marks the widgets that belong to controls.
constexpr const char* ControlWidgetProperty = "frameworkControl";

// Frees the postponed controls once control is back in the event loop.
void FreePendingControlsLater();

// Hands the exception being handled (call it inside a catch block) to the application.
void HandleHandlerException(TObject* Sender) noexcept;

// Counts the handlers that run now (every guarded call from Qt: events, signals, menu
// items, deferred calls), for the length of its life. When the outermost ends, the deferred
// calls that waited for it are scheduled (TDeferredCall.h). GUI thread only.
class THandlerCount {
public:
    THandlerCount();
    ~THandlerCount();
    THandlerCount(const THandlerCount&) = delete;
    THandlerCount& operator=(const THandlerCount&) = delete;
    // How many handlers run now: 0 when control is in the event loop itself (a modal
    // dialog's loop inside a handler counts that handler).
    static int Running();
};

// Runs Fn as a handler: counted (THandlerCount) and guarded (an exception goes to the
// application, never through Qt).
template <class F>
void Guarded(TObject* Sender, F&& Fn) noexcept
{
    THandlerCount Count;
    try {
        Fn();
    } catch (...) {
        HandleHandlerException(Sender);
    }
}

class TControlBridge;

// Marks a control as running one of its handlers for the scope's lifetime.
class THandlerScope {
public:
    explicit THandlerScope(TControl* Control);
    ~THandlerScope();
    THandlerScope(const THandlerScope&) = delete;
    THandlerScope& operator=(const THandlerScope&) = delete;
    // The control, or null once it has been destroyed.
    TControl* Control() const;

private:
    QPointer<TControlBridge> FBridge;
};

class TControlBridge : public QObject {
public:
    TControlBridge(TControl* Control, QWidget* Widget);

    TControl* Control() const { return FControl; }
    // The control is being destroyed: nothing reaches it any more.
    void Detach() { FControl = nullptr; }
    // Filters another widget of the same control (an inner editor, a viewport).
    void Watch(QWidget* Widget);
    bool Watches(const QObject* Object) const { return FWatched.contains(Object); }
    // Passive widgets have no mouse behaviour of their own: their mouse events end here
    // instead of travelling on to the parent's widget.
    void SetPassiveMouse(bool Value) { FPassiveMouse = Value; }

    // Runs Fn(Control) in a handler scope, guarded; nothing when the control is gone.
    // True when Fn ran to its end, false when it raised (the application has shown the
    // exception) or the control was gone.
    template <class F>
    bool Call(F&& Fn)
    {
        if (!FControl) return false;
        THandlerScope Scope(FControl);
        TControl* C = FControl;
        bool Done = false;
        Guarded(C, [&] {
            Fn(C);
            Done = true;
        });
        return Done;
    }

    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    bool KeyEvent(QObject* Watched, QKeyEvent* Event);
    bool InputMethodEvent(QObject* Watched, QInputMethodEvent* Event);
    // Runs each character through KeyPress; Kept gets those that survive (Changed tells
    // whether any was changed or swallowed). False when the control went away meanwhile.
    bool PressEach(TWinControl* Win, const QList<uint>& Chars, std::u32string& Kept, bool& Changed);
    bool MouseEvent(QObject* Watched, QMouseEvent* Event);
    bool WheelEvent(QObject* Watched, QWheelEvent* Event);
    bool ContextMenuEvent(QObject* Watched, QEvent* Event);
    void FocusEvent(QEvent* Event);
    bool PaintEvent(QObject* Watched);
    // Lets the widget handle Event now and stops it from travelling to the parent.
    bool Deliver(QObject* Watched, QEvent* Event);
    bool FromOtherControl(QObject* Watched, const QPoint& Pos) const;

    TControl* FControl;  // not owned: the control owns the widget this object belongs to
    QSet<const QObject*> FWatched;
    bool FPassiveMouse = false;
    bool FDelivering = false;
    bool FHasFocus = false;
    bool FPressed = false;
};

// Connects a widget's signal to Fn through Bridge: Fn runs in the control's handler scope,
// guarded, with the signal's arguments, and not at all once the control is gone. Every
// control that listens to a widget's signals connects through this.
template <class Emitter, class Signal, class F>
QMetaObject::Connection ConnectGuarded(TControlBridge* Bridge, Emitter* Source, Signal Sig, F Fn)
{
    return QObject::connect(Source, Sig, Bridge, [Bridge, Fn](auto... Args) {
        Bridge->Call([&](TControl*) { Fn(Args...); });
    });
}

}  // namespace ui_detail
