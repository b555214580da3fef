// The demo form on the real server, driven by clicks like a user's.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/DemoProgram.h"
#include "app/UMain.h"
#include "components/UZopFileDataSet.h"
#include "framework/core/TextUtils.h"
#include "framework/db/TTable.h"
#include "framework/ui/TApplication.h"
#include "framework/ui/TButton.h"
#include "framework/ui/TEdit.h"
#include "framework/ui/TLabel.h"
#include "interface/ServerCall.h"
#include "server/RegisterFileDataSetServer.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/UiTestSupport.h"

namespace {

// The sample table: 52 customers; 41 have a CustNo whose first two digits are 13 to 62,
// 44 have them at most 62.
constexpr int SampleRows = 52;

class DemoForm : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterFileDataSetServer();
        RegisterDemoClasses();
        DropAllMemoryTables();
        Application->CreateForm(Form1);
        ShowActive(Form1);
        Server = Form1->TbMain->FileDataSet();
    }
    void TearDown() override
    {
        Form1->Free();
        Form1 = nullptr;
        DropAllMemoryTables();
    }
    void Click(TButton* Button) { QTest::mouseClick(static_cast<QPushButton*>(Button->Widget()), Qt::LeftButton); }
    int Count() const { return AskInt(Server, &IFileDataSet::GetRecordCount); }
    AnsiString State() const { return AskText(Server, &IFileDataSet::GetState); }

    IFileDataSet* Server = nullptr;  // held by the form's dataset
};

TEST_F(DemoForm, AddDatasFillsTheTableAndASecondClickIsRefusedRowByRowWithOneMessage)
{
    EXPECT_EQ(Form1->Edit3->Text(), "-1");
    Click(Form1->Button1);
    EXPECT_EQ(Count(), SampleRows);
    EXPECT_EQ(Form1->Label2->Caption(), IntToStr(SampleRows)) << "the after-post trigger shows the count";
    EXPECT_FALSE(Form1->Table1->GetActive());
    EXPECT_EQ(AskText(Server, &IFileDataSet::GetFieldValue, OleVariant("Company")), "Table Mountain Guides")
        << "the cursor is on the last record posted";
    SaveScreenshot(Form1, "demo_after_add_datas");

    TScriptedDialogs Dialogs;
    Dialogs.Answer(mrOk);
    Click(Form1->Button1);
    EXPECT_EQ(Count(), SampleRows);
    EXPECT_EQ(State(), "Browse") << "no refused row is left pending";
    ASSERT_EQ(Dialogs.Texts().size(), 1u);
    EXPECT_EQ(Dialogs.Texts()[0].rfind("52 of 52 rows were not added. ", 0), 0u) << Dialogs.Texts()[0];
    EXPECT_NE(Dialogs.Texts()[0].find("1015"), AnsiString::npos) << "the message names the duplicate key";
}

TEST_F(DemoForm, TheTwoLineFilterKeepsCustomersFrom13To62AndCancellingShowsThemAll)
{
    Click(Form1->Button1);
    Click(Form1->Button3);
    EXPECT_EQ(Count(), 41);
    EXPECT_EQ(Form1->Label2->Caption(), "41");
    for (bool More = true; More;) {
        const int Prefix = std::stoi(AskText(Server, &IFileDataSet::GetFieldValue, OleVariant("CustNo")).substr(0, 2));
        EXPECT_GE(Prefix, 13);
        EXPECT_LE(Prefix, 62);
        More = !AskBool(Server, &IFileDataSet::GetEof);
        Check(Server->Next());
    }
    Click(Form1->Button5);
    EXPECT_EQ(Form1->Edit3->Text(), "41") << "the current record's number in the filtered view";

    Form1->Edit1->SetText("");
    Click(Form1->Button3);
    EXPECT_EQ(Form1->Label2->Caption(), "44") << "with Edit1 empty only the second line applies";

    Click(Form1->Button4);
    EXPECT_EQ(Form1->Label2->Caption(), IntToStr(SampleRows));
}

TEST_F(DemoForm, ARefusedFilterLineIsReportedAndTheOtherStillApplies)
{
    Click(Form1->Button1);
    Form1->Edit1->SetText("broken line without commas");
    TScriptedDialogs Dialogs;
    Dialogs.Answer(mrOk);
    Click(Form1->Button3);
    EXPECT_EQ(Form1->Label2->Caption(), "44");
    ASSERT_EQ(Dialogs.Texts().size(), 1u);
    EXPECT_NE(Dialogs.Texts()[0].find("broken line without commas"), AnsiString::npos) << Dialogs.Texts()[0];
}

TEST_F(DemoForm, EmptyTableEmptiesItAndShowsZeroAlsoWhenAlreadyEmpty)
{
    Click(Form1->Button2);
    EXPECT_EQ(Form1->Label2->Caption(), "0");
    Click(Form1->Button1);
    Check(Server->Insert());  // a pending insert is cancelled by the first deletion
    Click(Form1->Button2);
    EXPECT_EQ(Count(), 0);
    EXPECT_EQ(Form1->Label2->Caption(), "0");
}

TEST_F(DemoForm, EmptyTableStopsWithTheServersMessageWhenADeletionIsRefused)
{
    Click(Form1->Button1);
    // A second user of the same table who may only read.
    Form1->TbMain->SetFActive(false);
    Form1->TbMain->SetFReadOnly(true);
    Form1->TbMain->SetFActive(true);
    TScriptedDialogs Dialogs;
    Dialogs.Answer(mrOk);
    Click(Form1->Button2);
    EXPECT_EQ(Count(), SampleRows);
    EXPECT_EQ(Form1->Label2->Caption(), IntToStr(SampleRows));
    ASSERT_EQ(Dialogs.Texts().size(), 1u) << "one message, no endless loop";
}

TEST_F(DemoForm, TheRecordCountFollowsPostsAndDeletionsThroughTheTriggers)
{
    Click(Form1->Button1);
    Form1->ZopFileDBNavigator1->RunAddClick(nullptr);
    EXPECT_EQ(State(), "Insert");
    Form1->ZopFileDBEdit1->SetFocus();
    QTest::keyClicks(Form1->ZopFileDBEdit1->LineEdit(), "4711");
    QTest::mouseClick(static_cast<QPushButton*>(Form1->ZopFileDBNavigator1->FBtnSave->Widget()), Qt::LeftButton);
    EXPECT_EQ(State(), "Browse");
    EXPECT_EQ(Form1->Label2->Caption(), IntToStr(SampleRows + 1));
    EXPECT_EQ(AskText(Server, &IFileDataSet::GetFieldValue, OleVariant("CustNo")), "4711");

    TScriptedDialogs Dialogs;
    Dialogs.Answer(mrYes).Answer(mrYes);
    for (int Deleted = 1; Deleted <= 2; ++Deleted) {
        QTest::mouseClick(static_cast<QPushButton*>(Form1->ZopFileDBNavigator1->FBtnDelete->Widget()), Qt::LeftButton);
        EXPECT_EQ(Form1->Label2->Caption(), IntToStr(SampleRows + 1 - Deleted)) << "the count follows the deletion";
    }
}

}  // namespace
