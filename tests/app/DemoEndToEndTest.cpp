// The demo program started as a user starts it, and used as a user would: real clicks and
// keys, one screenshot of the window after each step (build/screenshots/demo_e2e_*.png).
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpontaneKeyEvent>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include "app/DemoProgram.h"
#include "app/UMain.h"
#include "components/UZopFileDataSet.h"
#include "framework/core/TextUtils.h"
#include "framework/ui/TApplication.h"
#include "framework/ui/TButton.h"
#include "framework/ui/TComboBox.h"
#include "framework/ui/TEdit.h"
#include "framework/ui/TLabel.h"
#include "interface/ServerCall.h"
#include "server/RegisterFileDataSetServer.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/UiTestSupport.h"

namespace {

class TDemoUser {
public:
    TDemoUser() : F(Form1), Server(Form1->TbMain->FileDataSet()) {}

    void Click(TControl* Control) { QTest::mouseClick(Control->Widget(), Qt::LeftButton, {}, QPoint(5, 5)); }
    void ClickButton(TButton* Button) { QTest::mouseClick(static_cast<QPushButton*>(Button->Widget()), Qt::LeftButton); }
    void Nav(TNavBtn* Button) { ClickButton(Button); }
    TGridCell* Cell(int Col, int Row) const { return F->ZopFileDBGrid1->GetColumns()->GetDataCell(Col, Row); }
    void ClickCell(int Col, int Row) { Click(Cell(Col, Row)); }
    void Type(const char* Text) { QTest::keyClicks(QApplication::focusWidget(), Text); }
    void Enter() { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); }
    void Shot(const char* Step) { SaveScreenshot(F, std::string("demo_e2e_") + Step); }
    void Press(Qt::Key Key, Qt::KeyboardModifiers Modifiers = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), Key, Modifiers);
    }
    // Turns the wheel by Notches over the grid's first cell (negative: towards the user).
    void Wheel(int Notches)
    {
        QWidget* W = Cell(0, 0)->Widget();
        const QPointF At(5, 5);
        QWheelEvent Event(At, W->mapToGlobal(At), QPoint(), QPoint(0, 120 * Notches), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QSpontaneKeyEvent::setSpontaneous(&Event);  // as from the window system
        QApplication::instance()->notify(W, &Event);
    }
    bool InView(const TGridCell* C) const
    {
        return C->Left() >= 0 && C->Left() + C->Width() <= F->ZopFileDBGrid1->ClientWidth();
    }
    std::vector<AnsiString> ColumnTexts(int Col) const
    {
        std::vector<AnsiString> Texts;
        for (int R = 0; R < F->ZopFileDBGrid1->GetFRowCount(); ++R) Texts.push_back(Cell(Col, R)->GetAsString());
        return Texts;
    }
    // The current record is on the page and highlighted, and the bound edit shows its key.
    void ExpectAgreement(const char* When) const
    {
        TZopFileDBGrid* Grid = F->ZopFileDBGrid1;
        const int Which = Grid->GetCurrentRecordInWhichRow();
        EXPECT_GE(Which, 0) << When;
        EXPECT_EQ(Grid->FSelectedCell ? Grid->FSelectedCell->GetRow() : -1, Which) << When;
        EXPECT_EQ(F->ZopFileDBEdit1->Text(), Field("CustNo")) << When;
    }
    int Count() const { return AskInt(Server, &IFileDataSet::GetRecordCount); }
    int RecNo() const { return AskInt(Server, &IFileDataSet::GetRecNo); }
    AnsiString State() const { return AskText(Server, &IFileDataSet::GetState); }
    AnsiString Field(const char* Name) const
    {
        return AskText(Server, &IFileDataSet::GetFieldValue, OleVariant(Name));
    }

    TForm1* F;              // not owned: the application owns the form
    IFileDataSet* Server;   // held by the form's dataset
};

