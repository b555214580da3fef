#include <gtest/gtest.h>

#include <memory>

#include "components/UZopFileDataSet.h"
#include "framework/core/TStrings.h"
#include "framework/ui/TForm.h"

namespace {

// A grid on a form, with columns whose title cells have the given widths.
struct TLaidOutGrid {
    std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
    TZopFileDBGrid* Grid = new TZopFileDBGrid(Form.get());
    TGridColumns* Columns = Grid->GetColumns();

    explicit TLaidOutGrid(std::initializer_list<int> Widths, int Rows = 2)
    {
        Grid->SetParent(Form.get());
        for (int W : Widths) Columns->Add()->SetFWidth(W);
        Grid->SetFRowCount(Rows);
    }
    int TitleLeft(int Col) const { return Columns->GeTColumnItem(Col)->FTitleCell->Left(); }
};

TEST(ColumnLayout, AColumnIsNamedAfterItsTitleAndABlankTitleGivesTheDefaultName)
{
    TLaidOutGrid L({64});
    TColumnItem* Column = L.Columns->GeTColumnItem(0);
    EXPECT_EQ(Column->DisplayName(), "NewGrigColumn") << "a new column";
    const struct {
        const char* Title;
        const char* Name;
    } Cases[] = {{"City", "[ City ]"}, {"   ", "NewGrigColumn"}, {"", "NewGrigColumn"}, {" Zip", "[  Zip ]"}};
    for (const auto& Case : Cases) {
        Column->SetFTitle(Case.Title);
        EXPECT_EQ(Column->DisplayName(), Case.Name) << "title '" << Case.Title << "'";
        EXPECT_EQ(Column->GetTitle(), Case.Title);
    }
}

TEST(ColumnLayout, TitleCellsSitSideBySideFromLeftOneAndClosUpWhenAColumnIsDeleted)
{
    TLaidOutGrid L({80, 220, 217});
    EXPECT_EQ(L.TitleLeft(0), 1);
    EXPECT_EQ(L.TitleLeft(1), 81);
    EXPECT_EQ(L.TitleLeft(2), 301);
    for (int Col = 0; Col < 3; ++Col) {
        TColumnItem* Column = L.Columns->GeTColumnItem(Col);
        for (int Row = 0; Row < 2; ++Row) {
            TGridCell* Cell = Column->GetDataCell(Row);
            EXPECT_EQ(Cell->Left(), Column->FTitleCell->Left()) << Col << "," << Row;
            EXPECT_EQ(Cell->Width(), Column->FTitleCell->Width()) << Col << "," << Row;
            EXPECT_EQ(Cell->Top(), Column->CalcNewDataCellTopPos(Row + 1));
            EXPECT_EQ(Cell->GetCol(), Col);
            EXPECT_EQ(Cell->GetRow(), Row);
        }
    }
    EXPECT_EQ(L.Columns->GeTColumnItem(0)->GetDataCell(0)->Top(), 27) << "under the title cell (1 + 26)";
    EXPECT_EQ(L.Columns->GeTColumnItem(0)->GetDataCell(1)->Top(), 53);

    L.Columns->Delete(1);
    ASSERT_EQ(L.Columns->GetCount(), 2);
    EXPECT_EQ(L.TitleLeft(1), 81) << "the third column closes the gap";
    EXPECT_EQ(L.Columns->GeTColumnItem(1)->GetDataCell(1)->Left(), 81);
    EXPECT_EQ(L.Columns->GeTColumnItem(1)->FTitleCell->GetCol(), 2) << "Col is not renumbered";
}

TEST(ColumnLayout, SettingOneColumnsWidthRepositionsTheCellsOfEveryColumn)
{
    TLaidOutGrid L({80, 100, 100});
    // Move the first column's cells out of place by hand: setting any width puts them back.
    L.Columns->GeTColumnItem(0)->FTitleCell->SetLeft(40);
    L.Columns->GeTColumnItem(2)->SetFWidth(90);
    EXPECT_EQ(L.TitleLeft(0), 1);
    EXPECT_EQ(L.Columns->GeTColumnItem(0)->GetDataCell(1)->Left(), 1);
    EXPECT_EQ(L.TitleLeft(2), 181);
    EXPECT_EQ(L.Columns->GeTColumnItem(2)->GetDataCell(0)->Width(), 90);
    L.Columns->GeTColumnItem(0)->SetFWidth(50);
    EXPECT_EQ(L.TitleLeft(1), 51);
    EXPECT_EQ(L.TitleLeft(2), 151);
}

TEST(ColumnLayout, FixingTheWidthFromATitleOnlyWidensAndStopsAtSixThousand)
{
    const struct {
        int Start, Asked, Expected;
    } Cases[] = {{64, 80, 80}, {64, 9000, 6000}, {64, 10, 64}, {7000, 10, 6000}};
    for (const auto& Case : Cases) {
        TLaidOutGrid L({Case.Start});
        TColumnItem* Column = L.Columns->GeTColumnItem(0);
        const int TitleWidth = Column->FTitleCell->Width();
        EXPECT_EQ(Column->ColumnTitleFixColumnWidth(Case.Asked), Case.Expected) << Case.Start << " " << Case.Asked;
        EXPECT_EQ(Column->GetColumnWidth(), Case.Expected);
        EXPECT_EQ(Column->FTitleCell->Width(), TitleWidth) << "the cells are not touched";
    }
}

TEST(ColumnLayout, AssigningAColumnCopiesItsTitleAndEditStyleOnly)
{
    TLaidOutGrid L({64, 64});
    TColumnItem* From = L.Columns->GeTColumnItem(0);
    TColumnItem* To = L.Columns->GeTColumnItem(1);
    From->SetFTitle("City");
    From->SetFEditStyle(CES_PickList);
    From->SetFWidth(120);
    From->SetFColumnColor(clRed);
    From->SetFUseColumnColor(true);
    From->SetFColumnAlign(CA_Right);
    From->SetFTitleAlign(TA_Center);
    From->SetDataField("City");
    From->GetFPickUpList()->Add("Paris");
    L.Columns->SeTColumnItem(1, From);
    EXPECT_EQ(To->GetTitle(), "City");
    EXPECT_EQ(To->GetEditStyle(), CES_PickList);
    EXPECT_EQ(To->GetColumnWidth(), 64);
    EXPECT_EQ(To->GetColumnColor(), TColor(0));
    EXPECT_FALSE(To->GetUseColumnColor());
    EXPECT_EQ(To->GetColumnAlign(), CA_Left);
    EXPECT_EQ(To->GetTitleAlign(), TA_Left);
    EXPECT_EQ(To->GetDataField(), "");
    EXPECT_EQ(To->GetFPickUpList()->Count(), 0);
    EXPECT_EQ(To->DisplayName(), "NewGrigColumn") << "the title went in without the setter";
    TStringList NotAColumn;
    EXPECT_THROW(To->Assign(&NotAColumn), EConvertError);
}

TEST(ColumnLayout, DataCellsAreFoundByRowAndColumnAndNothingAboveTheRange)
{
    TLaidOutGrid L({64, 64}, 3);
    EXPECT_EQ(L.Columns->GetDataCell(1, 2), L.Columns->GeTColumnItem(1)->GetDataCell(2));
    EXPECT_EQ(L.Columns->GetDataCell(1, 3), nullptr);
    EXPECT_EQ(L.Columns->GetDataCell(2, 0), nullptr);
    EXPECT_THROW(L.Columns->GeTColumnItem(0)->GetDataCell(-1), EStringListError);
    EXPECT_EQ(L.Grid->GetFRowCount(), 3);
}

}  // namespace

namespace {

TEST(ColumnLayout, ResettingTheScrollViewBringsTheFirstColumnBackToTheLeftEdgeAndAlwaysEnds)
{
    TLaidOutGrid L({300, 300, 300}, 10);
    L.Form->SetBounds(0, 0, 500, 300);
    L.Grid->SetBounds(0, 0, 400, 200);
    L.Form->Show();
    L.Grid->SetHorzScrollPos(250);
    L.Grid->SetVertScrollPos(100);
    TGridCell* First = L.Columns->GetDataCell(0, 0);
    ASSERT_LT(First->Left(), 1);
    L.Grid->ResetGridScrollView();
    EXPECT_EQ(First->Left(), 1);
    EXPECT_EQ(L.Grid->HorzScrollPos(), 0);
    EXPECT_GE(First->Top(), 0) << "row 0 is in view";

    // A first column right of its place needs no scrolling: the call ends at once.
    First->SetLeft(40);
    L.Grid->ResetGridScrollView();
    EXPECT_EQ(First->Left(), 40);
}

}  // namespace
