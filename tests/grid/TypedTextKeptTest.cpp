// Typed text is never dropped or overwritten without a word: a grid, a bound edit on one of
// its fields and a navigator on the real server, driven with real clicks and keys.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "components/grid/TColumnItem.h"
#include "components/navigator/TZopFileDBNavigator.h"
#include "framework/ui/TEdit.h"
#include "interface/ServerCall.h"
#include "tests/grid/GridFormOnServer.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/UiTestSupport.h"

namespace {

const AnsiString DeleteQuestion = "確定要刪除資料??";

using TypedTextKept = TGridFormOnServer;

TEST_F(TypedTextKept, TheValueTypedLastWinsBetweenAGridCellAndABoundEditOfTheSameField)
{
    const struct {
        const char* Order;  // g: type into the grid's Company cell, e: into the bound edit
        const char* Key;
        int Row;
        const char* Expected;
    } Cases[] = {
        {"g", "3", 2, "Company 3Z"},
        {"e", "4", 3, "Company 4Q"},
        {"ge", "5", 4, "Company 5Q"},
        {"eg", "6", 5, "Company 6Z"},
    };
    for (const auto& Case : Cases) {
        ClickCell(1, Case.Row);
        for (const char* Step = Case.Order; *Step; ++Step) {
            if (*Step == 'g') {
                ClickCell(1, Case.Row);
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_End);
                Type("Z");
            } else {
                ClickEdit();
                Type("Q");
            }
        }
        ASSERT_EQ(State(), "Edit") << Case.Order;
        ClickNav(Nav->FBtnSave);
        EXPECT_EQ(State(), "Browse") << Case.Order;
        EXPECT_EQ(Stored(Case.Key, "Company"), Case.Expected) << Case.Order;
    }
}

TEST_F(TypedTextKept, ARefusedPostKeepsTheRecordPendingAndTheNextPostCollectsTheCorrectedRow)
{
    for (bool ByEnter : {false, true}) {
        const char* Key = ByEnter ? "202" : "201";
        ClickNav(Nav->FBtnAdd);
        ASSERT_EQ(Grid->EditorCell(), Cell(0, 0));
        Type("20");  // CustNo 20 is stored already
        Press(Qt::Key_Return);
        Type(ByEnter ? "Enter Co" : "Post Co");
        {
            TScriptedDialogs Dialogs;
            Dialogs.Answer(mrOk);
            if (ByEnter) {
                while (Grid->EditorCell() != Cell(12, 0)) Press(Qt::Key_Return);
                Press(Qt::Key_Return);
            } else {
                ClickNav(Nav->FBtnSave);
            }
            ASSERT_EQ(Dialogs.Texts().size(), 1u) << "the refusal is shown";
        }
        EXPECT_EQ(State(), "Insert") << "the record stays pending";
        EXPECT_EQ(Count(), ByEnter ? 26 : 25);
        EXPECT_EQ(Grid->FSelectedRow, 0) << "the insert row is still the row to collect";

        // The key is corrected in the insert row and the record posted again.
        ClickCell(0, 0);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_End);
        Type(ByEnter ? "2" : "1");
        if (ByEnter) {
            while (Grid->EditorCell() != Cell(12, 0)) Press(Qt::Key_Return);
            Press(Qt::Key_Return);
        } else {
            ClickNav(Nav->FBtnSave);
        }
        EXPECT_EQ(State(), "Browse") << ByEnter;
        EXPECT_EQ(Count(), ByEnter ? 27 : 26);
        EXPECT_EQ(Stored(Key, "Company"), ByEnter ? "Enter Co" : "Post Co");
        EXPECT_EQ(Stored("20", "Company"), "Company 20") << "the record whose key was taken is untouched";
    }
}

