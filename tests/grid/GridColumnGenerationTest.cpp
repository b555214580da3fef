#include <gtest/gtest.h>

#include "framework/ui/TCanvas.h"
#include "interface/ServerCall.h"
#include "tests/grid/GridTestSupport.h"
#include "tests/support/TempDir.h"

namespace {

using GridColumnGeneration = TGridOnServer;

// The demo schema's fields with their sizes and key flags.
const struct {
    const char* Name;
    int Size;
    bool Key;
} DemoFields[] = {
    {"CustNo", 8, true},   {"Company", 40, false},      {"Addr1", 40, false},  {"Addr2", 40, false},
    {"City", 30, false},   {"State", 20, false},        {"Zip", 10, false},    {"Country", 30, false},
    {"Phone", 20, false},  {"FAX", 20, false},          {"TaxRate", 8, false}, {"Contact", 30, false},
    {"LastInvoiceDate", 30, false},
};

TEST_F(GridColumnGeneration, AClosedDatasetWithAFileAndUserIsOpenedForItsFieldsAndClosedAgain)
{
    TempDir Dir;
    DataSet->SetFAccessFileName(Dir.File("customers.db"));
    Grid->SetFDataSource(Source);
    EXPECT_FALSE(AskBool(Server(), &IFileDataSet::GetActive)) << "closed again";
    EXPECT_FALSE(DataSet->GetActive());
    EXPECT_EQ(Grid->GetFRowCount(), 0) << "titles without data rows";
    ASSERT_EQ(Grid->GetColumns()->GetCount(), 13);
    TCanvas* Canvas = Grid->GetColumns()->GeTColumnItem(0)->FTitleCell->Canvas();
    const int LetterWidth = Canvas->TextWidth("A");
    for (int I = 0; I < 13; ++I) {
        TColumnItem* Column = Grid->GetColumns()->GeTColumnItem(I);
        const auto& Field = DemoFields[I];
        EXPECT_EQ(Column->GetTitle(), Field.Name);
        EXPECT_EQ(Column->GetDataField(), Field.Name);
        EXPECT_EQ(Column->GetUseColumnColor(), Field.Key) << Field.Name;
        if (Field.Key) {
            EXPECT_EQ(Column->GetColumnColor(), TColor(0x78E7D9));
        }
        const int TitleWidth = Canvas->TextWidth(Field.Name);
        const int FieldWidth = LetterWidth * Field.Size;
        const int Expected = TitleWidth > FieldWidth ? TitleWidth + 8 : FieldWidth;
        EXPECT_EQ(Column->FTitleCell->Width(), Expected) << Field.Name;
        EXPECT_EQ(Column->GetColumnWidth(), std::max(64, Expected)) << Field.Name;
        if (I > 0) {
            TGridCell* Before = Grid->GetColumns()->GeTColumnItem(I - 1)->FTitleCell;
            EXPECT_EQ(Column->FTitleCell->Left(), Before->Left() + Before->Width()) << "side by side";
        }
    }
    // Asking for a name lays the columns out at their stored widths.
    TColumnItem* Key = Grid->GetColumns()->GeTColumnItem(0);
    EXPECT_EQ(Key->DisplayName(), "[ CustNo ]");
    EXPECT_EQ(Key->FTitleCell->Width(), Key->GetColumnWidth());
    EXPECT_EQ(Grid->GetColumns()->GeTColumnItem(1)->FTitleCell->Left(), 1 + Key->GetColumnWidth());
}

TEST_F(GridColumnGeneration, AKeyFieldTakesTheGridsKeyColourAndExistingColumnsStay)
{
    FillCustomers(12);
    Grid->SetFKeyFieldColor(clAqua);
    OpenAndBind();
    EXPECT_EQ(Grid->GetColumns()->GeTColumnItem(0)->GetColumnColor(), clAqua);
    EXPECT_EQ(Grid->GetFRowCount(), 10);

    // A grid with columns of its own keeps them.
    auto* Own = new TZopFileDBGrid(Form.get());
    Own->SetParent(Form.get());
    TColumnItem* Column = Own->GetColumns()->Add();
    Column->SetFTitle("Name");
    Column->SetDataField("Company");
    Own->SetFDataSource(Source);
    ASSERT_EQ(Own->GetColumns()->GetCount(), 1);
    EXPECT_EQ(Own->GetFRowCount(), 10);
    EXPECT_EQ(Own->GetColumns()->GetDataCell(0, 0)->GetAsString(), "Company 1");
    EXPECT_EQ(Own->ColumnByTitle("Name"), Column);
    EXPECT_EQ(Own->ColumnByTitle("name"), nullptr);
}

TEST_F(GridColumnGeneration, ADatasetThatCannotOpenLeavesTheGridWithoutColumnsAndSaysNothing)
{
    DataSet->SetFAccessUserName("nobody");  // not a user of the schema: Open fails
    TempDir Dir;
    DataSet->SetFAccessFileName(Dir.File("customers.db"));
    Grid->SetFDataSource(Source);
    EXPECT_EQ(Grid->GetColumns()->GetCount(), 0);
    EXPECT_FALSE(Grid->FRefreshing);
    // The grid is registered all the same: opening later builds the columns.
    DataSet->SetFAccessUserName("1688");
    DataSet->SetFActive(true);
    EXPECT_EQ(Grid->GetColumns()->GetCount(), 13);
}

TEST_F(GridColumnGeneration, RowCountsAreKeptWhenUnchangedAndClearedWhenChanged)
{
    FillCustomers(12);
    OpenAndBind();
    Grid->SetFRowCount(10);
    EXPECT_EQ(Grid->GetColumns()->GetDataCell(1, 3)->GetAsString(), "Company 4") << "same count: nothing cleared";
    Grid->SetFRowCount(7);
    EXPECT_EQ(Grid->GetFRowCount(), 7);
    EXPECT_EQ(Grid->FRowCount, 7);
    for (int R = 0; R < 7; ++R) {
        EXPECT_EQ(Grid->GetColumns()->GetDataCell(1, R)->GetAsString(), "") << R;
        EXPECT_EQ(Grid->GetColumns()->GetDataCell(1, R)->FRecordPos, -1) << R;
    }
}

}  // namespace
