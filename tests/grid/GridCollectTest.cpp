#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>

#include <memory>

#include "components/UZopFileDataSet.h"
#include "framework/ui/TEdit.h"
#include "framework/ui/TForm.h"
#include "interface/ServerCall.h"
#include "tests/grid/GridTestSupport.h"
#include "tests/support/RecordingFileDataSet.h"
#include "tests/support/UiTestSupport.h"

namespace {

// A grid of three columns (CustNo, Company, City) and three rows, bound to a dataset whose
// server is a recording double.
class GridCollect : public ::testing::Test {
protected:
    void SetUp() override
    {
        DataSet = new TZopFileDataSet(Form.get());
        Server = Servers.Last();
        Source = new TZopFileDataSource(Form.get());
        Source->SetFDataSet(DataSet);
        Grid = MakeGrid(new TZopFileDBGrid(Form.get()));
        Server->KeyFields = {"CustNo"};
    }
    TZopFileDBGrid* MakeGrid(TZopFileDBGrid* G)
    {
        G->SetParent(Form.get());
        for (const char* Field : {"CustNo", "Company", "City"}) G->GetColumns()->Add()->SetDataField(Field);
        G->SetFRowCount(3);
        G->SetFDataSource(Source);
        return G;
    }
    void SetRow(TZopFileDBGrid* G, int Row, std::initializer_list<const char*> Texts, std::initializer_list<bool> Modified)
    {
        int Col = 0;
        for (const char* Text : Texts) G->GetColumns()->GetDataCell(Col++, Row)->SetAsString(Text);
        Col = 0;
        for (bool M : Modified) G->GetColumns()->GetDataCell(Col++, Row)->SetFIsModify(M);
    }

    TRecordingServerClass Servers;
    std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
    TZopFileDataSet* DataSet = nullptr;       // not owned: the form owns it
    TRecordingFileDataSet* Server = nullptr;  // not owned: Servers keeps it
    TZopFileDataSource* Source = nullptr;     // not owned: the form owns it
    TZopFileDBGrid* Grid = nullptr;           // not owned: the form owns it
};

TEST_F(GridCollect, OnInsertTheSelectedRowsNonBlankCellsAreWrittenKeyFieldsIncluded)
{
    SetRow(Grid, 0, {"1", "Other", "Elsewhere"}, {false, false, false});
    SetRow(Grid, 1, {"7", "   ", "Paris"}, {false, false, false});
    Grid->FSelectedRow = 1;
    Server->Answer("GetState", OleVariant("Insert"));
    Server->ClearCalls();
    DataSet->DoInitDataControlData();
    EXPECT_EQ(Server->CallsOf("SetFieldValue"),
              (std::vector<AnsiString>{"SetFieldValue(CustNo, 7)", "SetFieldValue(City, Paris)"}));
    EXPECT_EQ(Grid->FSelectedRow, 1) << "the row stays the one to collect until the post is through";
}

TEST_F(GridCollect, OnEditOnlyModifiedNonKeyCellsAreWrittenBlanksIncluded)
{
    SetRow(Grid, 2, {"7", "", "Paris"}, {true, true, false});
    Grid->FSelectedRow = 2;
    Server->Answer("GetState", OleVariant("Edit"));
    Server->ClearCalls();
    DataSet->DoInitDataControlData();
    EXPECT_EQ(Server->CallsOf("SetFieldValue"), (std::vector<AnsiString>{"SetFieldValue(Company, )"}));
    EXPECT_EQ(Server->CallsOf("IsKeyField"),
              (std::vector<AnsiString>{"IsKeyField(CustNo)", "IsKeyField(Company)"}))
        << "asked for modified cells only";
    EXPECT_EQ(Grid->FSelectedRow, 2);
    // Once the record is stored (the state is "Browse" again) no row waits to be collected.
    Server->Answer("GetState", OleVariant("Browse"));
    Server->OnAfterDBStateChange();
    EXPECT_EQ(Grid->FSelectedRow, -1);
}

TEST_F(GridCollect, AReadOnlyGridAGridWithoutASelectedRowAndASubclassAreLeftAlone)
{
    struct TMyGrid : TZopFileDBGrid {
        using TZopFileDBGrid::TZopFileDBGrid;
    };
    TZopFileDBGrid* Derived = MakeGrid(new TMyGrid(Form.get()));
    SetRow(Derived, 0, {"8", "Derived", "Rome"}, {true, true, true});
    Derived->FSelectedRow = 0;
    SetRow(Grid, 0, {"7", "Company", "Paris"}, {true, true, true});
    for (const char* State : {"Insert", "Edit"}) {
        Server->Answer("GetState", OleVariant(State));
        Grid->SetFReadOnly(true);
        Grid->FSelectedRow = 0;
        DataSet->DoInitDataControlData();
        EXPECT_EQ(Grid->FSelectedRow, 0) << State << ": a read-only grid keeps its row";
        Grid->SetFReadOnly(false);
        Grid->FSelectedRow = -1;
        DataSet->DoInitDataControlData();
        EXPECT_EQ(Derived->FSelectedRow, 0) << "a subclass of the grid is not collected";
    }
    EXPECT_TRUE(Server->CallsOf("SetFieldValue").empty());
}

TEST_F(GridCollect, TextTypedIntoTheEditorIsTakenIntoItsCellBeforeTheRowIsWritten)
{
    ShowActive(Form.get());
    for (const char* State : {"Insert", "Edit"}) {
        Server->Answer("GetState", OleVariant(State));
        SetRow(Grid, 1, {"7", "Old", "Paris"}, {false, false, false});
        TGridCell* Company = Grid->GetColumns()->GetDataCell(1, 1);
        Company->DataCellSetFocus(false);
        ProcessEvents();
        ASSERT_EQ(Grid->FCellEdit->Parent(), Company);
        QTest::keyClicks(Grid->FCellEdit->LineEdit(), " and New");
        Server->ClearCalls();
        DataSet->DoInitDataControlData();  // a post from the navigator: no Enter was pressed
        const std::vector<AnsiString> Insert{"SetFieldValue(CustNo, 7)", "SetFieldValue(Company, Old and New)",
                                             "SetFieldValue(City, Paris)"};
        const std::vector<AnsiString> Edit{"SetFieldValue(Company, Old and New)"};
        EXPECT_EQ(Server->CallsOf("SetFieldValue"), AnsiString(State) == "Insert" ? Insert : Edit) << State;
        EXPECT_EQ(Company->GetAsString(), "Old and New");
        EXPECT_TRUE(Company->GetIsModify());
        Company->SetFIsModify(false);
    }
}

}  // namespace
