#include "framework/ui/TScrollingWinControl.h"

#include <QPalette>
#include <QScrollBar>
#include <QWidget>

#include <algorithm>

#include "framework/core/TypeInfo.h"
#include "framework/ui/ControlBridge.h"
#include "framework/ui/PublishHelper.h"
#include "framework/ui/QtConvert.h"

using namespace ui_detail;

const TClassInfo* TScrollingWinControl::StaticClassInfo()
{
    static const TClassInfo Info =
        TClassBuilder<TScrollingWinControl, TWinControl>("TScrollingWinControl")
            .Property("AutoScroll", &TScrollingWinControl::AutoScroll, &TScrollingWinControl::SetAutoScroll)
            .Default(true)
            .Unpublished()
            .Build();
    return &Info;
}

TScrollingWinControl::TScrollingWinControl(TComponent* Owner) : TWinControl(Owner, new QWidget)
{
    QWidget* Frame = Widget();
    FViewport = new QWidget(Frame);
    FViewport->setProperty(ControlWidgetProperty, false);
    FHorzBar = new QScrollBar(Qt::Horizontal, Frame);
    FVertBar = new QScrollBar(Qt::Vertical, Frame);
    FCorner = new QWidget(Frame);
    FHorzBar->hide();
    FVertBar->hide();
    FCorner->hide();
    Bridge()->Watch(FViewport);
    Bridge()->SetPassiveMouse(true);
    Frame->setFocusPolicy(Qt::NoFocus);
    for (QScrollBar* Bar : {FHorzBar, FVertBar}) {
        Bar->setFocusPolicy(Qt::NoFocus);
        ConnectGuarded(Bridge(), Bar, &QScrollBar::valueChanged, [this](int) {
            if (!FUpdatingBars) BarMoved();
        });
    }
    SetColorDefaults(clBtnFace, true);
    ApplyFont();
    SetInitialBounds(0, 0, 185, 41);
    UpdateScrollBars();
}

void TScrollingWinControl::SetAutoScroll(bool Value)
{
    FAutoScroll = Value;
    UpdateScrollBars();
}

void TScrollingWinControl::ContentExtent(int& Right, int& Bottom) const
{
    // In unscrolled coordinates: where the children would end at scroll position 0.
    Right = 0;
    Bottom = 0;
    for (int I = 0; I < ControlCount(); ++I) {
        TControl* C = Controls(I);
        if (!C->Visible()) continue;
        if (C->Align() == alNone || C->Align() == alLeft || C->Align() == alRight)
            Right = std::max(Right, FHorzPos + C->Left() + C->Width());
        if (C->Align() == alNone || C->Align() == alTop || C->Align() == alBottom)
            Bottom = std::max(Bottom, FVertPos + C->Top() + C->Height());
    }
}

void TScrollingWinControl::UpdateScrollBars()
{
    if (FUpdatingBars) return;
    FUpdatingBars = true;
    const int W = Widget()->width();
    const int H = Widget()->height();
    int Right = 0, Bottom = 0;
    ContentExtent(Right, Bottom);
    const int BarW = FVertBar->sizeHint().width();
    const int BarH = FHorzBar->sizeHint().height();
    bool ShowH = false, ShowV = false;
    for (int Pass = 0; Pass < 2; ++Pass) {
        ShowH = FAutoScroll && Right > W - (ShowV ? BarW : 0);
        ShowV = FAutoScroll && Bottom > H - (ShowH ? BarH : 0);
    }
    const int ClientW = std::max(0, W - (ShowV ? BarW : 0));
    const int ClientH = std::max(0, H - (ShowH ? BarH : 0));
    FViewport->setGeometry(0, 0, ClientW, ClientH);
    FHorzBar->setGeometry(0, ClientH, ClientW, BarH);
    FVertBar->setGeometry(ClientW, 0, BarW, ClientH);
    FCorner->setGeometry(ClientW, ClientH, BarW, BarH);
    FHorzBar->setVisible(ShowH);
    FVertBar->setVisible(ShowV);
    FCorner->setVisible(ShowH && ShowV);
    FHorzBar->setRange(0, std::max(0, Right - ClientW));
    FHorzBar->setPageStep(std::max(1, ClientW));
    FHorzBar->setSingleStep(8);
    FVertBar->setRange(0, std::max(0, Bottom - ClientH));
    FVertBar->setPageStep(std::max(1, ClientH));
    FVertBar->setSingleStep(8);
    FUpdatingBars = false;
    // Content scrolled further than it now reaches comes back (the container grew or
    // children went away).
    const int MaxH = FHorzBar->maximum(), MaxV = FVertBar->maximum();
    if (FHorzPos > MaxH || FVertPos > MaxV) {
        ScrollTo(std::min(FHorzPos, MaxH), std::min(FVertPos, MaxV));
        return;
    }
    FUpdatingBars = true;
    FHorzBar->setValue(FHorzPos);
    FVertBar->setValue(FVertPos);
    FUpdatingBars = false;
}

