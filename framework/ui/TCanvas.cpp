#include "framework/ui/TCanvas.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QStaticText>

#include "framework/core/TypeInfo.h"
#include "framework/ui/QtConvert.h"
#include "framework/ui/TBitmap.h"
#include "framework/ui/TFont.h"
#include "framework/ui/TPenBrush.h"
#include "framework/ui/TTextCache.h"

using namespace ui_detail;

namespace {

Qt::PenStyle ToQtPenStyle(TPenStyle Style)
{
    switch (Style) {
    case psDash: return Qt::DashLine;
    case psDot: return Qt::DotLine;
    case psDashDot: return Qt::DashDotLine;
    case psDashDotDot: return Qt::DashDotDotLine;
    case psClear: return Qt::NoPen;
    default: return Qt::SolidLine;
    }
}

// A text that QPainter::drawText(QPoint, ...) shows on one line and QStaticText would break
// into several: such texts are drawn as they are, without the cache.
bool BreaksLines(const QString& Text)
{
    for (QChar C : Text)
        if (C == u'\n' || C == u'\r' || C == QChar::LineSeparator || C == QChar::ParagraphSeparator) return true;
    return false;
}

}  // namespace

const TClassInfo* TCanvas::StaticClassInfo()
{
    static const TClassInfo Info = TClassBuilder<TCanvas, TPersistent>("TCanvas").Build();
    return &Info;
}

TCanvas::TCanvas() : FFont(new TFont), FBrush(new TBrush), FPen(new TPen)
{
    FFont->OnChange = TNotifyEvent(this, &TCanvas::FontChanged);
}

TCanvas::~TCanvas()
{
    FFont->OnChange = nullptr;
    delete FPen;
    delete FBrush;
    delete FFont;
}

void TCanvas::SetFont(TFont* Value)
{
    FFont->Assign(Value);
}

void TCanvas::SetBrush(TBrush* Value)
{
    FBrush->Assign(Value);
}

void TCanvas::SetPen(TPen* Value)
{
    FPen->Assign(Value);
}

std::string TCanvas::FontKey(const TFont& Font)
{
    std::string Key = Font.Name();
    Key += '\x1f';
    Key += std::to_string(Font.Height());
    Key += '\x1f';
    for (TFontStyle Style : {fsBold, fsItalic, fsUnderline, fsStrikeOut}) Key += Font.Style().Contains(Style) ? '1' : '0';
    return Key;
}

void TCanvas::FontChanged(TObject*)
{
    FQtFont.reset();
    FMetrics.reset();
}

const QFont& TCanvas::QtFont() const
{
    if (!FQtFont) {
        FQtFont = std::make_unique<QFont>(ToQFont(*FFont));
        FMetrics = std::make_unique<QFontMetrics>(*FQtFont);
        FFontKey = FontKey(*FFont);
    }
    return *FQtFont;
}

const QFontMetrics& TCanvas::Metrics() const
{
    QtFont();
    return *FMetrics;
}

int TCanvas::TextWidth(const AnsiString& Text) const
{
    const QFontMetrics& M = Metrics();
    TTextCache::TEntry& Entry = TTextCache::Instance().Find(FFontKey, Text);
    if (Entry.Width < 0) Entry.Width = M.horizontalAdvance(ToQString(Text));
    return Entry.Width;
}

int TCanvas::TextHeight(const AnsiString&) const
{
    return Metrics().height();
}

bool TCanvas::CanDraw() const
{
    return FPainter || (FImage && !FImage->isNull());
}

template <class F>
void TCanvas::DrawWith(F&& Paint)
{
    if (FPainter) {
        FPainter->save();
        FPainter->setRenderHint(QPainter::Antialiasing, false);
        Paint(*FPainter);
        FPainter->restore();
        return;
    }
    if (FImage && !FImage->isNull()) {
        {
            QPainter P(FImage);
            Paint(P);
        }
        Changed();
    }
}

void TCanvas::TextOut(int X, int Y, const AnsiString& Text)
{
    TextRect(TRect{X, Y, X + TextWidth(Text), Y + TextHeight(Text)}, X, Y, Text);
}

void TCanvas::TextRect(const TRect& R, int X, int Y, const AnsiString& Text)
{
    DrawWith([&](QPainter& P) {
        const QFont& Font = QtFont();
        const QFontMetrics& M = Metrics();
        const QRect Clip = ToQRect(R);
        P.setClipRect(Clip);
        if (FBrush->Style() == bsSolid)
            P.fillRect(QRect(X, Y, TextWidth(Text), M.height()).intersected(Clip), ToQColor(FBrush->Color()));
        P.setFont(Font);
        P.setPen(ToQColor(FFont->Color()));
        TTextCache::TEntry& Entry = TTextCache::Instance().Find(FFontKey, Text);
        if (!Entry.Shaped) {
            const QString S = ToQString(Text);
            if (BreaksLines(S)) {
                P.drawText(QPoint(X, Y + M.ascent()), S);
                return;
            }
            QStaticText Shaped(S);
            Shaped.setTextFormat(Qt::PlainText);
            Shaped.setPerformanceHint(QStaticText::AggressiveCaching);
            Entry.Shaped = std::move(Shaped);
        }
        P.drawStaticText(QPointF(X, Y), *Entry.Shaped);
    });
}

