#pragma once
// A drawing surface with a font, a brush and a pen. A control's canvas draws only while
// the control paints (outside a paint, drawing does nothing, as the next paint would
// cover it anyway); a bitmap's canvas draws into the bitmap at any time. Measuring text
// works at any time.
//
// Texts are measured and shaped once per font and text for the whole program (TTextCache):
// drawing or measuring a text that any canvas has drawn or measured in the same font shapes
// nothing. The canvas keeps the Qt font and metrics of its font until the font changes.
//
// Invariant: FQtFont is null or the Qt font of FFont as it is now (FFont's OnChange drops it),
// FFontKey and FMetrics with it.
#include <memory>
#include <string>

#include "framework/core/Events.h"
#include "framework/core/TPersistent.h"
#include "framework/ui/Colors.h"
#include "framework/ui/TFont.h"
#include "framework/ui/TPenBrush.h"
#include "framework/ui/UiTypes.h"

class QFont;
class QFontMetrics;
class QImage;
class QPainter;
class TBitmap;

class TCanvas : public TPersistent {
    DECLARE_CLASSINFO()
public:
    TCanvas();
    ~TCanvas() override;

    TFont* Font() const { return FFont; }
    void SetFont(TFont* Value);  // copies Value
    TBrush* Brush() const { return FBrush; }
    void SetBrush(TBrush* Value);
    TPen* Pen() const { return FPen; }
    void SetPen(TPen* Value);

    int TextWidth(const AnsiString& Text) const;
    int TextHeight(const AnsiString& Text) const;
    // Text with its top-left corner at (X, Y), on the brush colour unless the brush is clear.
    void TextOut(int X, int Y, const AnsiString& Text);
    // As TextOut, clipped to R.
    void TextRect(const TRect& R, int X, int Y, const AnsiString& Text);
    // Outline with the pen, inside filled with the brush; Right and Bottom lie outside.
    void Rectangle(int X1, int Y1, int X2, int Y2);
    void Rectangle(const TRect& R) { Rectangle(R.Left, R.Top, R.Right, R.Bottom); }
    // Fills R with the brush, no outline.
    void FillRect(const TRect& R);
    void MoveTo(int X, int Y);
    void LineTo(int X, int Y);
    // Draws Bitmap with its top-left corner at (X, Y).
    void Draw(int X, int Y, TBitmap* Bitmap);
    // The colour of one pixel (bitmaps only; clNone elsewhere or outside).
    TColor Pixels(int X, int Y) const;
    void SetPixel(int X, int Y, TColor Color);
    // The area that drawing can reach.
    TRect ClipRect() const;

    // The key of Font's shape (name, height, style) among texts measured and drawn; fonts
    // that differ only in colour or character set share it.
    static std::string FontKey(const TFont& Font);

    // Fired after every drawing operation on a bitmap's canvas.
    TNotifyEvent OnChange;

    // Binding to a surface (framework use): a painter for the length of a paint, or an image.
    void BeginPaint(QPainter* Painter, int Width, int Height);
    void EndPaint();
    void SetImage(QImage* Image);
    bool CanDraw() const;

private:
    template <class F>
    void DrawWith(F&& Paint);
    void Changed();
    void FontChanged(TObject* Sender);
    // The Qt font of FFont, and its metrics, made when first needed after a change.
    const QFont& QtFont() const;
    const QFontMetrics& Metrics() const;

    TFont* FFont;           // owned
    TBrush* FBrush;         // owned
    TPen* FPen;             // owned
    QPainter* FPainter = nullptr;  // not owned: set during a control's paint
    QImage* FImage = nullptr;      // not owned: the bitmap's image
    int FPaintWidth = 0;
    int FPaintHeight = 0;
    TPoint FPenPos;
    mutable std::unique_ptr<QFont> FQtFont;         // owned; null until needed
    mutable std::unique_ptr<QFontMetrics> FMetrics;  // owned; with FQtFont
    mutable std::string FFontKey;                    // with FQtFont
};
