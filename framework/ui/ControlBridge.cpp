#include "framework/ui/ControlBridge.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <QWidget>

#include <cstdio>
#include <string>

#include "framework/core/Translation.h"
#include "framework/ui/QtConvert.h"
#include "framework/ui/TApplication.h"
#include "framework/ui/TDeferredCall.h"
#include "framework/ui/TForm.h"
#include "framework/ui/TMenus.h"
#include "framework/ui/TWinControl.h"

namespace ui_detail {

void HandleHandlerException(TObject* Sender) noexcept
{
    try {
        if (Application) {
            Application->HandleException(Sender);
            return;
        }
        throw;
    } catch (const std::exception& E) {
        std::fprintf(stderr, "%s\n",
                     FormatText(TranslateText("ControlBridge", "Unhandled exception: %1"), {E.what()}).c_str());
    } catch (...) {
        std::fprintf(stderr, "%s\n", TranslateText("ControlBridge", "Unhandled exception").c_str());
    }
}

namespace {

int HandlersRunning = 0;

}  // namespace

THandlerCount::THandlerCount()
{
    ++HandlersRunning;
}

THandlerCount::~THandlerCount()
{
    if (--HandlersRunning == 0) TDeferredCall::HandlersEnded();
}

int THandlerCount::Running()
{
    return HandlersRunning;
}

THandlerScope::THandlerScope(TControl* Control) : FBridge(Control->FBridge)
{
    ++Control->FHandlerDepth;
}

THandlerScope::~THandlerScope()
{
    TControl* C = Control();
    if (!C) return;
    if (--C->FHandlerDepth == 0 && C->FFreePending) FreePendingControlsLater();
}

TControl* THandlerScope::Control() const
{
    return FBridge ? FBridge->Control() : nullptr;
}

TControlBridge::TControlBridge(TControl* Control, QWidget* Widget) : QObject(Widget), FControl(Control)
{
    Watch(Widget);
}

void TControlBridge::Watch(QWidget* Widget)
{
    FWatched.insert(Widget);
    Widget->installEventFilter(this);
}

bool TControlBridge::eventFilter(QObject* Watched, QEvent* Event)
{
    if (!FControl || FDelivering) return false;
    if (Watched == FControl->Widget()) {
        bool Handled = false;
        Call([&](TControl* C) { Handled = C->HandleWidgetEvent(Event); });
        if (Handled) return true;
        if (!FControl) return false;
    }
    switch (Event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: return KeyEvent(Watched, static_cast<QKeyEvent*>(Event));
    case QEvent::InputMethod: return InputMethodEvent(Watched, static_cast<QInputMethodEvent*>(Event));
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease: return MouseEvent(Watched, static_cast<QMouseEvent*>(Event));
    case QEvent::Wheel: return WheelEvent(Watched, static_cast<QWheelEvent*>(Event));
    case QEvent::ContextMenu: return ContextMenuEvent(Watched, Event);
    case QEvent::FocusIn:
    case QEvent::FocusOut: FocusEvent(Event); return false;
    case QEvent::Paint: return PaintEvent(Watched);
    default: return false;
    }
}

bool TControlBridge::Deliver(QObject* Watched, QEvent* Event)
{
    FDelivering = true;
    Watched->event(Event);  // QObject::event is public; the widget's override runs
    FDelivering = false;
    Event->accept();
    return true;
}

bool TControlBridge::KeyEvent(QObject* Watched, QKeyEvent* Event)
{
    auto* Win = dynamic_cast<TWinControl*>(FControl);
    if (!Win) return false;
    WORD Key = VirtualKeyFromQt(Event->key(), Event->modifiers());
    const TShiftState Shift = ShiftFromQt(Event->modifiers());
    if (Event->type() == QEvent::KeyRelease) {
        if (Key != 0) Call([&](TControl*) { Win->KeyUp(Key, Shift); });
        if (!FControl || Key == 0) return true;
        return Deliver(Watched, Event);
    }
    if (Key != 0) {
        // A handler that raised has its key go no further, as one that swallowed it.
        if (!Call([&](TControl*) { Win->KeyDown(Key, Shift); })) Key = 0;
        if (!FControl || Key == 0) return true;
    }
    const bool Tab = Event->key() == Qt::Key_Tab || Event->key() == Qt::Key_Backtab;
    if (Tab && !(Event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        const bool Forward = Event->key() == Qt::Key_Tab && !(Event->modifiers() & Qt::ShiftModifier);
        Call([&](TControl*) {
            if (TForm* Form = GetParentForm(Win)) Form->SelectNext(Win, Forward, true);
        });
        return true;
    }
    // The characters the key types, each through KeyPress, which may change or swallow it.
    const QList<uint> Typed = Event->text().toUcs4();
    if (Typed.isEmpty()) return Deliver(Watched, Event);
    std::u32string Kept;
    bool Changed = false;
    if (!PressEach(Win, Typed, Kept, Changed)) return true;
    if (!Changed) return Deliver(Watched, Event);
    if (Kept.empty()) return true;
    QKeyEvent Replaced(Event->type(), Event->key(), Event->modifiers(),
                       QString::fromUcs4(Kept.data(), static_cast<qsizetype>(Kept.size())), Event->isAutoRepeat(),
                       static_cast<quint16>(Event->count()));
    return Deliver(Watched, &Replaced);
}

bool TControlBridge::PressEach(TWinControl* Win, const QList<uint>& Chars, std::u32string& Kept, bool& Changed)
{
    for (uint Ch : Chars) {
        if (Ch == 0x7F) {  // Delete types nothing
            Kept += static_cast<char32_t>(Ch);
            continue;
        }
        wchar_t K = static_cast<wchar_t>(Ch);
        if (!Call([&](TControl*) { Win->KeyPress(K); })) K = 0;
        if (!FControl) return false;
        if (K == 0) {
            Changed = true;
            continue;
        }
        if (static_cast<uint>(K) != Ch) Changed = true;
        Kept += static_cast<char32_t>(K);
    }
    return true;
}

bool TControlBridge::InputMethodEvent(QObject* Watched, QInputMethodEvent* Event)
{
    auto* Win = dynamic_cast<TWinControl*>(FControl);
    const QString Commit = Event->commitString();
    if (!Win || Commit.isEmpty()) return false;
    // Committed text (Chinese is typed this way) goes through KeyPress like typed keys.
    std::u32string Kept;
    bool Changed = false;
    if (!PressEach(Win, Commit.toUcs4(), Kept, Changed)) return true;
    if (!Changed) return Deliver(Watched, Event);
    QInputMethodEvent Replaced(Event->preeditString(), Event->attributes());
    Replaced.setCommitString(QString::fromUcs4(Kept.data(), static_cast<qsizetype>(Kept.size())),
                             Event->replacementStart(), Event->replacementLength());
    return Deliver(Watched, &Replaced);
}

bool TControlBridge::FromOtherControl(QObject* Watched, const QPoint& Pos) const
{
    // A mouse event that a child control's widget left unhandled travels on to the
    // parent's widget; the parent control must not see it as its own.
    QWidget* Child = static_cast<QWidget*>(Watched)->childAt(Pos);
    for (QWidget* W = Child; W && W != Watched; W = W->parentWidget())
        if (!FWatched.contains(W) && W->property(ControlWidgetProperty).toBool()) return true;
    return false;
}

bool TControlBridge::MouseEvent(QObject* Watched, QMouseEvent* Event)
{
    const QPoint Pos = Event->position().toPoint();
    if (FromOtherControl(Watched, Pos)) return false;
    // Client coordinates of the control.
    const QPoint P = FControl->ClientWidget()->mapFromGlobal(static_cast<QWidget*>(Watched)->mapToGlobal(Pos));
    TMouseButton Button = mbLeft;
    if (Event->button() == Qt::RightButton) Button = mbRight;
    else if (Event->button() == Qt::MiddleButton) Button = mbMiddle;
    TShiftState Shift = ShiftFromQt(Event->modifiers(), Event->buttons() | Event->button());
    if (Event->type() == QEvent::MouseButtonDblClick) Shift << ssDouble;

    if (Event->type() == QEvent::MouseButtonRelease) {
        Shift = ShiftFromQt(Event->modifiers(), Event->buttons());
        const bool WasPressed = FPressed;
        FPressed = false;
        Call([&](TControl* C) { C->MouseUp(Button, Shift, P.x(), P.y()); });
        // Buttons click through their own signal; other controls click on the release of
        // the left button inside them.
        if (FControl && FPassiveMouse && WasPressed && Button == mbLeft &&
            static_cast<QWidget*>(Watched)->rect().contains(Pos))
            Call([&](TControl* C) { C->Click(); });
    } else {
        if (Button == mbLeft) FPressed = true;
        Call([&](TControl* C) {
            if (Event->type() == QEvent::MouseButtonDblClick) C->DblClick();
        });
        Call([&](TControl* C) { C->MouseDown(Button, Shift, P.x(), P.y()); });
    }
    if (!FControl) {
        Event->accept();
        return true;
    }
    if (FPassiveMouse) {
        Event->accept();
        return true;
    }
    return false;
}

bool TControlBridge::WheelEvent(QObject* Watched, QWheelEvent* Event)
{
    // Unlike a click, a wheel turn that a child control leaves unhandled is the parent's to
    // take: a grid moves by records wherever over its cells the wheel turns.
    auto* Win = dynamic_cast<TWinControl*>(FControl);
    if (!Win) return false;
    const QPoint P = Win->ClientWidget()->mapFromGlobal(static_cast<QWidget*>(Watched)->mapToGlobal(Event->position().toPoint()));
    bool Handled = false;
    Call([&](TControl*) {
        Handled = Win->DoMouseWheel(ShiftFromQt(Event->modifiers(), Event->buttons()), Event->angleDelta().y(),
                                    TPoint{P.x(), P.y()});
    });
    if (!Handled && FControl) return false;
    Event->accept();
    return true;
}

bool TControlBridge::ContextMenuEvent(QObject* Watched, QEvent* Event)
{
    auto* Menu = static_cast<QContextMenuEvent*>(Event);
    if (FromOtherControl(Watched, Menu->pos())) return false;
    TPopupMenu* Popup = FControl->PopupMenu();
    if (!Popup && FPassiveMouse)
        for (TControl* C = FControl->Parent(); C && !Popup; C = C->Parent()) Popup = C->PopupMenu();
    if (!Popup) {
        if (!FPassiveMouse) return false;  // the widget's own menu (an edit's)
        Event->accept();
        return true;
    }
    const QPoint Global = Menu->globalPos();
    Call([&](TControl* C) {
        Popup->SetPopupComponent(C);
        Popup->Popup(Global.x(), Global.y());
    });
    Event->accept();
    return true;
}

void TControlBridge::FocusEvent(QEvent* Event)
{
    auto* Win = dynamic_cast<TWinControl*>(FControl);
    if (!Win) return;
    const Qt::FocusReason Reason = static_cast<QFocusEvent*>(Event)->reason();
    if (Reason == Qt::ActiveWindowFocusReason || Reason == Qt::PopupFocusReason) return;
    if (Event->type() == QEvent::FocusIn) {
        if (FHasFocus) return;
        FHasFocus = true;
        Call([&](TControl*) {
            if (TForm* Form = GetParentForm(Win)) Form->FocusControlChanged(Win);
            Win->DoEnter();
        });
    } else {
        QWidget* Now = QApplication::focusWidget();
        if (Now && FWatched.contains(Now)) return;  // focus moved inside the control
        if (!FHasFocus) return;
        FHasFocus = false;
        Call([&](TControl*) { Win->DoExit(); });
    }
}

bool TControlBridge::PaintEvent(QObject* Watched)
{
    if (Watched != FControl->Widget() || !FControl->PaintsItself()) return false;
    QPainter Painter(static_cast<QWidget*>(Watched));
    Call([&](TControl* C) { C->PaintWidget(Painter); });
    return true;
}

}  // namespace ui_detail
