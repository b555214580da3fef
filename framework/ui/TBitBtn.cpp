#include "framework/ui/TBitBtn.h"

#include <QBitmap>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QPushButton>

#include "framework/core/TypeInfo.h"
#include "framework/ui/QtConvert.h"
#include "framework/ui/TBitmap.h"

using namespace ui_detail;

namespace {

// Image Index of Count side by side in Image, with the transparent colour masked out.
QPixmap GlyphPart(const QImage& Image, int Index, int Count, const QColor& Transparent)
{
    const int W = Image.width() / Count;
    QImage Part = Image.copy(Index * W, 0, W, Image.height()).convertToFormat(QImage::Format_ARGB32);
    const QRgb Key = Transparent.rgb() & 0xFFFFFF;
    for (int Y = 0; Y < Part.height(); ++Y) {
        auto* Line = reinterpret_cast<QRgb*>(Part.scanLine(Y));
        for (int X = 0; X < Part.width(); ++X)
            if ((Line[X] & 0xFFFFFF) == Key) Line[X] = 0;
    }
    return QPixmap::fromImage(Part);
}

}  // namespace

const TClassInfo* TBitBtn::StaticClassInfo()
{
    static const TClassInfo Info = TClassBuilder<TBitBtn, TButton>("TBitBtn")
                                       .Property("Glyph", &TBitBtn::Glyph, &TBitBtn::SetGlyph)
                                       .Property("NumGlyphs", &TBitBtn::NumGlyphs, &TBitBtn::SetNumGlyphs)
                                       .Default(1)
                                       .Build();
    return &Info;
}

TBitBtn::TBitBtn(TComponent* Owner) : TButton(Owner), FGlyph(new TBitmap)
{
    FGlyph->OnChange = TNotifyEvent(this, &TBitBtn::GlyphChanged);
}

TBitBtn::~TBitBtn()
{
    FGlyph->OnChange = nullptr;
    delete FGlyph;
}

void TBitBtn::SetGlyph(TBitmap* Value)
{
    FGlyph->Assign(Value);
}

void TBitBtn::SetNumGlyphs(int Value)
{
    FNumGlyphs = std::clamp(Value, 1, 4);
    UpdateIcon();
}

void TBitBtn::GlyphChanged(TObject*)
{
    UpdateIcon();
}

void TBitBtn::EnabledChanged()
{
    TButton::EnabledChanged();
    UpdateIcon();
}

void TBitBtn::UpdateIcon()
{
    QPushButton* Button = PushButton();
    if (FGlyph->Empty() || FGlyph->Width() < FNumGlyphs) {
        Button->setIcon(QIcon());
        return;
    }
    const QImage& Image = FGlyph->Image();
    const QColor Transparent = ToQColor(FGlyph->TransparentColor());
    const QPixmap Normal = GlyphPart(Image, 0, FNumGlyphs, Transparent);
    // The icon shown is the one for the current state, so that it never depends on how
    // the style derives a disabled image.
    const QPixmap Shown = !Enabled() && FNumGlyphs >= 2 ? GlyphPart(Image, 1, FNumGlyphs, Transparent) : Normal;
    QIcon Icon;
    Icon.addPixmap(Shown, QIcon::Normal);
    Icon.addPixmap(Shown, QIcon::Disabled);
    Button->setIcon(Icon);
    Button->setIconSize(Normal.size());
}
