#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include <memory>
#include <string>
#include <utility>

#include "components/UZopFileDataSet.h"
#include "framework/core/TextUtils.h"
#include "framework/ui/TCanvas.h"
#include "framework/ui/TForm.h"
#include "tests/support/UiTestSupport.h"

namespace {

std::string Hex(TColor C)
{
    char Text[16];
    std::snprintf(Text, sizeof Text, "%06X", static_cast<unsigned>(C) & 0xFFFFFF);
    return Text;
}

// The colour of a pixel as a framework colour value (0x00BBGGRR).
TColor PixelAt(const QImage& Image, int X, int Y)
{
    const QColor C = Image.pixelColor(X, Y);
    return TColor(C.red() | (C.green() << 8) | (C.blue() << 16));
}

bool IsDark(TColor C)
{
    return (C & 0xFF) < 0x80 && ((C >> 8) & 0xFF) < 0x80 && ((C >> 16) & 0xFF) < 0x80;
}

// Whether any pixel of the rectangle is dark (text was drawn there).
bool HasInk(const QImage& Image, int Left, int Top, int Right, int Bottom)
{
    for (int X = Left; X < Right; ++X)
        for (int Y = Top; Y < Bottom; ++Y)
            if (IsDark(PixelAt(Image, X, Y))) return true;
    return false;
}

// A shown grid of two columns and four rows; the first column has a colour of its own.
class GridPaint : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form->SetBounds(0, 0, 600, 300);
        Grid->SetParent(Form.get());
        Grid->SetAlign(alClient);
        TColumnItem* First = Grid->GetColumns()->Add();
        First->SetFTitle("No");
        First->SetFColumnColor(ColumnColour);
        First->SetFUseColumnColor(true);
        Grid->GetColumns()->Add()->SetFTitle("Name");
        Grid->SetFRowCount(4);
        for (int R = 0; R < 4; ++R) {
            Cell(0, R)->SetAsString(IntToStr(R + 1));
            AnsiString Name = IntToStr(R + 1);
            Name.insert(Name.begin(), 'n');
            Cell(1, R)->SetAsString(Name);
        }
        ShowActive(Form.get());
    }
    TGridCell* Cell(int Col, int Row) const { return Grid->GetColumns()->GetDataCell(Col, Row); }
    TGridCell* TitleCell(int Col) const { return Grid->GetColumns()->GeTColumnItem(Col)->FTitleCell; }
    // The colour inside a cell, near its top-right corner (away from its text and border).
    TColor Inside(const QImage& Image, TGridCell* C) const { return PixelAt(Image, C->Left() + C->Width() - 4, C->Top() + 4); }
    int TextWidth(TGridCell* C, const AnsiString& Text) const
    {
        C->Canvas()->SetFont(C->Font());
        return C->Canvas()->TextWidth(Text);
    }

    static constexpr TColor ColumnColour = TColor(0x3050F0);
    std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
    TZopFileDBGrid* Grid = new TZopFileDBGrid(Form.get());  // not owned: the form owns it
};

TEST_F(GridPaint, RowsAlternateOverTheColumnColourAndTheCurrentRowTakesTheFocusColour)
{
    Grid->FSelectedCell = Cell(0, 3);
    Grid->RepaintSelectedRowCells(3);
    const QImage Image = GrabControl(Grid);
    SaveScreenshot(Grid, "grid_rows");
    const TColor Alternate = TColor(0xE1F5DC);
    const struct {
        int Col, Row;
        TColor Expected;
    } Cases[] = {
        {0, 0, ColumnColour}, {1, 0, clWhite},   {0, 1, Alternate}, {1, 1, Alternate},
        {0, 2, ColumnColour}, {1, 2, clWhite},   {0, 3, TColor(0x92FAED)}, {1, 3, TColor(0x92FAED)},
    };
    for (const auto& Case : Cases)
        EXPECT_EQ(Hex(Inside(Image, Cell(Case.Col, Case.Row))), Hex(Case.Expected)) << Case.Col << "," << Case.Row;
    EXPECT_EQ(Hex(PixelAt(Image, Cell(1, 2)->Left(), Cell(1, 2)->Top() + 5)), Hex(TColor(0xC0C0C0))) << "border";
    EXPECT_EQ(Hex(Inside(Image, TitleCell(1))), Hex(TColor(0xF7D9CC))) << "title colour";
    EXPECT_TRUE(HasInk(Image, Cell(1, 2)->Left() + 2, Cell(1, 2)->Top() + 3, Cell(1, 2)->Left() + 14,
                       Cell(1, 2)->Top() + 23))
        << "the text at the left";

    // Another focus colour, another current row: the grid paints what it holds now.
    Grid->SetFRecordFocusColor(clYellow);
    Grid->FSelectedCell = Cell(1, 0);
    Grid->RepaintSelectedRowCells(3);
    Grid->RepaintSelectedRowCells(0);
    const QImage After = GrabControl(Grid);
    EXPECT_EQ(Hex(Inside(After, Cell(0, 0))), Hex(clYellow));
    EXPECT_EQ(Hex(Inside(After, Cell(0, 3))), Hex(Alternate));
}

