#include "framework/ui/TLabel.h"

#include <QFontMetrics>
#include <QLabel>

#include "framework/core/TypeInfo.h"
#include "framework/ui/ControlBridge.h"
#include "framework/ui/PublishHelper.h"
#include "framework/ui/QtConvert.h"
#include "framework/ui/TFont.h"

using namespace ui_detail;

const TClassInfo* TLabel::StaticClassInfo()
{
    static const TClassInfo Info = [] {
        auto B = TClassBuilder<TLabel, TControl>("TLabel");
        PublishAll(B, {"Align", "Caption", "Color", "Enabled", "Font", "ParentColor", "ParentFont", "PopupMenu",
                       "Visible", "OnClick", "OnDblClick", "OnMouseDown", "OnMouseUp"});
        return B.Property("Alignment", &TLabel::Alignment, &TLabel::SetAlignment)
            .Default(taLeftJustify)
            .Property("AutoSize", &TLabel::AutoSize, &TLabel::SetAutoSize)
            .Default(true)
            .Property("Transparent", &TLabel::Transparent, &TLabel::SetTransparent)
            .Default(false)
            .Property("WordWrap", &TLabel::WordWrap, &TLabel::SetWordWrap)
            .Default(false)
            .Build();
    }();
    return &Info;
}

TLabel::TLabel(TComponent* Owner) : TControl(Owner, new QLabel)
{
    Label()->setTextFormat(Qt::PlainText);
    Label()->setFocusPolicy(Qt::NoFocus);
    Bridge()->SetPassiveMouse(true);
    ApplyAlignment();
    SetColorDefaults(clBtnFace, true);
    ApplyFont();
    SetInitialBounds(0, 0, 65, 17);
}

QLabel* TLabel::Label() const
{
    return static_cast<QLabel*>(Widget());
}

void TLabel::SetAutoSize(bool Value)
{
    if (Value == FAutoSize) return;
    FAutoSize = Value;
    AdjustBounds();
}

void TLabel::SetAlignment(TAlignment Value)
{
    FAlignment = Value;
    ApplyAlignment();
}

void TLabel::SetTransparent(bool Value)
{
    FTransparent = Value;
    ApplyColor();
}

void TLabel::SetWordWrap(bool Value)
{
    FWordWrap = Value;
    Label()->setWordWrap(Value);
    AdjustBounds();
}

void TLabel::ApplyAlignment()
{
    Qt::Alignment A = Qt::AlignTop;
    A |= FAlignment == taCenter ? Qt::AlignHCenter : FAlignment == taRightJustify ? Qt::AlignRight : Qt::AlignLeft;
    Label()->setAlignment(A);
}

void TLabel::TextChanged()
{
    Label()->setText(ToQString(StoredText()));
    AdjustBounds();
}

void TLabel::FontChanged()
{
    TControl::FontChanged();
    AdjustBounds();
}

void TLabel::ApplyColor()
{
    TControl::ApplyColor();
    Widget()->setAutoFillBackground(!FTransparent);
}

void TLabel::AdjustBounds()
{
    if (!FAutoSize || ComponentState().Contains(csLoading)) return;
    const QFontMetrics Metrics(ToQFont(*Font()));
    const QString Text = ToQString(StoredText());
    QSize S;
    if (FWordWrap) S = Metrics.boundingRect(QRect(0, 0, std::max(1, Width()), 100000), Qt::TextWordWrap, Text).size();
    else S = Metrics.size(0, Text);
    const int NewWidth = FWordWrap ? Width() : S.width();
    int NewLeft = Left();
    if (FAlignment == taRightJustify) NewLeft = Left() + Width() - NewWidth;
    else if (FAlignment == taCenter) NewLeft = Left() + (Width() - NewWidth) / 2;
    SetBounds(NewLeft, Top(), NewWidth, std::max(S.height(), Metrics.height()));
}

void TLabel::Loaded()
{
    TControl::Loaded();
    AdjustBounds();
}