int TScrollingWinControl::HorzScrollMax() const
{
    return FHorzBar->maximum();
}

bool TScrollingWinControl::HorzScrollBarVisible() const
{
    return !FHorzBar->isHidden();
}

bool TScrollingWinControl::VertScrollBarVisible() const
{
    return !FVertBar->isHidden();
}

void TScrollingWinControl::ScrollTo(int HorzPos, int VertPos)
{
    const int DeltaX = FHorzPos - HorzPos;
    const int DeltaY = FVertPos - VertPos;
    if (DeltaX == 0 && DeltaY == 0) return;
    ScrollBy(DeltaX, DeltaY);
}

void TScrollingWinControl::SetHorzScrollPos(int Value)
{
    UpdateScrollBars();
    ScrollTo(std::clamp(Value, 0, std::max(0, FHorzBar->maximum())), FVertPos);
}

void TScrollingWinControl::SetVertScrollPos(int Value)
{
    UpdateScrollBars();
    ScrollTo(FHorzPos, std::clamp(Value, 0, std::max(0, FVertBar->maximum())));
}

void TScrollingWinControl::ScrollBy(int DeltaX, int DeltaY)
{
    // Moving the children right scrolls the view left: the position follows.
    FHorzPos -= DeltaX;
    FVertPos -= DeltaY;
    TWinControl::ScrollBy(DeltaX, DeltaY);
}

void TScrollingWinControl::BarMoved()
{
    ScrollTo(FHorzBar->isHidden() ? FHorzPos : FHorzBar->value(), FVertBar->isHidden() ? FVertPos : FVertBar->value());
}

void TScrollingWinControl::ScrollInView(TControl* AControl)
{
    if (!AControl || AControl == this || !ContainsControl(AControl)) return;
    TRect R = AControl->BoundsRect();
    for (TWinControl* P = AControl->Parent(); P && P != this; P = P->Parent())
        R = TRect{R.Left + P->Left(), R.Top + P->Top(), R.Right + P->Left(), R.Bottom + P->Top()};
    UpdateScrollBars();
    int NewH = FHorzPos, NewV = FVertPos;
    if (R.Left < 0) NewH += R.Left;
    else if (R.Right > ClientWidth()) NewH += std::min(R.Right, R.Left + ClientWidth()) - ClientWidth();
    if (R.Top < 0) NewV += R.Top;
    else if (R.Bottom > ClientHeight()) NewV += std::min(R.Bottom, R.Top + ClientHeight()) - ClientHeight();
    ScrollTo(std::clamp(NewH, 0, std::max(0, FHorzBar->maximum())),
             std::clamp(NewV, 0, std::max(0, FVertBar->maximum())));
}

void TScrollingWinControl::ChildChanged(TControl* Child)
{
    TWinControl::ChildChanged(Child);
    UpdateScrollBars();
}

void TScrollingWinControl::ChildrenScrolled()
{
    UpdateScrollBars();
}

void TScrollingWinControl::SizeChanged()
{
    UpdateScrollBars();
    TWinControl::SizeChanged();
    UpdateScrollBars();
}

void TScrollingWinControl::Loaded()
{
    TWinControl::Loaded();
    UpdateScrollBars();
}

void TScrollingWinControl::ApplyColor()
{
    TWinControl::ApplyColor();
    QPalette P = FViewport->palette();
    P.setColor(QPalette::Window, ToQColor(Color()));
    FViewport->setPalette(P);
    FViewport->setAutoFillBackground(true);
}

const TClassInfo* TScrollBox::StaticClassInfo()
{
    static const TClassInfo Info = [] {
        auto B = TClassBuilder<TScrollBox, TScrollingWinControl>("TScrollBox");
        return ui_detail::PublishAll(B, {"Align", "AutoScroll", "Color", "Enabled", "Font", "ParentColor",
                                         "ParentFont", "PopupMenu", "TabOrder", "TabStop", "Visible", "OnClick",
                                         "OnDblClick", "OnEnter", "OnExit", "OnMouseDown", "OnMouseUp", "OnResize"})
            .Build();
    }();
    return &Info;
}

TScrollBox::TScrollBox(TComponent* Owner) : TScrollingWinControl(Owner)
{
    SetInitialBounds(0, 0, 185, 41);
}