void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2)
{
    if (X2 < X1) std::swap(X1, X2);
    if (Y2 < Y1) std::swap(Y1, Y2);
    DrawWith([&](QPainter& P) {
        if (FBrush->Style() == bsSolid) P.fillRect(QRect(X1, Y1, X2 - X1, Y2 - Y1), ToQColor(FBrush->Color()));
        if (FPen->Style() != psClear && FPen->Width() > 0 && X2 - X1 > 0 && Y2 - Y1 > 0) {
            QPen Pen(ToQColor(FPen->Color()));
            Pen.setStyle(ToQtPenStyle(FPen->Style()));
            const int W = FPen->Width();
            if (W <= 1 && FPen->Style() == psSolid && X2 - X1 >= 2 && Y2 - Y1 >= 2) {
                // A solid one-pixel outline is four one-pixel bands: the same pixels as the
                // cosmetic pen's rectangle, without stroking a path. (Qt draws no outline
                // round a single pixel, so that case keeps the pen.)
                const QColor Color = ToQColor(FPen->Color());
                const int Width = X2 - X1, Height = Y2 - Y1;
                P.fillRect(QRect(X1, Y1, Width, 1), Color);
                P.fillRect(QRect(X1, Y2 - 1, Width, 1), Color);
                P.fillRect(QRect(X1, Y1, 1, Height), Color);
                P.fillRect(QRect(X2 - 1, Y1, 1, Height), Color);
            } else if (W <= 1) {
                Pen.setWidth(0);  // cosmetic: exactly one pixel
                P.setPen(Pen);
                P.setBrush(Qt::NoBrush);
                P.drawRect(QRect(X1, Y1, X2 - X1 - 1, Y2 - Y1 - 1));
            } else {
                Pen.setWidth(W);
                Pen.setJoinStyle(Qt::MiterJoin);
                P.setPen(Pen);
                P.setBrush(Qt::NoBrush);
                const double Half = W / 2.0;
                P.drawRect(QRectF(X1 + Half, Y1 + Half, X2 - X1 - W, Y2 - Y1 - W));
            }
        }
    });
}

void TCanvas::FillRect(const TRect& R)
{
    if (FBrush->Style() == bsClear) return;
    DrawWith([&](QPainter& P) { P.fillRect(ToQRect(R), ToQColor(FBrush->Color())); });
}

void TCanvas::MoveTo(int X, int Y)
{
    FPenPos = TPoint{X, Y};
}

void TCanvas::LineTo(int X, int Y)
{
    const TPoint From = FPenPos;
    FPenPos = TPoint{X, Y};
    if (FPen->Style() == psClear) return;
    DrawWith([&](QPainter& P) {
        QPen Pen(ToQColor(FPen->Color()));
        Pen.setWidth(FPen->Width() <= 1 ? 0 : FPen->Width());
        Pen.setStyle(ToQtPenStyle(FPen->Style()));
        P.setPen(Pen);
        // The end point itself is not drawn.
        const QLineF Line(From.X, From.Y, X, Y);
        if (Line.length() < 1) return;
        const QLineF Shortened(Line.p1(), Line.pointAt(1.0 - 1.0 / Line.length()));
        P.drawLine(Shortened);
    });
}

void TCanvas::Draw(int X, int Y, TBitmap* Bitmap)
{
    if (!Bitmap || Bitmap->Empty()) return;
    DrawWith([&](QPainter& P) { P.drawImage(QPoint(X, Y), Bitmap->Image()); });
}

TColor TCanvas::Pixels(int X, int Y) const
{
    if (!FImage || !FImage->valid(X, Y)) return clNone;
    return FromQColor(FImage->pixelColor(X, Y));
}

void TCanvas::SetPixel(int X, int Y, TColor Color)
{
    if (!FImage || !FImage->valid(X, Y)) return;
    FImage->setPixelColor(X, Y, ToQColor(Color));
    Changed();
}

TRect TCanvas::ClipRect() const
{
    if (FPainter) return TRect{0, 0, FPaintWidth, FPaintHeight};
    if (FImage) return TRect{0, 0, FImage->width(), FImage->height()};
    return TRect{};
}

void TCanvas::BeginPaint(QPainter* Painter, int Width, int Height)
{
    FPainter = Painter;
    FPaintWidth = Width;
    FPaintHeight = Height;
}

void TCanvas::EndPaint()
{
    FPainter = nullptr;
}

void TCanvas::SetImage(QImage* Image)
{
    FImage = Image;
}

void TCanvas::Changed()
{
    if (OnChange) OnChange(this);
}
