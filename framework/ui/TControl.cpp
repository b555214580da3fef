#include "framework/ui/TControl.h"

#include <QPainter>
#include <QPalette>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "framework/core/TextUtils.h"
#include "framework/core/Translation.h"
#include "framework/core/TypeInfo.h"
#include "framework/ui/ControlAccessible.h"
#include "framework/ui/ControlBridge.h"
#include "framework/ui/QtConvert.h"
#include "framework/ui/TFont.h"
#include "framework/ui/TMenus.h"
#include "framework/ui/TWinControl.h"

using namespace ui_detail;

namespace {

// Controls freed while one of their handlers was running, waiting to be deleted.
std::vector<TControl*>& PendingFrees()
{
    static std::vector<TControl*> Pending;
    return Pending;
}

bool ReaperScheduled = false;

}  // namespace

const TTypeInfo* GetTypeInfo(TShiftStateItem*)
{
    static const TTypeInfo Info =
        MakeEnumTypeInfo("TShiftStateItem", {"ssShift", "ssAlt", "ssCtrl", "ssLeft", "ssRight", "ssMiddle", "ssDouble"});
    return &Info;
}

const TTypeInfo* GetTypeInfo(TMouseButton*)
{
    static const TTypeInfo Info = MakeEnumTypeInfo("TMouseButton", {"mbLeft", "mbRight", "mbMiddle"});
    return &Info;
}

const TTypeInfo* GetTypeInfo(TAlign*)
{
    static const TTypeInfo Info =
        MakeEnumTypeInfo("TAlign", {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"});
    return &Info;
}

const TTypeInfo* GetTypeInfo(TAlignment*)
{
    static const TTypeInfo Info = MakeEnumTypeInfo("TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"});
    return &Info;
}

const TTypeInfo* GetTypeInfo(TBevelCut*)
{
    static const TTypeInfo Info = MakeEnumTypeInfo("TBevelCut", {"bvNone", "bvLowered", "bvRaised", "bvSpace"});
    return &Info;
}

const TClassInfo* TControl::StaticClassInfo()
{
    static const TClassInfo Info =
        TClassBuilder<TControl, TComponent>("TControl")
            .Property("Left", &TControl::Left, &TControl::SetLeft)
            .Property("Top", &TControl::Top, &TControl::SetTop)
            .Property("Width", &TControl::Width, &TControl::SetWidth)
            .Property("Height", &TControl::Height, &TControl::SetHeight)
            // For descendants to publish:
            .Property("Align", &TControl::Align, &TControl::SetAlign)
            .Default(alNone)
            .Unpublished()
            .Property("Caption", &TControl::Caption, &TControl::SetCaption)
            .Translatable()
            .Unpublished()
            .Property("Text", &TControl::Text, &TControl::SetText)
            .Translatable()
            .Unpublished()
            .Property("Color", &TControl::Color, &TControl::SetColor)
            .Stored([](TControl& C) { return C.IsColorStored(); })
            .Unpublished()
            .Property("Enabled", &TControl::Enabled, &TControl::SetEnabled)
            .Default(true)
            .Unpublished()
            .Property("Font", &TControl::Font)
            // A control without a parent has no font to take, so it keeps (and writes) its own.
            .Stored([](TControl& C) { return !C.ParentFont() || !C.Parent(); })
            .Unpublished()
            .Property("ParentColor", &TControl::ParentColor, &TControl::SetParentColor)
            .Stored([](TControl& C) { return C.IsParentColorStored(); })
            .Unpublished()
            .Property("ParentFont", &TControl::ParentFont, &TControl::SetParentFont)
            .Default(true)
            .Unpublished()
            .Property("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu)
            .Unpublished()
            .Property("Visible", &TControl::Visible, &TControl::SetVisible)
            .Default(true)
            .Unpublished()
            .Property("OnClick", &TControl::OnClick)
            .Unpublished()
            .Property("OnDblClick", &TControl::OnDblClick)
            .Unpublished()
            .Property("OnMouseDown", &TControl::OnMouseDown)
            .Unpublished()
            .Property("OnMouseUp", &TControl::OnMouseUp)
            .Unpublished()
            .Property("OnResize", &TControl::OnResize)
            .Unpublished()
            .Build();
    return &Info;
}

TControl::TControl(TComponent* Owner, QWidget* Widget)
    : TComponent(Owner), FFont(new TFont), FWidget(Widget), FBridge(new TControlBridge(this, Widget))
{
    FWidget->setProperty(ControlWidgetProperty, true);
    InstallControlAccessibleFactory();
    FWidget->setAttribute(Qt::WA_DontShowOnScreen, false);
    FWidget->hide();
    FFont->OnChange = TNotifyEvent(this, &TControl::FontChangedEvent);
}

TControl::~TControl()
{
    if (FParent) FParent->RemoveControl(this);
    auto& Pending = PendingFrees();
    Pending.erase(std::remove(Pending.begin(), Pending.end(), this), Pending.end());
    FBridge->Detach();
    if (FHandlerDepth > 0) {
        // Deleted outright while one of its handlers runs: the widget may be inside its
        // own event handling, so Qt deletes it later.
        FWidget->hide();
        FWidget->setParent(nullptr);
        FWidget->deleteLater();
    } else {
        delete FWidget;
    }
    FFont->OnChange = nullptr;
    delete FFont;
}

void TControl::Free()
{
    if (FHandlerDepth > 0) {
        if (FFreePending) return;
        FFreePending = true;
        FWidget->hide();
        SetParent(nullptr);
        PendingFrees().push_back(this);
        return;
    }
    TComponent::Free();
}

void FreePendingControls(bool Force)
{
    auto& Pending = PendingFrees();
    std::vector<TControl*> Ready;
    for (TControl* C : Pending)
        if (Force || !C->InHandler()) Ready.push_back(C);
    for (TControl* C : Ready) {
        Pending.erase(std::remove(Pending.begin(), Pending.end(), C), Pending.end());
        C->TObject::Free();
    }
}

namespace ui_detail {

void FreePendingControlsLater()
{
    if (ReaperScheduled) return;
    ReaperScheduled = true;
    QTimer::singleShot(0, [] {
        ReaperScheduled = false;
        FreePendingControls(false);
    });
}

}  // namespace ui_detail

void TControl::SetInitialBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    ApplyGeometry();
}

namespace {

// Value as a position or size, refused beyond what a widget can hold (Qt's widgets are at
// most QWIDGETSIZE_MAX pixels a side). The bound also keeps sums such as Left + Width and
// the client-size arithmetic within int.
int GeometryValue(const char* What, std::int64_t Value)
{
    if (Value < -TControl::MaxCoordinate || Value > TControl::MaxCoordinate)
        throw EInvalidArgument(FormatText(
            TranslateText("TControl", "%1 %2 is out of range: positions and sizes of a control lie from %3 to %4"),
            {What, IntToStr(Value), IntToStr(-TControl::MaxCoordinate), IntToStr(TControl::MaxCoordinate)}));
    return static_cast<int>(Value);
}

}  // namespace

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    GeometryValue("Left", ALeft);
    GeometryValue("Top", ATop);
    GeometryValue("Width", AWidth);
    GeometryValue("Height", AHeight);
    AWidth = std::max(0, AWidth);
    AHeight = std::max(0, AHeight);
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
    const bool Resized = AWidth != FWidth || AHeight != FHeight;
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    ApplyGeometry();
    if (Resized) SizeChanged();
    if (FParent) FParent->ChildChanged(this);
    if (Resized && !ComponentState().Contains(csLoading)) Resize();
}

