// The grid shows where the user is: the cell being edited is in view and marked, the focus
// comes back after a navigator click, the highlighted row, the bound edits and the cursor
// agree, and the keys and the wheel a user expects move through the records. A grid, a
// bound edit and a navigator on the real server, driven with real clicks, keys and wheel turns.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QSpontaneKeyEvent>
#include <QTest>
#include <QWheelEvent>

#include "components/grid/TColumnItem.h"
#include "framework/ui/TButton.h"
#include "framework/ui/TEdit.h"
#include "interface/ServerCall.h"
#include "tests/grid/GridFormOnServer.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/UiTestSupport.h"

namespace {

class WhereTheUserIs : public TGridFormOnServer {
protected:
    // True when the cell lies wholly inside the grid's visible area.
    bool InView(const TGridCell* C) const
    {
        return C->Left() >= 0 && C->Left() + C->Width() <= Grid->ClientWidth() && C->Top() >= 0 &&
               C->Top() + C->Height() <= Grid->ClientHeight();
    }
    // Turns the wheel over the cell at (Col, Row) by Notches (negative: towards the user).
    void Wheel(int Col, int Row, int Notches)
    {
        QWidget* W = Cell(Col, Row)->Widget();
        const QPointF At(5, 5);
        QWheelEvent Event(At, W->mapToGlobal(At), QPoint(), QPoint(0, 120 * Notches), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        // As from the window system: a wheel turn that the cell leaves travels to its parents.
        QSpontaneKeyEvent::setSpontaneous(&Event);
        QApplication::instance()->notify(W, &Event);
    }
    // The cursor's record is on the page, its row is the highlighted one, and the bound edit
    // shows its Company.
    void ExpectAgreement(const char* When) const
    {
        const int Which = Grid->GetCurrentRecordInWhichRow();
        EXPECT_GE(Which, 0) << When << ": the current record is on the page";
        EXPECT_EQ(SelectedRow(), Which) << When << ": and it is the highlighted row";
        EXPECT_EQ(CompanyEdit->Text(), Field("Company")) << When << ": the bound edit shows it";
    }
    QWidget* Focus() const { return QApplication::focusWidget(); }
};

TEST_F(WhereTheUserIs, TheGridScrollsToKeepTheCellBeingEditedInView)
{
    Grid->SetWidth(471);  // as on the demo form: columns 3 to 12 lie right of the visible area
    ClickNav(Nav->FBtnAdd);
    Type("4711");
    for (int Col = 1; Col <= 12; ++Col) {
        Press(Qt::Key_Return);
        ASSERT_EQ(Grid->EditorCell(), Cell(Col, 0));
        EXPECT_TRUE(InView(Cell(Col, 0))) << "column " << Col << " of the insert row";
        if (Col == 8) SaveScreenshot(Form.get(), "grid_insert_row_scrolled");
        Type("x");
    }
    ClickNav(Nav->FBtnCancel);
    // A click on a cell that reaches past the right edge brings it whole into view.
    Grid->SetHorzScrollPos(0);
    ClickCell(2, 4);
    EXPECT_TRUE(InView(Cell(2, 4)));
}

TEST_F(WhereTheUserIs, AfterANavigatorClickTheFocusReturnsToWhereTheUserWasTypingOrStaysOnTheNavigator)
{
    // Typing in the grid, then Post: the editor is back in the same column of the row.
    ClickCell(1, 2);
    Type("A");
    ClickNav(Nav->FBtnSave);
    EXPECT_EQ(Grid->EditorCell(), Cell(1, 2));
    EXPECT_EQ(Focus(), Grid->FCellEdit->LineEdit());
    // Next: the editor follows the new current row.
    ClickNav(Nav->FBtnNext);
    EXPECT_EQ(Grid->EditorCell(), Cell(1, 3));
    EXPECT_EQ(Focus(), Grid->FCellEdit->LineEdit());

    // Typing in the bound edit, then Post: the edit keeps the focus.
    ClickEdit();
    Type("B");
    ClickNav(Nav->FBtnSave);
    EXPECT_EQ(Focus(), CompanyEdit->LineEdit());

    // Typing nowhere (the focus on an unrelated button): the focus stays on the navigator,
    // so that Space presses a navigator button, never the unrelated one.
    int OtherClicks = 0;
    struct TCounter : TObject {
        int* Count;
        void Clicked(TObject*) { ++*Count; }
    } Counter;
    Counter.Count = &OtherClicks;
    Other->OnClick = TNotifyEvent(&Counter, &TCounter::Clicked);
    QTest::mouseClick(static_cast<QPushButton*>(Other->Widget()), Qt::LeftButton);
    ASSERT_EQ(OtherClicks, 1);
    const int Before = RecNo();
    ClickNav(Nav->FBtnNext);
    EXPECT_EQ(Focus(), Nav->FBtnNext->Widget());
    Press(Qt::Key_Space);
    EXPECT_EQ(OtherClicks, 1);
    EXPECT_EQ(RecNo(), Before + 2) << "Space pressed Next again";
    // A button that the click disables (Post) leaves the focus on the bar itself: Space
    // then does nothing at all.
    Check(Server()->Edit());
    ClickNav(Nav->FBtnSave);
    EXPECT_EQ(Focus(), Nav->Widget());
    EXPECT_EQ(GrabControl(Nav).pixelColor(1, Nav->Height() / 2), QColor(0x00, 0x64, 0xD2)) << "the bar is framed";
    Press(Qt::Key_Space);
    EXPECT_EQ(OtherClicks, 1);
    EXPECT_EQ(RecNo(), Before + 2);
    SaveScreenshot(Form.get(), "navigator_focus_after_post");
}

TEST_F(WhereTheUserIs, TheHighlightedRowTheBoundEditsAndTheCursorAgree)
{
    ClickCell(0, 3);
    ExpectAgreement("after a click");
    ClickNav(Nav->FBtnAdd);
    EXPECT_EQ(SelectedRow(), 0) << "while inserting, the insert row is the highlighted one";
    EXPECT_EQ(CompanyEdit->Text(), "");
    ClickNav(Nav->FBtnCancel);
    ExpectAgreement("after a cancelled insert");

    Check(Server()->SetFiltered(OleVariant(false)));
    Ask(Server(), &IFileDataSet::AddFilterCommand, OleVariant("from 12,CustNo,,,>=,12,"));
    Check(Server()->SetFiltered(OleVariant(true)));
    ExpectAgreement("after a filter");
    Check(Server()->SetFiltered(OleVariant(false)));
    ExpectAgreement("after the filter was switched off");

    // A new record posted with Enter at the end of the insert row is on the page, highlighted.
    ClickNav(Nav->FBtnFirst);
    ClickNav(Nav->FBtnAdd);
    Type("30");
    Press(Qt::Key_Return);
    Type("Posted by Enter");
    while (Grid->EditorCell() != Cell(12, 0)) Press(Qt::Key_Return);
    Press(Qt::Key_Return);
    EXPECT_EQ(State(), "Browse");
    EXPECT_EQ(Field("CustNo"), "30");
    ExpectAgreement("after a post with Enter in the insert row");
    EXPECT_EQ(Grid->EditorCell(), Cell(0, SelectedRow())) << "the editor is in the new record's row";
    SaveScreenshot(Form.get(), "grid_posted_by_enter");

    // Enter at the end of an edited row goes on to the next row, and so do the record and
    // the bound edit.
    ClickCell(12, 4);
    Type("z");
    Press(Qt::Key_Return);
    EXPECT_EQ(Grid->EditorCell(), Cell(0, 5));
    ExpectAgreement("after a post with Enter in an edited row");
}

TEST_F(WhereTheUserIs, EscCancelsTheEditInAGridCellOrABoundEdit)
{
    ClickCell(1, 2);
    Type("Q");
    Press(Qt::Key_Escape);
    EXPECT_EQ(State(), "Browse");
    EXPECT_EQ(Cell(1, 2)->GetAsString(), "Company 3");
    EXPECT_EQ(Grid->EditorCell(), Cell(1, 2)) << "the keyboard stays in the grid";
    EXPECT_EQ(Grid->FCellEdit->Text(), "Company 3");

    ClickNav(Nav->FBtnAdd);
    Type("77");
    Press(Qt::Key_Escape);
    EXPECT_EQ(State(), "Browse");
    EXPECT_EQ(Count(), 25);
    EXPECT_EQ(Grid->GetFRowCount(), 10) << "the insert row went";

    ClickEdit();
    Type("Q");
    ASSERT_EQ(State(), "Edit");
    Press(Qt::Key_Escape);
    EXPECT_EQ(State(), "Browse");
    EXPECT_EQ(CompanyEdit->Text(), Field("Company"));
    EXPECT_EQ(Focus(), CompanyEdit->LineEdit());
}

TEST_F(WhereTheUserIs, PageKeysCtrlHomeCtrlEndAndTheWheelMoveThroughTheRecords)
{
    ClickCell(1, 3);
    ASSERT_EQ(RecNo(), 4);
    const struct {
        Qt::Key Key;
        Qt::KeyboardModifiers Modifiers;
        int Record;   // the current record afterwards
        int Top;      // the record in row 0
    } Steps[] = {
        {Qt::Key_PageDown, Qt::NoModifier, 14, 11}, {Qt::Key_PageDown, Qt::NoModifier, 24, 16},
        {Qt::Key_PageDown, Qt::NoModifier, 25, 16}, {Qt::Key_PageUp, Qt::NoModifier, 15, 6},
        {Qt::Key_Home, Qt::ControlModifier, 1, 1},  {Qt::Key_End, Qt::ControlModifier, 25, 16},
        {Qt::Key_PageUp, Qt::NoModifier, 15, 6},    {Qt::Key_PageUp, Qt::NoModifier, 5, 1},
    };
    for (const auto& Step : Steps) {
        Press(Step.Key, Step.Modifiers);
        EXPECT_EQ(RecNo(), Step.Record) << Step.Key;
        EXPECT_EQ(PageRecords().front(), Step.Top) << Step.Key;
        ExpectAgreement("after a paging key");
        EXPECT_EQ(Grid->EditorCell()->GetCol(), 1) << "the editor keeps its column";
    }

    // The wheel moves one record per notch, from the highlighted row.
    Wheel(3, 0, -3);
    EXPECT_EQ(RecNo(), 8);
    Wheel(3, 0, 1);
    EXPECT_EQ(RecNo(), 7);
    ExpectAgreement("after the wheel");

    // Leaving an edited record by a paging key asks first, as the arrow keys do.
    ClickCell(1, Grid->FSelectedCell->GetRow());
    Type("P");
    TScriptedDialogs Dialogs;
    Dialogs.Answer(mrYes);
    Press(Qt::Key_PageDown);
    EXPECT_EQ(Dialogs.Texts(), (std::vector<AnsiString>{SaveQuestion}));
    EXPECT_EQ(Stored("7", "Company"), "Company 7P");
    EXPECT_EQ(RecNo(), 17);
}

TEST_F(WhereTheUserIs, TheFocusedCellOrEditIsFramedInTheFocusColour)
{
    const QColor Frame(0x00, 0x64, 0xD2);
    ClickCell(1, 2);
    TGridCell* Edited = Cell(1, 2);
    QImage Shot = GrabControl(Grid);
    const QPoint CellAt = Edited->Widget()->mapTo(Grid->Widget(), QPoint(0, Edited->Height() / 2));
    EXPECT_EQ(Shot.pixelColor(CellAt), Frame) << "the edited cell's left edge";
    SaveScreenshot(Form.get(), "grid_focused_cell");

    ClickEdit();
    QImage EditShot = GrabControl(CompanyEdit);
    EXPECT_EQ(EditShot.pixelColor(0, CompanyEdit->Height() / 2), Frame) << "the focused bound edit";
    QTest::mouseClick(static_cast<QPushButton*>(Other->Widget()), Qt::LeftButton);
    EditShot = GrabControl(CompanyEdit);
    EXPECT_NE(EditShot.pixelColor(0, CompanyEdit->Height() / 2), Frame) << "an edit without the focus is not framed";
}

}  // namespace
