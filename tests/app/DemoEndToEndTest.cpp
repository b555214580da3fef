// The demo program started as a user starts it, and used as a user would: real clicks and
// keys, one screenshot of the window after each step (build/screenshots/demo_e2e_*.png).
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

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
    U.Shot("01_started");
    EXPECT_EQ(F->Label2->Caption(), "0");
    EXPECT_EQ(F->ZopFileDBGrid1->GetFRowCount(), 0);
    EXPECT_FALSE(Nav->GetFirstEnabled()) << "an empty table: nothing to browse";

    // Add Datas: the sample customers come in; the count follows every post.
    U.ClickButton(F->Button1);
    EXPECT_EQ(F->Label2->Caption(), "52");
    EXPECT_EQ(F->ZopFileDBGrid1->GetFRowCount(), 10);
    EXPECT_EQ(U.Cell(0, 9)->GetAsString(), "9934") << "the page ends at the last record posted";
    U.Shot("02_add_datas");

    // Browse with the navigator and the grid.
    U.Nav(Nav->FBtnFirst);
    EXPECT_EQ(U.Cell(0, 0)->GetAsString(), "1015");
    EXPECT_EQ(F->ZopFileDBEdit1->Text(), "1015");
    for (int I = 0; I < 3; ++I) U.Nav(Nav->FBtnNext);
    EXPECT_EQ(F->ZopFileDBGrid1->FSelectedCell, U.Cell(0, 3));
    U.ClickCell(1, 5);
    EXPECT_EQ(U.RecNo(), 6);
    EXPECT_EQ(F->ZopFileDBEdit1->Text(), "1380") << "the bound edit follows the grid";
    U.Shot("03_browsed");

    // Type into a grid cell and post with the navigator.
    U.ClickCell(1, 2);
    U.Type("!");
    EXPECT_EQ(U.State(), "Edit");
    U.Nav(Nav->FBtnSave);
    EXPECT_EQ(U.State(), "Browse");
    EXPECT_EQ(U.Field("Company"), "Jade Mountain Outfitters!");
    EXPECT_EQ(F->Label2->Caption(), "52");
    U.Shot("04_grid_edit_posted");

    // Post from the grid itself: Enter on the last column; the trigger shows the count again.
    U.ClickCell(12, 1);
    U.Type("X");
    F->Label2->SetCaption("?");
    U.Enter();
    EXPECT_EQ(U.State(), "Browse");
    EXPECT_EQ(F->Label2->Caption(), "52") << "the after-post trigger ran for the grid's post";

    // Pick a city from the pick list and post.
    U.ClickCell(4, 3);
    QComboBox* Box = F->ZopFileDBGrid1->FCellComboBox->ComboBox();
    ASSERT_TRUE(Box->isVisible());
    Box->showPopup();
    QAbstractItemView* List = Box->view();
    const QModelIndex Taipei = List->model()->index(1, 0);
    QTest::mouseClick(List->viewport(), Qt::LeftButton, {}, List->visualRect(Taipei).center());
    EXPECT_EQ(U.State(), "Edit");
    U.Nav(Nav->FBtnSave);
    EXPECT_EQ(U.Field("City"), "Taipei");
    EXPECT_EQ(U.Cell(4, 3)->GetAsString(), "Taipei");
    U.Shot("05_pick_list");
    ShowActive(F);  // the pick list's pop-up window has gone: the form is active again

    // Insert through the navigator: the insert row takes the typed values.
    U.Nav(Nav->FBtnAdd);
    EXPECT_EQ(U.State(), "Insert");
    EXPECT_EQ(F->ZopFileDBGrid1->EditorCell(), U.Cell(0, 0));
    U.Type("4711");
    U.Enter();
    U.Type("Dadaocheng Fabric Co.");
    U.Shot("06_inserting");
    U.Nav(Nav->FBtnSave);
    EXPECT_EQ(U.State(), "Browse");
    EXPECT_EQ(F->Label2->Caption(), "53");
    EXPECT_EQ(U.Field("Company"), "Dadaocheng Fabric Co.");
    U.Shot("07_inserted");

    // Filter on the two default lines, ask the current record's number, cancel the filter.
    EXPECT_EQ(F->Edit3->Text(), "-1");
    U.ClickButton(F->Button3);
    EXPECT_EQ(F->Label2->Caption(), "42") << "41 sample customers and the new 4711";
    U.ClickButton(F->Button5);
    EXPECT_EQ(F->Edit3->Text(), IntToStr(U.RecNo()));
    U.Shot("08_filtered");
    U.ClickButton(F->Button4);
    EXPECT_EQ(F->Label2->Caption(), "53");
    U.Shot("09_filter_cancelled");

    // Delete with the confirmation.
    {
        TScriptedDialogs Dialogs;
        Dialogs.Answer(mrYes);
        U.Nav(Nav->FBtnDelete);
        EXPECT_EQ(Dialogs.Texts(), (std::vector<AnsiString>{"確定要刪除資料??"}));
    }
    EXPECT_EQ(U.Count(), 52);
    U.Shot("10_deleted");

    // Empty Table.
    U.ClickButton(F->Button2);
    EXPECT_EQ(F->Label2->Caption(), "0");
    EXPECT_EQ(U.Count(), 0);
    EXPECT_EQ(F->ZopFileDBGrid1->GetFRowCount(), 0);
    U.Shot("11_emptied");
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