TEST_F(TypedTextKept, AClickInTheRowBeingInsertedOrEditedKeepsWhatWasTyped)
{
    // Inserting: the editor moves along the insert row and back; nothing is asked or lost.
    ClickCell(0, 3);
    ClickNav(Nav->FBtnAdd);
    TScriptedDialogs Dialogs;  // no dialog is expected
    Type("35");
    ClickCell(1, 0);
    Type("Acme");
    ClickCell(0, 0);
    EXPECT_EQ(Grid->FCellEdit->Text(), "35");
    ClickNav(Nav->FBtnSave);
    EXPECT_EQ(Stored("35", "Company"), "Acme");

    // Editing: Enter moves the editor on; a click on the row's first cell takes it back, and
    // the text typed in the second cell stays.
    ClickCell(1, 2);
    const AnsiString Key = Cell(0, 2)->GetAsString();
    Type("X");
    Press(Qt::Key_Return);
    ASSERT_EQ(Grid->EditorCell(), Cell(2, 2));
    Type("Y");
    ClickCell(1, 2);
    EXPECT_EQ(Cell(2, 2)->GetAsString(), "Y");
    ClickCell(3, 2);
    Type("Z");
    Press(Qt::Key_Home);  // Home moves one column left in the row: no loss either
    ClickNav(Nav->FBtnSave);
    EXPECT_EQ(Stored(Key.c_str(), "Company"), "Company " + Key + "X");
    EXPECT_EQ(Stored(Key.c_str(), "Addr1"), "Y");
    EXPECT_EQ(Stored(Key.c_str(), "Addr2"), "Z");
    EXPECT_TRUE(Dialogs.Dialogs().empty());

    // Where no editor is shown, a click on the current row still opens one in the clicked cell.
    Grid->FCellEdit->Hide();
    ClickCell(5, Grid->FSelectedCell->GetRow());
    EXPECT_EQ(Grid->EditorCell(), Cell(5, Grid->FSelectedCell->GetRow()));
}

TEST_F(TypedTextKept, AClickThatLeavesARowHoldingTypedTextAsksWhetherToSaveIt)
{
    // With no row selected yet: Add, type a key, click another row.
    Grid->FSelectedCell = nullptr;
    for (TModalResult Answer : {mrYes, mrNo}) {
        const char* Key = Answer == mrYes ? "35" : "36";
        ClickNav(Nav->FBtnAdd);
        Type(Key);
        TScriptedDialogs Dialogs;
        Dialogs.Answer(Answer);
        ClickCell(1, 4);
        EXPECT_EQ(Dialogs.Texts(), (std::vector<AnsiString>{SaveQuestion})) << Key;
        EXPECT_EQ(State(), "Browse");
        EXPECT_EQ(Count(), 26) << "Yes posts, No cancels";
        EXPECT_EQ(Stored(Key, "CustNo"), Answer == mrYes ? AnsiString(Key) : AnsiString("(no such record)"));
    }
    // Editing a record: a click on another row asks too.
    ClickCell(1, 2);
    const AnsiString Key = Cell(0, 2)->GetAsString();
    Type("W");
    TScriptedDialogs Dialogs;
    Dialogs.Answer(mrYes);
    ClickCell(1, 7);
    EXPECT_EQ(Dialogs.Texts(), (std::vector<AnsiString>{SaveQuestion}));
    EXPECT_EQ(Stored(Key.c_str(), "Company"), "Company " + Key + "W");
}

TEST_F(TypedTextKept, ADeleteAnsweredNoChangesNothing)
{
    ClickNav(Nav->FBtnLast);
    ClickCell(0, 5);
    const std::vector<int> Page = PageRecords();
    ASSERT_EQ(Page.front(), 16);
    {
        TScriptedDialogs Dialogs;
        Dialogs.Answer(mrNo);
        ClickNav(Nav->FBtnDelete);
        EXPECT_EQ(Dialogs.Texts(), (std::vector<AnsiString>{DeleteQuestion}));
    }
    EXPECT_EQ(Count(), 25);
    ClickNav(Nav->FBtnNext);
    EXPECT_EQ(PageRecords(), Page) << "the page stays where it was";
    EXPECT_EQ(SelectedRow(), 6);

    TScriptedDialogs Dialogs;
    Dialogs.Answer(mrYes);
    ClickNav(Nav->FBtnDelete);
    EXPECT_EQ(Count(), 24);
    EXPECT_EQ(AskText(Server(), &IFileDataSet::GetFieldValue, OleVariant("CustNo")), Cell(0, SelectedRow())->GetAsString())
        << "a confirmed deletion selects the record that follows";
}

}  // namespace
