#include <gtest/gtest.h>

#include <QImage>

#include "framework/core/TypeInfo.h"
#include "framework/ui/Colors.h"
#include "framework/ui/TBitmap.h"
#include "framework/ui/TCanvas.h"
#include "framework/ui/TFont.h"
#include "framework/ui/TPenBrush.h"

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