TEST_F(GridPaint, ATextWiderThanItsColumnWidensTheColumnAndShiftsTheLaterOnes)
{
    const AnsiString Wide = "WWWWWWWWWWWWWWWWWWWWWWWW";
    const int W = TextWidth(Cell(0, 2), Wide);
    ASSERT_GT(W, 64);
    const int NameLeft = TitleCell(1)->Left();
    Cell(0, 2)->SetAsString(Wide);
    EXPECT_EQ(TitleCell(0)->Width(), W + 5);
    for (int R = 0; R < 4; ++R) EXPECT_EQ(Cell(0, R)->Width(), W + 5) << R;
    EXPECT_EQ(TitleCell(1)->Left(), NameLeft + W + 5 - 64);
    EXPECT_EQ(Cell(1, 3)->Left(), TitleCell(1)->Left());
    EXPECT_EQ(TitleCell(1)->Left(), TitleCell(0)->Left() + TitleCell(0)->Width()) << "no gap, no overlap";

    Cell(0, 2)->SetAsString("1");
    EXPECT_EQ(TitleCell(0)->Width(), W + 5) << "a shorter text never narrows it";

    Cell(0, 2)->SetAsString(Wide);
    const QImage Image = GrabControl(Grid);
    SaveScreenshot(Grid, "grid_wide_text");
    TGridCell* C = Cell(0, 2);
    EXPECT_TRUE(HasInk(Image, C->Left() + W - 8, C->Top() + 3, C->Left() + W + 2, C->Top() + 23))
        << "the end of the text shows";
    EXPECT_EQ(Hex(Inside(Image, Cell(1, 2))), Hex(clWhite)) << "the next column is not covered";
}

TEST_F(GridPaint, AWideTitleWidensItsCellByTheTitlePlusTwelve)
{
    const AnsiString Title = "A title much wider than its column";
    const int W = TextWidth(TitleCell(1), Title);
    Grid->GetColumns()->GeTColumnItem(1)->SetFTitle(Title);
    EXPECT_EQ(TitleCell(1)->Width(), W + 12);
    EXPECT_EQ(Cell(1, 0)->Width(), W + 12) << "the data cells take the title cell's width";
    const QImage Image = GrabControl(Grid);
    SaveScreenshot(Grid, "grid_wide_title");
    TGridCell* T = TitleCell(1);
    EXPECT_TRUE(HasInk(Image, T->Left() + W - 6, T->Top() + 4, T->Left() + W + 2, T->Top() + 22)) << "all of it";
    EXPECT_FALSE(HasInk(Image, T->Left() + W + 4, T->Top() + 4, T->Left() + W + 9, T->Top() + 22));
}

TEST_F(GridPaint, TextIsPlacedByTheColumnsAlignment)
{
    TColumnItem* Name = Grid->GetColumns()->GeTColumnItem(1);
    Name->SetFWidth(200);
    TGridCell* C = Cell(1, 0);
    const int W = TextWidth(C, "n1");
    const struct {
        TColumnAlignType Align;
        int TextLeft;
    } Cases[] = {{CA_Left, 2}, {CA_Center, 100 - W / 2}, {CA_Right, 200 - W - 2}};
    for (const auto& Case : Cases) {
        Name->SetFColumnAlign(Case.Align);
        const QImage Image = GrabControl(Grid);
        EXPECT_TRUE(HasInk(Image, C->Left() + Case.TextLeft, C->Top() + 3, C->Left() + Case.TextLeft + W, C->Top() + 23))
            << Case.Align;
        EXPECT_FALSE(HasInk(Image, C->Left() + 1, C->Top() + 3, C->Left() + Case.TextLeft - 1, C->Top() + 23))
            << Case.Align;
    }
}

// The first and last columns of a cell's row band that hold ink, relative to the cell; -1 when none.
std::pair<int, int> InkSpan(const QImage& Image, TGridCell* C)
{
    int First = -1, Last = -1;
    for (int X = 1; X < C->Width() - 1; ++X)
        if (HasInk(Image, C->Left() + X, C->Top() + 3, C->Left() + X + 1, C->Top() + C->Height() - 3)) {
            if (First < 0) First = X;
            Last = X;
        }
    return {First, Last};
}

TEST_F(GridPaint, ARightAlignedTextIsPlacedByItsWidthAfterItsTextOrItsFontChanged)
{
    TColumnItem* Name = Grid->GetColumns()->GeTColumnItem(1);
    Name->SetFWidth(200);
    Name->SetFColumnAlign(CA_Right);
    TGridCell* C = Cell(1, 0);
    // Each step changes what was drawn before: the cell must not place the text by the width
    // it measured for an earlier text or font.
    const struct {
        const char* Text;
        int FontSize;  // 0: as it is
    } Steps[] = {{"n1", 0}, {"n1000000", 0}, {"n1000000", 16}, {"n1", 0}, {"n1", 9}, {"WWWWWW", 0}};
    for (const auto& Step : Steps) {
        if (Step.FontSize) C->Font()->SetSize(Step.FontSize);
        C->SetAsString(Step.Text);
        const int W = TextWidth(C, Step.Text);
        const QImage Image = GrabControl(Grid);
        const auto [First, Last] = InkSpan(Image, C);
        EXPECT_GE(First, 200 - W - 2) << Step.Text << " at " << Step.FontSize;
        EXPECT_LE(First, 200 - W + 2) << Step.Text << " at " << Step.FontSize;
        EXPECT_GE(Last, 200 - 2 - 6) << Step.Text << " at " << Step.FontSize << ": ends at the right margin";
        EXPECT_LT(Last, 200 - 1) << Step.Text << " at " << Step.FontSize;
    }
    SaveScreenshot(Grid, "grid_right_aligned_after_changes");
}

}  // namespace
