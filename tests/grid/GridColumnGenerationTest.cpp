#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>

#include <cstdlib>

#include "framework/ui/TCanvas.h"
#include "interface/ServerCall.h"
#include "tests/grid/GridTestSupport.h"
#include "tests/support/TempDir.h"
#include "tests/support/UiTestSupport.h"

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
        const bool Number = Column->GetDataField() == "CustNo" || Column->GetDataField() == "TaxRate";
        EXPECT_EQ(Column->GetColumnAlign(), Number ? CA_Right : CA_Left) << Field.Name << ": numbers right-aligned";
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

TEST_F(GridColumnGeneration, AmountsAreShownWithTheirDecimalsOnTheRightOfTheirColumn)
{
    TempDir Dir;
    DataSet->setFSchemaFileName(Dir.WriteFile("orders.SFD", "[Table]\nName = Orders\n[Fields]\nNote, Text, 12\n"
                                                            "Amount, Decimal(2), 12\nOrdered, Date\n"));
    DataSet->SetFActive(true);
    for (const char* Amount : {"1250", "199.9"}) {
        Check(Server()->Insert());
        Check(Server()->SetFieldValue(OleVariant("Amount"), OleVariant(Amount)));
        Check(Server()->SetFieldValue(OleVariant("Ordered"), OleVariant("2024-03-31")));
        Ask(Server(), &IFileDataSet::Post);
    }
    Check(Server()->First());
    Grid->SetFDataSource(Source);
    ASSERT_EQ(Grid->GetColumns()->GetCount(), 3);
    EXPECT_EQ(Grid->GetColumns()->GeTColumnItem(0)->GetColumnAlign(), CA_Left);
    EXPECT_EQ(Grid->GetColumns()->GeTColumnItem(1)->GetColumnAlign(), CA_Right);
    EXPECT_EQ(Grid->GetColumns()->GeTColumnItem(2)->GetColumnAlign(), CA_Left) << "dates read left to right";
    EXPECT_EQ(ColumnTexts(1), (std::vector<AnsiString>{"1250.00", "199.90"}));

    // Drawn on the right: the amounts' last digits end at one place, near the cell's edge.
    Form->Show();
    const QImage Image = GrabControl(Grid);
    SaveScreenshot(Grid, "grid_amounts_right_aligned");
    std::vector<int> Ends;
    for (int Row = 0; Row < 2; ++Row) {
        TGridCell* Amount = Cell(1, Row);
        const QPoint Origin = Amount->Widget()->mapTo(Grid->Widget(), QPoint(0, 0));
        int LastInk = -1;
        for (int X = 0; X < Amount->Width(); ++X)
            for (int Y = 2; Y < Amount->Height() - 2; ++Y)
                if (qGray(Image.pixel(Origin.x() + X, Origin.y() + Y)) < 100) LastInk = X;
        Ends.push_back(LastInk);
        EXPECT_GT(LastInk, Amount->Width() - 8) << "row " << Row << " ends near the right edge";
    }
    EXPECT_LE(std::abs(Ends[0] - Ends[1]), 1) << "both amounts end at the same place";
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