void UseTheDemo()
{
    TDemoUser U;
    TForm1* F = U.F;
    TZopFileDBNavigator* Nav = F->ZopFileDBNavigator1;
    TZopFileDBGrid* Grid = F->ZopFileDBGrid1;
    U.Shot("01_started");
    EXPECT_EQ(F->Label2->Caption(), "0");
    EXPECT_EQ(Grid->GetFRowCount(), 0);
    EXPECT_FALSE(Nav->GetFirstEnabled()) << "an empty table: nothing to browse";

    // Add Datas: the sample customers come in; the count follows every post.
    U.ClickButton(F->Button1);
    EXPECT_EQ(F->Label2->Caption(), "52");
    EXPECT_EQ(Grid->GetFRowCount(), 10);
    EXPECT_EQ(U.Cell(0, 9)->GetAsString(), "9934") << "the page ends at the last record posted";
    U.Shot("02_add_datas");

    // Browse with the navigator and the grid.
    U.Nav(Nav->FBtnFirst);
    EXPECT_EQ(U.Cell(0, 0)->GetAsString(), "1015");
    EXPECT_EQ(F->ZopFileDBEdit1->Text(), "1015");
    for (int I = 0; I < 3; ++I) U.Nav(Nav->FBtnNext);
    EXPECT_EQ(Grid->FSelectedCell, U.Cell(0, 3));
    U.ClickCell(1, 5);
    EXPECT_EQ(U.RecNo(), 6);
    EXPECT_EQ(F->ZopFileDBEdit1->Text(), "1380") << "the bound edit follows the grid";
    U.Shot("03_browsed");

    // The keys and the wheel a user expects: a page down, the last and the first record,
    // three records down; the highlighted row, the bound edit and the cursor agree.
    U.Press(Qt::Key_PageDown);
    EXPECT_EQ(U.RecNo(), 16);
    U.Press(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(U.RecNo(), 52);
    U.Press(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(U.RecNo(), 1);
    U.Wheel(-3);
    EXPECT_EQ(U.RecNo(), 4);
    U.ExpectAgreement("after the keys and the wheel");
    U.Shot("04_keys_and_wheel");

    // Type into a grid cell and post with the navigator: the keyboard is back in the grid.
    U.ClickCell(1, 2);
    U.Type("!");
    EXPECT_EQ(U.State(), "Edit");
    U.Nav(Nav->FBtnSave);
    EXPECT_EQ(U.State(), "Browse");
    EXPECT_EQ(U.Field("Company"), "Jade Mountain Outfitters!");
    EXPECT_EQ(F->Label2->Caption(), "52");
    EXPECT_EQ(QApplication::focusWidget(), Grid->FCellEdit->LineEdit()) << "not on an unrelated button";
    U.Shot("05_grid_edit_posted");

    // Esc in a cell drops what was typed.
    U.Type("?");
    U.Press(Qt::Key_Escape);
    EXPECT_EQ(U.State(), "Browse");
    EXPECT_EQ(U.Field("Company"), "Jade Mountain Outfitters!");

    // Post from the grid itself: Enter on the last column; the trigger shows the count again.
    U.ClickCell(12, 1);
    U.Type("X");
    F->Label2->SetCaption("?");
    U.Enter();
    EXPECT_EQ(U.State(), "Browse");
    EXPECT_EQ(F->Label2->Caption(), "52") << "the after-post trigger ran for the grid's post";

    // Pick a city from the pick list and post.
    U.ClickCell(4, 3);
    QComboBox* Box = Grid->FCellComboBox->ComboBox();
    ASSERT_TRUE(Box->isVisible());
    Box->showPopup();
    QAbstractItemView* List = Box->view();
    const QModelIndex Taipei = List->model()->index(1, 0);
    QTest::mouseClick(List->viewport(), Qt::LeftButton, {}, List->visualRect(Taipei).center());
    EXPECT_EQ(U.State(), "Edit");
    U.Nav(Nav->FBtnSave);
    EXPECT_EQ(U.Field("City"), "Taipei");
    EXPECT_EQ(U.Cell(4, 3)->GetAsString(), "Taipei");
    U.Shot("06_pick_list");
    ShowActive(F);  // the pick list's pop-up window has gone: the form is active again

    // Insert through the navigator and walk the insert row with Enter: the grid scrolls
    // with the editor, and Enter on the last column posts the record, which the page shows.
    U.Nav(Nav->FBtnAdd);
    EXPECT_EQ(U.State(), "Insert");
    EXPECT_EQ(Grid->EditorCell(), U.Cell(0, 0));
    EXPECT_EQ(Grid->FSelectedCell->GetRow(), 0) << "the insert row is the highlighted one";
    U.Type("4711");
    U.Enter();
    U.Type("Dadaocheng Fabric Co.");
    while (Grid->EditorCell() != U.Cell(8, 0)) U.Enter();
    U.Type("02-2555-0100");
    EXPECT_TRUE(U.InView(U.Cell(8, 0))) << "the cell being typed into is in view";
    U.Shot("07_inserting_scrolled");
    while (Grid->EditorCell() != U.Cell(12, 0)) U.Enter();
    U.Enter();
    EXPECT_EQ(U.State(), "Browse");
    EXPECT_EQ(F->Label2->Caption(), "53");
    EXPECT_EQ(U.Field("Company"), "Dadaocheng Fabric Co.");
    EXPECT_EQ(U.Field("Phone"), "02-2555-0100");
    U.ExpectAgreement("after a post with Enter in the insert row");
    U.Shot("08_inserted_by_enter");

    // A key that is taken already: the post is refused, the record stays pending with what
    // was typed, and the corrected key is posted.
    U.Nav(Nav->FBtnAdd);
    U.Type("1015");
    U.Enter();
    U.Type("Second Harbour Co.");
    {
        TScriptedDialogs Dialogs;
        Dialogs.Answer(mrOk);
        U.Nav(Nav->FBtnSave);
        ASSERT_EQ(Dialogs.Texts().size(), 1u);
        EXPECT_NE(Dialogs.Texts()[0].find("1015"), AnsiString::npos) << Dialogs.Texts()[0];
    }
    EXPECT_EQ(U.State(), "Insert");
    U.ClickCell(0, 0);  // back to the key, in the same row: nothing is asked or lost
    EXPECT_EQ(U.Cell(1, 0)->GetAsString(), "Second Harbour Co.");
    U.Press(Qt::Key_End);
    U.Type("6");
    U.Shot("09_refused_key_corrected");
    U.Nav(Nav->FBtnSave);
    EXPECT_EQ(U.State(), "Browse");
    EXPECT_EQ(U.Field("CustNo"), "10156");
    EXPECT_EQ(U.Field("Company"), "Second Harbour Co.");
    EXPECT_EQ(F->Label2->Caption(), "54");

    // Filter on the two default lines, ask the current record's number, cancel the filter.
    EXPECT_EQ(F->Edit3->Text(), "-1");
    U.ClickButton(F->Button3);
    EXPECT_EQ(F->Label2->Caption(), "42") << "41 sample customers and the new 4711";
    U.ExpectAgreement("after the filter");
    U.ClickButton(F->Button5);
    EXPECT_EQ(F->Edit3->Text(), IntToStr(U.RecNo()));
    U.Shot("10_filtered");
    U.ClickButton(F->Button4);
    EXPECT_EQ(F->Label2->Caption(), "54");
    U.Shot("11_filter_cancelled");

    // Delete answered No changes nothing; Yes deletes, and the count follows.
    U.ClickCell(0, 4);
    const std::vector<AnsiString> Page = U.ColumnTexts(0);
    {
        TScriptedDialogs Dialogs;
        Dialogs.Answer(mrNo).Answer(mrYes);
        U.Nav(Nav->FBtnDelete);
        EXPECT_EQ(U.Count(), 54);
        U.Nav(Nav->FBtnNext);
        EXPECT_EQ(U.ColumnTexts(0), Page) << "the page stays where it was";
        U.Nav(Nav->FBtnDelete);
        EXPECT_EQ(Dialogs.Texts(), (std::vector<AnsiString>{"確定要刪除資料??", "確定要刪除資料??"}));
    }
    EXPECT_EQ(U.Count(), 53);
    EXPECT_EQ(F->Label2->Caption(), "53") << "the count follows the deletion";
    U.ExpectAgreement("after a deletion");
    U.Shot("12_deleted");

    // Empty Table.
    U.ClickButton(F->Button2);
    EXPECT_EQ(F->Label2->Caption(), "0");
    EXPECT_EQ(U.Count(), 0);
    EXPECT_EQ(Grid->GetFRowCount(), 0);
    U.Shot("13_emptied");
}

TEST(DemoEndToEnd, AUserFillsBrowsesEditsFiltersDeletesAndEmptiesTheTable)
{
    RegisterFileDataSetServer();
    RegisterDemoClasses();
    DropAllMemoryTables();
    bool Ran = false;
    QTimer::singleShot(0, [&] {
        Ran = true;
        ShowActive(Form1);
        UseTheDemo();
        Form1->Close();
    });
    EXPECT_EQ(RunDemoProgram(), 0);
    EXPECT_TRUE(Ran);
    Form1->Free();
    Form1 = nullptr;
    DropAllMemoryTables();
}

}  // namespace
