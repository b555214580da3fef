#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include "framework/core/TypeInfo.h"
#include "framework/ui/Colors.h"
#include "framework/ui/TBitmap.h"
#include "framework/ui/TCanvas.h"
#include "framework/ui/TFont.h"
#include "framework/ui/QtConvert.h"
#include "framework/ui/TPenBrush.h"
#include "framework/ui/TTextCache.h"

namespace {

struct TChangeCounter : TObject {
    int Count = 0;
    void Changed(TObject*) { ++Count; }
};

TEST(Colors, StreamByNameAndResolveSystemColours)
{
    const TTypeInfo* Type = GetTypeInfo(static_cast<TColor*>(nullptr));
    AnsiString Name;
    ASSERT_TRUE(Type->IntToIdent(clBtnFace, Name));
    EXPECT_EQ(Name, "clBtnFace");
    ASSERT_TRUE(Type->IntToIdent(0xC0C0C0, Name));
    EXPECT_EQ(Name, "clSilver") << "an alias must not be the written name";
    std::int64_t Value = 0;
    ASSERT_TRUE(Type->IdentToInt("clred", Value));
    EXPECT_EQ(Value, clRed);
    EXPECT_EQ(ColorToString(TColor(0x00B4F5F2)), "$00B4F5F2");
    EXPECT_EQ(StringToColor("$00B4F5F2"), TColor(0x00B4F5F2));
    EXPECT_EQ(StringToColor("clWindow"), clWindow);
    EXPECT_THROW(StringToColor("clNoSuchColour"), EConvertError);
    // System colours resolve to plain RGB values; RGB values stay as they are.
    EXPECT_EQ(ColorToRGB(clWindow), clWhite);
    EXPECT_EQ(ColorToRGB(clWindowText), clBlack);
    EXPECT_EQ(ColorToRGB(TColor(0x00E1F5DC)), TColor(0x00E1F5DC));
    EXPECT_EQ(GetRValue(TColor(0x00B4F5F2)), 0xF2);
    EXPECT_EQ(GetBValue(TColor(0x00B4F5F2)), 0xB4);
}

TEST(Font, SizeAndHeightConvertAtNinetySixDotsPerInchAndChangesAreAnnounced)
{
    TFont F;
    TChangeCounter Counter;
    F.OnChange = TNotifyEvent(&Counter, &TChangeCounter::Changed);
    EXPECT_EQ(F.Height(), -11);
    EXPECT_EQ(F.Size(), 8);
    F.SetSize(10);
    EXPECT_EQ(F.Height(), -13);
    F.SetHeight(-13);  // unchanged: no event
    F.SetStyle(TFontStyles{fsBold});
    F.SetColor(clRed);
    EXPECT_EQ(Counter.Count, 3);
    TFont Copy;
    Copy.Assign(&F);
    EXPECT_TRUE(Copy.SameAs(F));
    EXPECT_THROW(Copy.Assign(static_cast<TPersistent*>(nullptr)), EConvertError);
}

TEST(Canvas, MeasuresTextOutsideAPaint)
{
    TCanvas Canvas;  // bound to nothing at all
    EXPECT_FALSE(Canvas.CanDraw());
    const int Short = Canvas.TextWidth("A");
    const int Long = Canvas.TextWidth("AAAAAAAAAA");
    EXPECT_GT(Short, 0);
    EXPECT_GE(Long, 9 * Short);
    EXPECT_GT(Canvas.TextWidth("客戶編號"), 2 * Short) << "Chinese text needs a font with its glyphs";
    EXPECT_GE(Canvas.TextHeight("A"), 11);
    Canvas.Font()->SetHeight(-22);
    EXPECT_GT(Canvas.TextWidth("AAAAAAAAAA"), Long);
    Canvas.Rectangle(0, 0, 10, 10);  // nothing to draw on: no effect, no failure
}

TEST(Canvas, RectangleOutlinesWithThePenAndFillsWithTheBrushRightAndBottomExcluded)
{
    TBitmap Bitmap;
    Bitmap.SetSize(20, 20);
    TCanvas* C = Bitmap.Canvas();
    C->Pen()->SetColor(clRed);
    C->Brush()->SetColor(clBlue);
    C->Rectangle(2, 3, 12, 13);
    EXPECT_EQ(C->Pixels(2, 3), clRed);
    EXPECT_EQ(C->Pixels(11, 12), clRed);
    EXPECT_EQ(C->Pixels(11, 7), clRed);
    EXPECT_EQ(C->Pixels(6, 8), clBlue);
    EXPECT_EQ(C->Pixels(12, 8), clWhite) << "the right edge lies outside";
    EXPECT_EQ(C->Pixels(6, 13), clWhite) << "the bottom edge lies outside";
    C->Brush()->SetColor(TColor(0x00E1F5DC));
    C->FillRect(Rect(14, 14, 16, 16));
    EXPECT_EQ(C->Pixels(15, 15), TColor(0x00E1F5DC));
    EXPECT_EQ(C->Pixels(16, 16), clWhite);
    EXPECT_EQ(C->Pixels(-1, 0), clNone);

    // The solid one-pixel outline covers exactly the pixels of Qt's cosmetic pen, at every
    // size down to a single pixel.
    const TRect Sizes[] = {{2, 3, 12, 13}, {0, 0, 20, 20}, {5, 5, 6, 6}, {4, 2, 6, 9}, {1, 7, 18, 8}};
    for (const TRect& R : Sizes) {
        SCOPED_TRACE(std::to_string(R.Width()) + "x" + std::to_string(R.Height()));
        TBitmap Drawn;
        Drawn.SetSize(20, 20);
        Drawn.Canvas()->Pen()->SetColor(clRed);
        Drawn.Canvas()->Brush()->SetColor(clBlue);
        Drawn.Canvas()->Rectangle(R);
        QImage Expected(20, 20, QImage::Format_RGB32);
        Expected.fill(Qt::white);
        {
            QPainter P(&Expected);
            P.fillRect(QRect(R.Left, R.Top, R.Width(), R.Height()), Qt::blue);
            QPen Pen(Qt::red);
            Pen.setWidth(0);
            P.setPen(Pen);
            P.drawRect(QRect(R.Left, R.Top, R.Width() - 1, R.Height() - 1));
        }
        EXPECT_TRUE(Drawn.Image() == Expected);
    }
}

// Texts drawn through the canvas (shaped once, then drawn from the program's text cache) come
// out pixel for pixel as Qt draws them directly, the first time and every later time, in any
// canvas, and are measured as Qt measures them.
TEST(Canvas, TextDrawnFromTheCacheLooksAndMeasuresExactlyAsQtDrawsIt)
{
    struct TCase {
        const char* Text;
        int Height;
        bool Bold;
        int ClipRight;  // the clip's right edge; 0: the text's own width
    };
    const TCase Cases[] = {
        {"Company number 1042", -11, false, 0},
        {"Company number 1042", -11, true, 0},  // the same text in another font
        {"客戶編號 Trading", -13, false, 0},
        {"Kauai Dive Shoppe", -11, false, 40},  // cut by the clip
        {"two\nlines", -11, false, 0},          // drawn as drawText shows it, on one line
        {"  leading blanks", -11, false, 0},
    };
    TTextCache::Instance().Clear();
    for (const TCase& Case : Cases) {
        for (int Round = 0; Round < 3; ++Round) {
            SCOPED_TRACE(std::string(Case.Text) + " round " + std::to_string(Round));
            TBitmap Bitmap;  // a new canvas each round: the cache is shared between canvases
            Bitmap.SetSize(160, 30);
            TCanvas* C = Bitmap.Canvas();
            C->Font()->SetHeight(Case.Height);
            C->Font()->SetStyle(Case.Bold ? TFontStyles{fsBold} : TFontStyles{});
            C->Brush()->SetStyle(bsClear);

            const QFont Font = ui_detail::ToQFont(*C->Font());
            const QFontMetrics Metrics(Font);
            const QString Text = QString::fromUtf8(Case.Text);
            EXPECT_EQ(C->TextWidth(Case.Text), Metrics.horizontalAdvance(Text));
            EXPECT_EQ(C->TextHeight(Case.Text), Metrics.height());

            const int W = Case.ClipRight ? Case.ClipRight : C->TextWidth(Case.Text);
            C->TextRect(TRect{3, 4, 3 + W, 4 + C->TextHeight(Case.Text)}, 3, 4, Case.Text);

            QImage Expected(160, 30, QImage::Format_RGB32);
            Expected.fill(Qt::white);
            {
                QPainter P(&Expected);
                P.setClipRect(QRect(3, 4, W, Metrics.height()));
                P.setFont(Font);
                P.setPen(Qt::black);
                P.drawText(QPoint(3, 4 + Metrics.ascent()), Text);
            }
            EXPECT_TRUE(Bitmap.Image() == Expected) << "the text differs from Qt's own drawing";
        }
    }
    EXPECT_GT(TTextCache::Instance().Size(), 0u);
}

TEST(Canvas, TheTextCacheStaysBoundedAndKeepsWhatIsStillInUse)
{
    TTextCache& Cache = TTextCache::Instance();
    Cache.Clear();
    TCanvas Canvas;
    const int Kept = Canvas.TextWidth("kept on screen");
    for (std::size_t I = 0; I < 5 * TTextCache::Capacity; ++I) {
        Canvas.TextWidth("text " + std::to_string(I));
        if (I % 100 == 0) {
            EXPECT_EQ(Canvas.TextWidth("kept on screen"), Kept);  // in use all along
        }
        ASSERT_LE(Cache.Size(), 2 * TTextCache::Capacity);
    }
    const std::string Key = TCanvas::FontKey(*Canvas.Font());
    EXPECT_EQ(Cache.Find(Key, "kept on screen").Width, Kept) << "a text in use was dropped";
    EXPECT_EQ(Cache.Find(Key, "text 0").Width, -1) << "a text not used for long was kept";
}

TEST(Bitmap, AssignCopiesSoTheSourceCanChangeAfterwards)
{
    TBitmap Source;
    Source.SetSize(4, 2);
    Source.Canvas()->SetPixel(0, 0, clRed);
    TBitmap Copy;
    TChangeCounter Counter;
    Copy.OnChange = TNotifyEvent(&Counter, &TChangeCounter::Changed);
    Copy.Assign(&Source);
    EXPECT_EQ(Counter.Count, 1);
    Source.Canvas()->SetPixel(0, 0, clLime);
    Source.SetSize(8, 8);
    EXPECT_EQ(Copy.Width(), 4);
    EXPECT_EQ(Copy.Height(), 2);
    EXPECT_EQ(Copy.Canvas()->Pixels(0, 0), clRed);
    EXPECT_EQ(Source.Canvas()->Pixels(0, 0), clLime);
    EXPECT_EQ(Source.Canvas()->Pixels(7, 7), clWhite) << "new area is white";
    Copy.Assign(nullptr);
    EXPECT_TRUE(Copy.Empty());
}

TEST(Bitmap, DataRoundTripsAsLengthPrefixedBmpAndBadDataIsRefused)
{
    TBitmap B;
    B.SetSize(3, 2);
    B.Canvas()->SetPixel(2, 1, TColor(0x00123456));
    const std::vector<std::uint8_t> Data = B.Data();
    ASSERT_GT(Data.size(), 6u);
    const std::uint32_t Length = Data[0] | Data[1] << 8 | Data[2] << 16 | std::uint32_t(Data[3]) << 24;
    EXPECT_EQ(Length, Data.size() - 4);
    EXPECT_EQ(Data[4], 'B');
    EXPECT_EQ(Data[5], 'M');
    TBitmap Back;
    Back.SetData(Data);
    EXPECT_EQ(Back.Width(), 3);
    EXPECT_EQ(Back.Canvas()->Pixels(2, 1), TColor(0x00123456));
    // Without the length prefix it reads too.
    TBitmap Bare;
    Bare.SetData(std::vector<std::uint8_t>(Data.begin() + 4, Data.end()));
    EXPECT_EQ(Bare.Canvas()->Pixels(2, 1), TColor(0x00123456));
    EXPECT_THROW(Back.SetData({1, 2, 3, 4, 5, 6}), EConvertError);
    EXPECT_EQ(Back.Width(), 3) << "a refused picture leaves the bitmap as it was";
    EXPECT_TRUE(TBitmap().Data().empty());
}

}  // namespace
