#include <gtest/gtest.h>

#include <numeric>
#include <string>

#include "interface/ServerCall.h"
#include "tests/grid/GridTestSupport.h"

namespace {

// Records First, First + 1, ... Count of them.
std::vector<int> Records(int First, int Count)
{
    std::vector<int> R(static_cast<std::size_t>(Count));
    std::iota(R.begin(), R.end(), First);
    return R;
}

using GridPaging = TGridOnServer;

// Each number of records on a fresh form and table.
struct TRowsCase {
    int Records, Rows;
};

class GridPagingRows : public TGridOnServer, public ::testing::WithParamInterface<TRowsCase> {};

TEST_P(GridPagingRows, TheRowsFollowTheNumberOfRecordsUpToAPageOfTen)
{
    const TRowsCase& Case = GetParam();
    FillCustomers(Case.Records);
    OpenAndBind();
    EXPECT_EQ(Grid->GetColumns()->GetCount(), 13);
    EXPECT_EQ(Grid->GetFRowCount(), Case.Rows) << Case.Records << " records";
    EXPECT_EQ(PageRecords(), Records(1, Case.Rows));
    if (Case.Rows > 0) {
        EXPECT_EQ(ColumnTexts(0)[0], "1");
        EXPECT_EQ(ColumnTexts(1)[Case.Rows - 1], "Company " + IntToStr(Case.Rows));
    }
    EXPECT_EQ(RecNo(), Case.Records ? 1 : -1) << "the cursor is back where it was";
}

INSTANTIATE_TEST_SUITE_P(RecordCounts, GridPagingRows,
                         ::testing::Values(TRowsCase{25, 10}, TRowsCase{3, 3}, TRowsCase{0, 0}, TRowsCase{10, 10}),
                         [](const auto& Info) { return std::to_string(Info.param.Records) + "Records"; });

TEST_F(GridPaging, AFreshPageEndsAtTheCurrentRecord)
{
    FillCustomers(25);
    OpenAndBind();
    Check(Server()->MoveTo(OleVariant(15)));
    Grid->FTopDataPos = -1;
    Source->PostDisplayData();
    EXPECT_EQ(PageRecords(), Records(6, 10));
    EXPECT_EQ(ColumnTexts(0)[9], "15") << "record 15 in row 9";
    EXPECT_EQ(Grid->FTopDataPos, 6);
    EXPECT_EQ(RecNo(), 15);
    EXPECT_EQ(Grid->GetCurrentRecordInWhichRow(), 9);
}

enum TNavigatorButton { nbFirst, nbPrior, nbNext, nbLast };

// A navigator's move: the paging parameters first, then the server's move.
void Navigate(TZopFileDataSource* Source, IFileDataSet* Server, TNavigatorButton Button)
{
    switch (Button) {
    case nbFirst:
        Source->RefreshDBGridParamsWithNavigatorFirstClick();
        Check(Server->First());
        break;
    case nbPrior:
        Source->RefreshDBGridParamsWithNavigatorPriorClick();
        Check(Server->Prior());
        break;
    case nbNext:
        Source->RefreshDBGridParamsWithNavigatorNextClick();
        Check(Server->Next());
        break;
    case nbLast:
        Source->RefreshDBGridParamsWithNavigatorLastClick();
        Check(Server->Last());
        break;
    }
}

TEST_F(GridPaging, TheNavigatorKeepsThePageWithinItAndScrollsAtItsEdges)
{
    FillCustomers(25);
    OpenAndBind();
    const struct {
        const char* Name;
        TNavigatorButton Button;
        int Repeat;
        int FirstOnPage;  // the record in row 0 afterwards
        int SelectedRow;  // the row of the selection afterwards
    } Steps[] = {
        {"First", nbFirst, 1, 1, 0},
        {"Next to row 4", nbNext, 4, 1, 4},
        {"Next within the page", nbNext, 1, 1, 5},
        {"Next to row 9", nbNext, 4, 1, 9},
        {"Next from row 9", nbNext, 1, 2, 9},
        {"Last", nbLast, 1, 16, 9},
        {"Prior within the page", nbPrior, 9, 16, 0},
        {"Prior from row 0", nbPrior, 1, 6, 9},
    };
    for (const auto& Step : Steps) {
        for (int I = 0; I < Step.Repeat; ++I) Navigate(Source, Server(), Step.Button);
        EXPECT_EQ(PageRecords(), Records(Step.FirstOnPage, 10)) << Step.Name;
        EXPECT_EQ(SelectedRow(), Step.SelectedRow) << Step.Name;
        EXPECT_EQ(PageRecords()[static_cast<std::size_t>(SelectedRow())], RecNo()) << Step.Name;
    }
}

TEST_F(GridPaging, SavingAnEditKeepsThePageAndSavingAnInsertLaysItAroundTheNewRecord)
{
    FillCustomers(25, 10);
    OpenAndBind();
    Check(Server()->MoveTo(OleVariant(15)));
    Grid->FTopDataPos = 3;
    Source->PostDisplayData();
    ASSERT_EQ(PageRecords(), Records(3, 10));

    Check(Server()->Edit());
    Source->RefreshDBGridParamsWithNavigatorPostClick();
    EXPECT_EQ(Grid->FTopDataPos, 3) << "saving an edit keeps the page";
    Ask(Server(), &IFileDataSet::Post);
    EXPECT_EQ(PageRecords(), Records(3, 10));

    Check(Server()->Insert());
    EXPECT_EQ(PageRecords()[0], -1) << "row 0 is the insert row";
    Cell(0, 0)->SetAsString("5");  // the lowest key: the new record comes first
    Cell(1, 0)->SetAsString("New company");
    Source->RefreshDBGridParamsWithNavigatorPostClick();
    EXPECT_EQ(Grid->FTopDataPos, -1);
    Ask(Server(), &IFileDataSet::Post);
    EXPECT_EQ(AskText(Server(), &IFileDataSet::GetFieldValue, OleVariant("Company")), "New company");
    EXPECT_EQ(RecNo(), 1);
    EXPECT_EQ(PageRecords(), Records(1, 10)) << "as far as the records before it allow";
    EXPECT_EQ(SelectedRow(), 0);
    EXPECT_EQ(ColumnTexts(0)[0], "5");
}

TEST_F(GridPaging, TheInsertRowComesWithInsertAndGoesWithACancelledInsert)
{
    FillCustomers(3);
    OpenAndBind();
    ASSERT_EQ(Grid->GetFRowCount(), 3);
    Check(Server()->Insert());
    EXPECT_EQ(Grid->GetFRowCount(), 4);
    EXPECT_EQ(PageRecords(), (std::vector<int>{-1, 1, 2, 3}));
    EXPECT_EQ(ColumnTexts(0), (std::vector<AnsiString>{"", "1", "2", "3"}));
    EXPECT_EQ(Grid->FSelectedRow, 0);

    Check(Server()->Cancel());
    EXPECT_EQ(Grid->GetFRowCount(), 3);
    EXPECT_EQ(PageRecords(), Records(1, 3));
    EXPECT_EQ(ColumnTexts(0), (std::vector<AnsiString>{"1", "2", "3"}));

    // Ten records or more: the page keeps ten rows, the insert row and nine records.
    FillCustomers(10, 4);
    Navigate(Source, Server(), nbFirst);
    ASSERT_EQ(Grid->GetFRowCount(), 10);
    Check(Server()->Insert());
    EXPECT_EQ(Grid->GetFRowCount(), 10);
    EXPECT_EQ(PageRecords()[0], -1);
    EXPECT_EQ(PageRecords()[1], 1);
    EXPECT_EQ(PageRecords()[9], 9);
}

TEST_F(GridPaging, AReadOnlyGridGetsNoInsertRow)
{
    FillCustomers(3);
    OpenAndBind();
    Grid->SetFReadOnly(true);
    Grid->FSelectedRow = 2;
    Check(Server()->Insert());
    EXPECT_EQ(Grid->GetFRowCount(), 3);
    EXPECT_EQ(PageRecords(), Records(1, 3)) << "no page refresh while inserting";
    EXPECT_EQ(Grid->FSelectedRow, 2);
}

TEST_F(GridPaging, AFilteredFillNumbersTheRowsWithinTheFilteredView)
{
    FillCustomers(25);
    OpenAndBind();
    IFileDataSet* S = Server();
    Check(S->SetFiltered(OleVariant(false)));
    Check(S->ClearFilterCommand());
    Ask(S, &IFileDataSet::AddFilterCommand, OleVariant("from twenty,CustNo,0,0,>=,20,"));
    Check(S->SetFiltered(OleVariant(true)));
    ASSERT_EQ(AskInt(S, &IFileDataSet::GetRecordCount), 6);
    EXPECT_EQ(Grid->GetFRowCount(), 6);
    EXPECT_EQ(ColumnTexts(0), (std::vector<AnsiString>{"20", "21", "22", "23", "24", "25"}));
    for (int R = 0; R < 6; ++R) {
        EXPECT_EQ(Cell(0, R)->FRecordPos, -1) << R;
        EXPECT_EQ(Cell(0, R)->FFilterPos, R + 1) << R;
        EXPECT_EQ(Cell(12, R)->FFilterPos, R + 1) << "every column";
    }
    Source->ResetAllGridGridTopDataPos();
    EXPECT_EQ(Grid->FTopDataPos, -1) << "the next page refresh lays the page out again";
}

TEST_F(GridPaging, AGridThatDisabledRefreshKeepsItsPage)
{
    FillCustomers(25);
    OpenAndBind();
    Grid->DisableRefreshData();
    Navigate(Source, Server(), nbLast);
    EXPECT_EQ(PageRecords(), Records(1, 10));
}

TEST_F(GridPaging, ClosingTheDatasetEmptiesThePageAndDropsTheSelection)
{
    FillCustomers(25);
    OpenAndBind();
    Navigate(Source, Server(), nbNext);
    ASSERT_EQ(SelectedRow(), 1);
    DataSet->SetFActive(false);
    EXPECT_EQ(Grid->GetFRowCount(), 0);
    EXPECT_EQ(Grid->FSelectedCell, nullptr) << "no reference to a freed cell";
    EXPECT_EQ(Grid->GetColumns()->GetCount(), 13);
}

TEST_F(GridPaging, OtherGridsFollowTheCellSelectedInOne)
{
    FillCustomers(25);
    OpenAndBind();
    auto* Other = new TZopFileDBGrid(Form.get());
    Other->SetParent(Form.get());
    Other->SetFDataSource(Source);
    ASSERT_EQ(Other->GetFRowCount(), 10);
    Other->FSelectedCell = Other->GetColumns()->GetDataCell(0, 4);
    Grid->FTopDataPos = 1;
    Other->FTopDataPos = 1;
    Source->ResetDBGridSelectCell(Grid, 2, 5);
    EXPECT_EQ(Other->FSelectedCell, Other->GetColumns()->GetDataCell(2, 5)) << "a middle row: the page stays";
    EXPECT_EQ(Other->FTopDataPos, 1);
    EXPECT_EQ(Grid->FTopDataPos, 1) << "the source grid is left alone";

    Other->FSelectedCell = Other->GetColumns()->GetDataCell(0, 9);
    Source->ResetDBGridSelectCell(Grid, 0, 9);
    EXPECT_EQ(Other->FTopDataPos, -1);
    EXPECT_TRUE(Other->FGridMovesCursor);
    EXPECT_TRUE(Other->FPageDownPending);
    EXPECT_FALSE(Other->FPageUpPending);

    Other->FSelectedCell = nullptr;  // counts as row 0
    Source->ResetDBGridSelectCell(Grid, 40, 0);
    EXPECT_TRUE(Other->FPageUpPending);
    EXPECT_FALSE(Other->FPageDownPending);
    EXPECT_EQ(Other->FSelectedCell, nullptr) << "no such column in the other grid";

    Source->ResetAllGridGridTopDataPos();
    EXPECT_EQ(Other->FTopDataPos, Other->GetColumns()->GetDataCell(0, 0)->FRecordPos);
}

TEST_F(GridPaging, AGridWithoutColumnsIsSkippedByEveryOperation)
{
    FillCustomers(3);
    DataSet->SetFActive(true);
    auto* Empty = new TZopFileDBGrid(Form.get());
    Source->AddNewDBGrid(Empty);  // registered, never bound: no columns
    Empty->FTopDataPos = 7;
    Source->ResetAllGridGridTopDataPos();
    EXPECT_EQ(Empty->FTopDataPos, 7);
    Check(Server()->Insert());
    EXPECT_EQ(Empty->GetFRowCount(), 0);
    Check(Server()->Cancel());
    Source->PostDisplayData();
    Empty->ResetGridScrollView();
    EXPECT_EQ(Empty->GetCurrentRecordInWhichRow(), -1);
}

}  // namespace