void TControl::ApplyGeometry()
{
    FWidget->setGeometry(FLeft, FTop, FWidth, FHeight);
}

void TControl::SizeChanged() {}

void TControl::SetClientWidth(int Value)
{
    SetWidth(GeometryValue("ClientWidth", std::int64_t{Width()} - ClientWidth() + Value));
}

void TControl::SetClientHeight(int Value)
{
    SetHeight(GeometryValue("ClientHeight", std::int64_t{Height()} - ClientHeight() + Value));
}

TPoint TControl::ClientToScreen(TPoint P) const
{
    const QPoint G = ClientWidget()->mapToGlobal(QPoint(P.X, P.Y));
    return TPoint{G.x(), G.y()};
}

TPoint TControl::ScreenToClient(TPoint P) const
{
    const QPoint L = ClientWidget()->mapFromGlobal(QPoint(P.X, P.Y));
    return TPoint{L.x(), L.y()};
}

void TControl::SetParent(TWinControl* Value)
{
    if (Value == FParent) return;
    for (const TControl* P = Value; P; P = P->FParent)
        if (P == this) throw EInvalidOperation(TranslateText("TControl", "A control cannot be its own parent"));
    if (FParent) FParent->RemoveControl(this);
    if (Value) Value->InsertControl(this);
    UpdateWidgetVisibility();
}

bool TControl::IsTopLevelWindow() const
{
    return false;
}

void TControl::UpdateWidgetVisibility()
{
    const bool Shown = (FVisible || ComponentState().Contains(csDesigning)) && !FFreePending &&
                       (FParent != nullptr || IsTopLevelWindow());
    if (FWidget->isHidden() == !Shown) return;
    FWidget->setVisible(Shown);
}

void TControl::SetVisible(bool Value)
{
    if (Value == FVisible) return;
    FVisible = Value;
    UpdateWidgetVisibility();
    if (FParent) FParent->ChildChanged(this);
}

bool TControl::Showing() const
{
    for (const TControl* C = this; C; C = C->FParent) {
        if (!C->FVisible) return false;
        if (!C->FParent) return C->IsTopLevelWindow();
    }
    return false;
}

void TControl::SetEnabled(bool Value)
{
    if (Value == FEnabled) return;
    FEnabled = Value;
    FWidget->setEnabled(Value);
    EnabledChanged();
}

