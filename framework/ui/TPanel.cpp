#include "framework/ui/TPanel.h"

#include "framework/core/TypeInfo.h"
#include "framework/ui/PublishHelper.h"
#include "framework/ui/TCanvas.h"
#include "framework/ui/TFont.h"
#include "framework/ui/TPenBrush.h"

namespace {

// Draws Width rings inside R, the top and left edges in Top, the bottom and right ones in
// Bottom, and shrinks R by them.
void Frame3D(TCanvas* Canvas, TRect& R, TColor Top, TColor Bottom, int Width)
{
    for (int I = 0; I < Width && R.Width() > 0 && R.Height() > 0; ++I) {
        Canvas->Brush()->SetStyle(bsSolid);
        Canvas->Brush()->SetColor(Top);
        Canvas->FillRect(TRect{R.Left, R.Top, R.Right - 1, R.Top + 1});
        Canvas->FillRect(TRect{R.Left, R.Top, R.Left + 1, R.Bottom - 1});
        Canvas->Brush()->SetColor(Bottom);
        Canvas->FillRect(TRect{R.Left, R.Bottom - 1, R.Right, R.Bottom});
        Canvas->FillRect(TRect{R.Right - 1, R.Top, R.Right, R.Bottom});
        R = TRect{R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1};
    }
}

void BevelColors(TBevelCut Cut, TColor& Top, TColor& Bottom)
{
    Top = Cut == bvLowered ? clBtnShadow : clBtnHighlight;
    Bottom = Cut == bvLowered ? clBtnHighlight : clBtnShadow;
}

}  // namespace

const TClassInfo* TCustomPanel::StaticClassInfo()
{
    static const TClassInfo Info =
        TClassBuilder<TCustomPanel, TCustomControl>("TCustomPanel")
            .Property("Alignment", &TCustomPanel::Alignment, &TCustomPanel::SetAlignment)
            .Default(taCenter)
            .Unpublished()
            .Property("BevelInner", &TCustomPanel::BevelInner, &TCustomPanel::SetBevelInner)
            .Default(bvNone)
            .Unpublished()
            .Property("BevelOuter", &TCustomPanel::BevelOuter, &TCustomPanel::SetBevelOuter)
            .Default(bvRaised)
            .Unpublished()
            .Property("BevelWidth", &TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth)
            .Default(1)
            .Unpublished()
            .Property("BorderWidth", &TCustomPanel::BorderWidth, &TCustomPanel::SetBorderWidth)
            .Default(0)
            .Unpublished()
            .Build();
    return &Info;
}

TCustomPanel::TCustomPanel(TComponent* Owner) : TCustomControl(Owner)
{
    SetColorDefaults(clBtnFace, false);
    SetInitialBounds(0, 0, 185, 41);
}

void TCustomPanel::SetBevelInner(TBevelCut Value)
{
    FBevelInner = Value;
    Invalidate();
}

void TCustomPanel::SetBevelOuter(TBevelCut Value)
{
    FBevelOuter = Value;
    Invalidate();
}

void TCustomPanel::SetBevelWidth(int Value)
{
    FBevelWidth = std::max(1, Value);
    Invalidate();
}

void TCustomPanel::SetBorderWidth(int Value)
{
    FBorderWidth = std::max(0, Value);
    Invalidate();
}

void TCustomPanel::SetAlignment(TAlignment Value)
{
    FAlignment = Value;
    Invalidate();
}

void TCustomPanel::Paint()
{
    TCanvas* C = Canvas();
    TRect R = ClientRect();
    TColor Top, Bottom;
    if (FBevelOuter != bvNone) {
        BevelColors(FBevelOuter, Top, Bottom);
        Frame3D(C, R, Top, Bottom, FBevelWidth);
    }
    Frame3D(C, R, Color(), Color(), FBorderWidth);
    if (FBevelInner != bvNone) {
        BevelColors(FBevelInner, Top, Bottom);
        Frame3D(C, R, Top, Bottom, FBevelWidth);
    }
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(Color());
    C->FillRect(R);
    const AnsiString Text = Caption();
    if (Text.empty()) return;
    C->SetFont(Font());
    C->Brush()->SetStyle(bsClear);
    const int W = C->TextWidth(Text);
    const int H = C->TextHeight(Text);
    int X = R.Left;
    if (FAlignment == taCenter) X = (R.Left + R.Right - W) / 2;
    else if (FAlignment == taRightJustify) X = R.Right - W;
    C->TextRect(R, X, (R.Top + R.Bottom - H) / 2, Text);
}

const TClassInfo* TPanel::StaticClassInfo()
{
    static const TClassInfo Info = [] {
        auto B = TClassBuilder<TPanel, TCustomPanel>("TPanel");
        return ui_detail::PublishAll(B, {"Align", "Alignment", "BevelInner", "BevelOuter", "BevelWidth",
                                         "BorderWidth", "Caption", "Color", "Enabled", "Font", "ParentColor",
                                         "ParentFont", "PopupMenu", "TabOrder", "TabStop", "Visible", "OnClick",
                                         "OnDblClick", "OnEnter", "OnExit", "OnMouseDown", "OnMouseUp", "OnResize"})
            .Build();
    }();
    return &Info;
}
