// Editing the grid in place with real key and mouse events, on the real server.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include "com/ComObj.h"
#include "components/grid/TColumnItem.h"
#include "components/navigator/TZopFileDBNavigator.h"
#include "framework/core/TStrings.h"
#include "framework/ui/TComboBox.h"
#include "framework/ui/TEdit.h"
#include "interface/ServerCall.h"
#include "tests/grid/GridTestSupport.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/UiTestSupport.h"

namespace {

const AnsiString ChangedByOther = "要修改的這筆資料已經被其他使用者修改過了!!\n\r準備更新目前最新資料!!";

class GridEditing : public TGridOnServer {
protected:
    void SetUp() override
    {
        TGridOnServer::SetUp();
        FillCustomers(25);
        OpenAndBind();
        ShowActive(Form.get());
    }
    // A click on the cell at (Col, Row), then the keys into whatever has the focus.
    QWidget* EditBox() const { return Grid->FCellEdit->LineEdit(); }
    void Key(Qt::Key K) { QTest::keyClick(QApplication::focusWidget(), K); }
    void Type(const char* Text) { QTest::keyClicks(QApplication::focusWidget(), Text); }
    AnsiString State() const { return AskText(Server(), &IFileDataSet::GetState); }
    AnsiString Field(const char* Name) const { return AskText(Server(), &IFileDataSet::GetFieldValue, OleVariant(Name)); }
    // Changes a record's Company through another session, as another user would.
    void ChangeCompanyElsewhere(int RecNo, const char* Company)
    {
        TComInterface<IFileDataSet> S = CoFileDataSet::Create();
        Check(S->SetSchemaFileName(OleVariant(DEMO_SCHEMA)));
        Check(S->SetAccessUser(OleVariant("1688")));
        Ask(S.get(), &IFileDataSet::Open);
        Check(S->MoveTo(OleVariant(RecNo)));
        Check(S->Edit());
        Check(S->SetFieldValue(OleVariant("Company"), OleVariant(Company)));
        Ask(S.get(), &IFileDataSet::Post);
        Check(S->Close());
    }
};

TEST_F(GridEditing, UpAndDownMoveTheRowAndShiftThePageAtItsEdgesButNotWhileInserting)
{
    ClickCell(0, 2);
    EXPECT_EQ(RecNo(), 3);
    Key(Qt::Key_Down);
    EXPECT_EQ(RecNo(), 4);
    EXPECT_EQ(SelectedRow(), 3);
    Key(Qt::Key_Up);
    Key(Qt::Key_Up);
    Key(Qt::Key_Up);
    EXPECT_EQ(RecNo(), 1);
    EXPECT_EQ(SelectedRow(), 0);

    // At row 0 Up moves back one record and the page shifts with it.
    Source->RefreshDBGridParamsWithNavigatorLastClick();  // as the navigator's Last does
    Check(Server()->Last());
    ClickCell(0, 0);
    ASSERT_EQ(RecNo(), 16);
    Key(Qt::Key_Up);
    EXPECT_EQ(RecNo(), 15);
    EXPECT_EQ(PageRecords().front(), 15);
    EXPECT_EQ(SelectedRow(), 0);
    // At row 9 Down moves on one record.
    ClickCell(0, 9);
    ASSERT_EQ(RecNo(), 24);
    Key(Qt::Key_Down);
    EXPECT_EQ(RecNo(), 25);
    EXPECT_EQ(PageRecords().back(), 25);
    EXPECT_EQ(SelectedRow(), 9);

    Check(Server()->Insert());  // the editor opens in the insert row
    ASSERT_EQ(Grid->EditorCell(), Cell(0, 0));
    const int Before = RecNo();
    Key(Qt::Key_Down);
    Key(Qt::Key_Up);
    EXPECT_EQ(RecNo(), Before);
    EXPECT_EQ(State(), "Insert");
}

TEST_F(GridEditing, TypingInBrowseStartsAnEditWithTheOldTextAndTheTypedCharacter)
{
    ClickCell(1, 2);
    Type("A");
    EXPECT_EQ(State(), "Edit");
    EXPECT_EQ(Grid->FCellEdit->Text(), "Company 3A");
    EXPECT_TRUE(Cell(1, 2)->GetIsModify());
    Type("B");
    EXPECT_EQ(Grid->FCellEdit->Text(), "Company 3AB") << "in Edit the characters go to the editor";
    Check(Server()->Cancel());

    // A blank typed first is kept like any other character, and so are the ones after it,
    // up to the stored record.
    ClickCell(1, 4);
    Type(" ");
    EXPECT_EQ(State(), "Edit") << "a blank starts an edit";
    EXPECT_EQ(Grid->FCellEdit->Text(), "Company 5 ");
    Type("Trading");
    EXPECT_EQ(Grid->FCellEdit->Text(), "Company 5 Trading");
    {
        TScriptedDialogs Dialogs;
        Dialogs.Answer(mrYes);
        Key(Qt::Key_Down);  // leaving the row asks whether to save: yes
    }
    EXPECT_EQ(State(), "Browse");
    EXPECT_EQ(Cell(1, 4)->GetAsString(), "Company 5 Trading");
    Check(Server()->MoveTo(OleVariant(5)));
    EXPECT_EQ(Field("Company"), "Company 5 Trading");

    // Backspace typed first starts the edit and adds nothing.
    ClickCell(1, 6);
    Key(Qt::Key_Backspace);
    EXPECT_EQ(State(), "Edit");
    EXPECT_EQ(Grid->FCellEdit->Text(), "Company 7");
}

TEST_F(GridEditing, AReadOnlyGridOrReadOnlyDataChangesNothing)
{
    Grid->SetFReadOnly(true);
    ClickCell(1, 2);
    Type("A");
    EXPECT_EQ(State(), "Browse");
    EXPECT_FALSE(Cell(1, 2)->GetIsModify());

    Grid->SetFReadOnly(false);
    DataSet->SetFActive(false);
    DataSet->SetFReadOnly(true);
    DataSet->SetFActive(true);
    ClickCell(1, 2);
    Type("A");
    EXPECT_EQ(State(), "Browse");
    EXPECT_FALSE(Cell(1, 2)->GetIsModify());
}

TEST_F(GridEditing, EnterWalksTheRowAndPostsAtItsEndInEdit)
{
    ClickCell(11, 1);  // Contact, record 2
    Type("Q");
    Key(Qt::Key_Return);
    EXPECT_EQ(State(), "Edit");
    EXPECT_EQ(Grid->EditorCell(), Cell(12, 1));
    Type("2026-12-07");
    Key(Qt::Key_Return);
    EXPECT_EQ(State(), "Browse") << "Enter on the last column posts";
    Check(Server()->MoveTo(OleVariant(2)));
    EXPECT_EQ(Field("Contact"), "Q");
    EXPECT_EQ(Field("LastInvoiceDate"), "2026-12-07");
    EXPECT_EQ(Grid->EditorCell(), Cell(0, 2)) << "and moves to column 0 of the next row";
}

TEST_F(GridEditing, EnterOnTheLastCellOfThePageInBrowseStartsANewPageAtRowZero)
{
    struct TPageEvents : TObject {
        int Pages = 0;
        void NewPage(TObject*) { ++Pages; }
    } Events;
    Grid->OnGridNewDataPage = TGridNewDataPageEvent(&Events, &TPageEvents::NewPage);
    ClickCell(12, 9);
    Key(Qt::Key_Return);
    EXPECT_EQ(Events.Pages, 1);
    EXPECT_EQ(SelectedRow(), 0);
    EXPECT_EQ(Grid->EditorCell(), Cell(0, 0));
    EXPECT_EQ(State(), "Browse");
}

TEST_F(GridEditing, AClickOnAnotherRowWhileEditingAsksToSaveAndTheSameRowAsksNothing)
{
    ClickCell(1, 2);
    Type("X");
    {
        TScriptedDialogs Dialogs;  // a click in the same row asks nothing
        ClickCell(5, 2);
        EXPECT_TRUE(Dialogs.Dialogs().empty());
    }
    ClickCell(1, 2);
    Type("Y");
    TScriptedDialogs Dialogs;
    Dialogs.Answer(mrYes).Answer(mrNo);
    ClickCell(1, 6);
    EXPECT_EQ(Dialogs.Texts(), (std::vector<AnsiString>{SaveQuestion}));
    EXPECT_EQ(State(), "Browse");
    Check(Server()->MoveTo(OleVariant(3)));
    EXPECT_EQ(Field("Company"), "Company 3XY") << "Yes posts what was typed";

    ClickCell(1, 4);
    Type("Z");
    ClickCell(1, 7);
    EXPECT_EQ(State(), "Browse");
    Check(Server()->MoveTo(OleVariant(5)));
    EXPECT_EQ(Field("Company"), "Company 5") << "No cancels";
}

TEST_F(GridEditing, HomeMovesOneColumnLeftAndDoesNothingOnColumnZero)
{
    ClickCell(2, 3);
    Key(Qt::Key_Home);
    EXPECT_EQ(Grid->EditorCell(), Cell(1, 3));
    ClickCell(0, 3);
    Key(Qt::Key_Home);
    EXPECT_EQ(Grid->EditorCell(), Cell(0, 3));
}

TEST_F(GridEditing, ARecordChangedByAnotherUserRefusesTypingAndTheRowShowsTheStoredValues)
{
    for (bool Filtered : {false, true}) {
        if (Filtered) {
            Check(Server()->SetFiltered(OleVariant(false)));
            Ask(Server(), &IFileDataSet::AddFilterCommand, OleVariant("all,CustNo,,,>=,1,"));
            Check(Server()->SetFiltered(OleVariant(true)));
        }
        ClickCell(1, 2);
        const char* NewName = Filtered ? "Changed while filtered" : "Changed elsewhere";
        ChangeCompanyElsewhere(3, NewName);
        TScriptedDialogs Dialogs;
        Dialogs.Answer(mrOk);
        Type("A");
        EXPECT_EQ(Dialogs.Texts(), (std::vector<AnsiString>{ChangedByOther})) << Filtered;
        EXPECT_EQ(State(), "Browse");
        EXPECT_FALSE(Cell(1, 2)->GetIsModify());
        EXPECT_EQ(ColumnTexts(1)[2], NewName) << "the row is read again, filtered " << Filtered;
    }
}

TEST_F(GridEditing, TheFirstCharacterTypedIntoAPickListCellReachesThePickList)
{
    TColumnItem* City = Grid->GetColumns()->GeTColumnItem(4);
    City->SetFEditStyle(CES_PickList);
    City->GetFPickUpList()->Add("Kaohsiung");
    City->GetFPickUpList()->Add("Taipei");
    ClickCell(4, 1);
    Type("T");
    EXPECT_EQ(State(), "Edit");
    EXPECT_EQ(Grid->FCellComboBox->Text(), "City 2T");
}

TEST_F(GridEditing, TwoGridsAndANavigatorOnOneDataSourceStayInStepThroughAnEdit)
{
    auto* Other = new TZopFileDBGrid(Form.get());
    Other->SetParent(Form.get());
    Other->SetTop(330);
    Other->SetFDataSource(Source);
    auto* Nav = new TZopFileDBNavigator(Form.get());
    Nav->SetParent(Form.get());
    Nav->SetTop(380);
    Nav->SetFDataSource(Source);

    ClickCell(1, 4);
    EXPECT_EQ(Other->FSelectedCell, Other->GetColumns()->GetDataCell(1, 4)) << "the other grid follows the selection";
    Type("W");
    EXPECT_TRUE(Nav->GetSaveEnabled());
    EXPECT_FALSE(Nav->GetNextEnabled());
    TScriptedDialogs Dialogs;
    Dialogs.Answer(mrYes);
    Key(Qt::Key_Down);
    EXPECT_EQ(State(), "Browse");
    EXPECT_EQ(RecNo(), 6);
    EXPECT_EQ(Other->FSelectedCell, Other->GetColumns()->GetDataCell(1, 5));
    EXPECT_EQ(Other->GetColumns()->GetDataCell(1, 4)->GetAsString(), "Company 5W") << "the other grid shows the post";
    EXPECT_TRUE(Nav->GetNextEnabled());
    EXPECT_FALSE(Nav->GetSaveEnabled());

    // A page shift in one grid shifts the other.
    ClickCell(1, 9);
    Key(Qt::Key_Down);
    EXPECT_EQ(RecNo(), 11);
    EXPECT_EQ(PageRecords().front(), 2);
    std::vector<int> OtherPage;
    for (int R = 0; R < Other->GetFRowCount(); ++R) OtherPage.push_back(Other->GetColumns()->GetDataCell(0, R)->FRecordPos);
    EXPECT_EQ(OtherPage, PageRecords());
    SaveScreenshot(Form.get(), "grid_two_grids_in_step");
}

}  // namespace