void TControl::EnabledChanged()
{
    Invalidate();
}

void TControl::SetColorDefaults(TColor Color, bool ParentColor)
{
    FColor = Color;
    FDefaultColor = Color;
    FParentColor = ParentColor;
    FDefaultParentColor = ParentColor;
    ApplyColor();
}

bool TControl::IsColorStored() const
{
    return !FParentColor && FColor != FDefaultColor;
}

void TControl::SetColor(TColor Value)
{
    FParentColor = false;
    if (Value == FColor) return;
    FColor = Value;
    ColorChanged();
}

void TControl::SetParentColor(bool Value)
{
    if (Value == FParentColor) return;
    FParentColor = Value;
    if (Value) ParentColorChanged();
}

void TControl::ParentColorChanged()
{
    if (!FParentColor || !FParent || FParent->FColor == FColor) return;
    FColor = FParent->FColor;
    ColorChanged();
}

void TControl::ColorChanged()
{
    ApplyColor();
}

void TControl::SetFont(TFont* Value)
{
    FFont->Assign(Value);
}

void TControl::SetParentFont(bool Value)
{
    if (Value == FParentFont) return;
    FParentFont = Value;
    if (Value) ParentFontChanged();
}

void TControl::ParentFontChanged()
{
    if (!FParentFont || !FParent) return;
    FUpdatingFromParent = true;
    try {
        FFont->Assign(FParent->FFont);
    } catch (...) {
        FUpdatingFromParent = false;
        throw;
    }
    FUpdatingFromParent = false;
}

void TControl::FontChangedEvent(TObject*)
{
    if (!FUpdatingFromParent) FParentFont = false;
    FontChanged();
}

void TControl::FontChanged()
{
    ApplyFont();
}

void TControl::ApplyColor()
{
    FWidget->setAutoFillBackground(!FPaintsItself);
    ApplyColorToRole(QPalette::Window);
}

void TControl::ApplyColorToRole(int Role)
{
    QPalette P = FWidget->palette();
    P.setColor(static_cast<QPalette::ColorRole>(Role), ToQColor(FColor));
    FWidget->setPalette(P);
    Invalidate();
}

void TControl::ApplyFont()
{
    FWidget->setFont(ToQFont(*FFont));
    QPalette P = FWidget->palette();
    const QColor Text = ToQColor(FFont->Color());
    for (QPalette::ColorGroup Group : {QPalette::Active, QPalette::Inactive})
        for (QPalette::ColorRole Role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            P.setColor(Group, Role, Text);
    FWidget->setPalette(P);
    Invalidate();
}

void TControl::SetText(const AnsiString& Value)
{
    if (Value == GetText()) return;
    FText = Value;
    TextChanged();
}

void TControl::TextChanged()
{
    Invalidate();
}

void TControl::SetAlign(TAlign Value)
{
    if (Value == FAlign) return;
    FAlign = Value;
    if (FParent) FParent->ChildChanged(this);
}

void TControl::SetPopupMenu(TPopupMenu* Value)
{
    if (Value == FPopupMenu) return;
    if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
    FPopupMenu = Value;
    if (Value) Value->FreeNotification(this);
}

void TControl::Invalidate()
{
    FWidget->update();
}

void TControl::Update()
{
    FWidget->update();
}

void TControl::Repaint()
{
    FWidget->repaint();
}

void TControl::Click()
{
    if (OnClick) OnClick(this);
}

void TControl::DblClick()
{
    if (OnDblClick) OnDblClick(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::Resize()
{
    if (OnResize) OnResize(this);
}

TComponent* TControl::GetParentComponent() const
{
    return FParent;
}

void TControl::SetParentComponent(TComponent* Value)
{
    if (auto* Win = dynamic_cast<TWinControl*>(Value)) SetParent(Win);
}

void TControl::Notification(TComponent* Component, TOperation Operation)
{
    TComponent::Notification(Component, Operation);
    if (Operation == opRemove && Component == FPopupMenu) FPopupMenu = nullptr;
}

void TControl::Loaded()
{
    TComponent::Loaded();
    UpdateWidgetVisibility();
    // The size read from the form file arrives as one resize once loading is over.
    Resize();
}

void TControl::PaintWidget(QPainter& Painter)
{
    Painter.fillRect(QRect(0, 0, FWidth, FHeight), ToQColor(FColor));
}

bool TControl::HandleWidgetEvent(QEvent*)
{
    return false;
}

AnsiString TControl::AccessibleName() const
{
    return FromQString(FWidget->accessibleName());
}

void TControl::SetAccessibleName(const AnsiString& Value)
{
    FWidget->setAccessibleName(ToQString(Value));
}

AnsiString TControl::AccessibleDescription() const
{
    return FromQString(FWidget->accessibleDescription());
}

void TControl::SetAccessibleDescription(const AnsiString& Value)
{
    FWidget->setAccessibleDescription(ToQString(Value));
}
