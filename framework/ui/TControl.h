#pragma once
// The base of every control. A control owns exactly one Qt widget and keeps the
// framework's own view of it: pixel geometry relative to its parent's client area, its own
// Visible flag (applied to the widget only while the control has a parent, so that a
// control without a parent never becomes a window of its own), colour and font (inherited
// from the parent while ParentColor / ParentFont), caption, alignment and pop-up menu.
//
// Qt calls into a control only through the framework (see ControlBridge.h), which wraps
// every call so that an exception goes to the application object and never through Qt.
// A control freed while one of its own handlers is running is hidden and taken off its
// parent at once, and deleted when the handler has returned.
#include <functional>

#include "framework/core/TComponent.h"
#include "framework/ui/Colors.h"
#include "framework/ui/Keys.h"
#include "framework/ui/UiTypes.h"

class QEvent;
class QPainter;
class QWidget;
class TFont;
class TPopupMenu;
class TWinControl;

namespace ui_detail {
class TControlBridge;
class THandlerScope;
}

class TControl : public TComponent {
    DECLARE_CLASSINFO()
public:
    ~TControl() override;
    void Free() override;

    // Geometry, in the parent's client coordinates.
    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int Value) { SetBounds(Value, FTop, FWidth, FHeight); }
    void SetTop(int Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
    void SetWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
    void SetHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }
    // Positions and sizes beyond MaxCoordinate either way raise EInvalidArgument; a negative
    // width or height becomes 0.
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    static constexpr int MaxCoordinate = 16777215;
    TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
    virtual int ClientWidth() const { return FWidth; }
    virtual int ClientHeight() const { return FHeight; }
    void SetClientWidth(int Value);
    void SetClientHeight(int Value);
    TRect ClientRect() const { return TRect{0, 0, ClientWidth(), ClientHeight()}; }
    TPoint ClientToScreen(TPoint P) const;
    TPoint ScreenToClient(TPoint P) const;
    // The widget of the client area, the one a container places its child controls in: the
    // control's own widget unless a descendant has another (a scrolling viewport).
    virtual QWidget* ClientWidget() const { return FWidget; }

    TWinControl* Parent() const { return FParent; }
    virtual void SetParent(TWinControl* Value);

    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible, and so are all its parents.
    bool Showing() const;

    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool Value);

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool Value);
    TFont* Font() const { return FFont; }
    void SetFont(TFont* Value);  // copies Value
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool Value);

    AnsiString Caption() const { return GetText(); }
    void SetCaption(const AnsiString& Value) { SetText(Value); }
    AnsiString Text() const { return GetText(); }
    void SetText(const AnsiString& Value);

    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign Value);

    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* Value);

    void Invalidate();
    void Update();
    void Repaint();
    void Refresh() { Repaint(); }

    // Handlers that Qt input reaches; descendants override them and call the inherited
    // version to fire the matching event.
    virtual void Click();
    virtual void DblClick();
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    // Called after the control's size changed; fires OnResize.
    virtual void Resize();

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnResize;

    // Streaming: a control's parent is its container in a form file.
    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* Value) override;
    void Notification(TComponent* Component, TOperation Operation) override;
    void Loaded() override;

    // What assistive technology says of the control: its name and description (empty: what
    // the widget shows, as its caption or text).
    AnsiString AccessibleName() const;
    void SetAccessibleName(const AnsiString& Value);
    AnsiString AccessibleDescription() const;
    void SetAccessibleDescription(const AnsiString& Value);
    // A control that shows a table answers its cells here (the grid); a cell answers null.
    virtual const class TAccessibleTable* AccessibleTable() const { return nullptr; }
    // A control that is a cell of a table answers the table's control here (a grid cell).
    virtual TControl* AccessibleTableControl() const { return nullptr; }

    // The control's Qt widget (for the framework, screenshots and tests).
    QWidget* Widget() const { return FWidget; }
    // True while one of the control's own handlers is running.
    bool InHandler() const { return FHandlerDepth > 0; }

protected:
    // Widget: the control's Qt widget, which it owns from now on.
    TControl(TComponent* Owner, QWidget* Widget);

    virtual AnsiString GetText() const { return FText; }
    // Stores the text and shows it; called by SetText when the text differs.
    virtual void TextChanged();
    const AnsiString& StoredText() const { return FText; }

    // Pushes the colour and font to the widget; descendants choose the palette roles.
    virtual void ApplyColor();
    virtual void ApplyFont();
    // Shows Color in one palette role of the widget (a QPalette::ColorRole).
    void ApplyColorToRole(int Role);
    virtual void FontChanged();
    // The colour changed (set, or taken from the parent): pushes it to the widget; a
    // container passes it on to its children.
    virtual void ColorChanged();
    virtual void EnabledChanged();
    // Called by the parent when its font or colour changed.
    void ParentFontChanged();
    void ParentColorChanged();
    // Paints the control when it draws itself (PaintsItself); the base fills the
    // background with Color.
    virtual void PaintWidget(QPainter& Painter);
    bool PaintsItself() const { return FPaintsItself; }
    void SetPaintsItself(bool Value) { FPaintsItself = Value; }
    // A widget event that the control handles itself before the framework's input
    // handling (window closing, a window resized by the user); true when handled.
    virtual bool HandleWidgetEvent(QEvent* Event);
    // Applies the Visible flag and the parent to the widget.
    void UpdateWidgetVisibility();
    // True for a control that is a window of its own (a form without a parent).
    virtual bool IsTopLevelWindow() const;
    // The size changed (before the parent hears of it and before Resize).
    virtual void SizeChanged();
    // Pushes Left, Top, Width and Height to the widget.
    virtual void ApplyGeometry();
    // The defaults that decide whether Color and ParentColor are written to a form file.
    void SetColorDefaults(TColor Color, bool ParentColor);
    void SetInitialBounds(int ALeft, int ATop, int AWidth, int AHeight);
    ui_detail::TControlBridge* Bridge() const { return FBridge; }

    TFont* FFont;  // owned

private:
    friend class TWinControl;
    friend class ui_detail::TControlBridge;
    friend class ui_detail::THandlerScope;

    void FontChangedEvent(TObject* Sender);
    bool IsColorStored() const;
    bool IsParentColorStored() const { return FParentColor != FDefaultParentColor; }

    QWidget* FWidget;                          // owned
    ui_detail::TControlBridge* FBridge;        // not owned: a child object of the widget
    TWinControl* FParent = nullptr;            // not owned
    TPopupMenu* FPopupMenu = nullptr;          // not owned
    int FLeft = 0;
    int FTop = 0;
    int FWidth = 0;
    int FHeight = 0;
    bool FVisible = true;
    bool FEnabled = true;
    TColor FColor = clBtnFace;
    bool FParentColor = true;
    bool FParentFont = true;
    TColor FDefaultColor = clBtnFace;
    bool FDefaultParentColor = true;
    bool FUpdatingFromParent = false;
    AnsiString FText;
    TAlign FAlign = alNone;
    int FHandlerDepth = 0;
    bool FFreePending = false;
    bool FPaintsItself = false;
};

// Frees the controls whose deletion was postponed and whose handlers have returned (all of
// them with Force). The event loop does this by itself; the application calls it with
// Force before it ends.
void FreePendingControls(bool Force = false);
