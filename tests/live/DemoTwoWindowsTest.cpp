// The demo program with two windows on its memory table, as two users of one program: what one
// posts, edits and deletes shows in the other's grid, bound edit and red record count with no
// input to that window, except while that window's user is typing: then it waits for the
// user's Esc. Screenshots of both windows after each step (build/screenshots/demo_live_*.png).
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <string>

#include "app/DemoProgram.h"
#include "app/UMain.h"
#include "components/UZopFileDataSet.h"
#include "framework/ui/TApplication.h"
#include "framework/ui/TButton.h"
#include "framework/ui/TLabel.h"
#include "interface/ServerCall.h"
#include "server/RegisterFileDataSetServer.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/UiTestSupport.h"

namespace {

// One window of the demo, used by clicks and keys.
class TWindow {
public:
    TWindow(TForm1* Form, const char* Name) : F(Form), FName(Name) {}

    void ClickButton(TButton* Button) { QTest::mouseClick(static_cast<QPushButton*>(Button->Widget()), Qt::LeftButton); }
    void ClickCell(int Col, int Row)
    {
        QWidget* CellWidget = Cell(Col, Row)->Widget();
        QWidget* Target = CellWidget->childAt(5, 5);
        if (!Target) Target = CellWidget;
        QTest::mouseClick(Target, Qt::LeftButton, {}, Target->mapFrom(CellWidget, QPoint(5, 5)));
    }
    void Type(const char* Text) { QTest::keyClicks(QApplication::focusWidget(), Text); }
    void Press(Qt::Key Key) { QTest::keyClick(QApplication::focusWidget(), Key); }
    TGridCell* Cell(int Col, int Row) const { return F->ZopFileDBGrid1->GetColumns()->GetDataCell(Col, Row); }
    AnsiString Count() const { return F->Label2->Caption(); }
    int Rows() const { return F->ZopFileDBGrid1->GetFRowCount(); }
    AnsiString State() const { return AskText(F->TbMain->FileDataSet(), &IFileDataSet::GetState); }
    void Shot(int Step) const { SaveScreenshot(F, "demo_live_" + std::to_string(Step) + "_" + FName); }

    TForm1* F;  // not owned: the application owns the form

private:
    std::string FName;
};

bool WaitUntil(const std::function<bool()>& Done)
{
    return QTest::qWaitFor(Done, 10000);
}

void UseTwoWindows(TForm1* First, TForm1* Second)
{
    TWindow A(First, "A"), B(Second, "B");
    ShowActive(A.F);
    EXPECT_EQ(B.Rows(), 0);
    EXPECT_EQ(B.Count(), "0");

    // A adds the sample customers; B shows them, count and all.
    A.ClickButton(A.F->Button1);
    EXPECT_EQ(A.Count(), "52");
    EXPECT_TRUE(WaitUntil([&] { return B.Count() == "52" && B.Rows() == 10; })) << "B shows " << B.Count();
    EXPECT_EQ(B.Cell(0, 0)->FRecordPos, 1) << "B's page starts at the first record, its current one";
    EXPECT_EQ(B.F->ZopFileDBEdit1->Text(), B.Cell(0, 0)->GetAsString());
    A.Shot(1);
    B.Shot(1);

    // B's user types into the first customer's company in its grid; meanwhile A edits the
    // second customer's company in its grid and posts. B's window stays as its user left it,
    // typed text and all, until Esc gives the edit up: then B's row shows A's change.
    const AnsiString BCompany = B.Cell(1, 1)->GetAsString();
    ShowActive(B.F);
    B.ClickCell(1, 0);
    B.Type(" (B)");
    EXPECT_EQ(B.State(), "Edit");
    ShowActive(A.F);
    A.ClickButton(A.F->ZopFileDBNavigator1->FBtnFirst);
    A.ClickCell(1, 1);
    A.Type(" (A)");
    EXPECT_EQ(A.State(), "Edit");
    A.ClickButton(A.F->ZopFileDBNavigator1->FBtnSave);
    EXPECT_EQ(A.State(), "Browse");
    QTest::qWait(300);  // turns of the loop in which a refresh would have come
    EXPECT_EQ(B.Cell(1, 1)->GetAsString(), BCompany) << "B refreshed while its user was typing";
    EXPECT_EQ(B.State(), "Edit");
    A.Shot(2);
    B.Shot(2);
    ShowActive(B.F);
    B.Press(Qt::Key_Escape);
    EXPECT_EQ(B.State(), "Browse");
    EXPECT_TRUE(WaitUntil([&] { return B.Cell(1, 1)->GetAsString() == A.Cell(1, 1)->GetAsString(); }));
    EXPECT_NE(B.Cell(1, 1)->GetAsString().find("(A)"), AnsiString::npos) << B.Cell(1, 1)->GetAsString();
    EXPECT_EQ(B.Cell(1, 0)->GetAsString().find("(B)"), AnsiString::npos) << "Esc gave B's typing up";
    A.Shot(3);
    B.Shot(3);

    // A deletes the first customer; B's page, bound edit (its current record gave way to the
    // next) and count follow.
    A.ClickButton(A.F->ZopFileDBNavigator1->FBtnFirst);
    {
        TScriptedDialogs Dialogs;
        Dialogs.Answer(mrYes);
        A.ClickButton(A.F->ZopFileDBNavigator1->FBtnDelete);
    }
    EXPECT_EQ(A.Count(), "51");
    EXPECT_TRUE(WaitUntil([&] { return B.Count() == "51"; }));
    EXPECT_EQ(B.Cell(0, 0)->GetAsString(), A.Cell(0, 0)->GetAsString());
    EXPECT_EQ(B.F->ZopFileDBEdit1->Text(), A.F->ZopFileDBEdit1->Text());
    A.Shot(4);
    B.Shot(4);
}

TEST(DemoTwoWindows, WhatOneWindowPostsEditsAndDeletesShowsInTheOtherByItself)
{
    RegisterFileDataSetServer();
    RegisterDemoClasses();
    DropAllMemoryTables();
    bool Ran = false;
    // The second window of the demo's form has an owner of its own: a name is unique among
    // its owner's components, and the application holds the first "Form1".
    TComponent SecondOwner(nullptr);
    TForm1* Second = nullptr;
    QTimer::singleShot(0, [&] {
        Ran = true;
        Second = new TForm1(&SecondOwner);
        Second->ReadFormResource();
        Second->DoCreate();
        Second->SetLeft(Form1->Left() + 40);
        Second->Show();
        UseTwoWindows(Form1, Second);
        Second->Close();
        Form1->Close();
    });
    EXPECT_EQ(RunDemoProgram(), 0);
    EXPECT_TRUE(Ran);
    if (Second) Second->Free();
    Form1->Free();
    Form1 = nullptr;
    DropAllMemoryTables();
}

}  // namespace
