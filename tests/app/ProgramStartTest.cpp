// The demo program's start: the form opens its dataset; failures are shown and the program
// still ends with 0.
#include <gtest/gtest.h>

#include <QTimer>

#include "app/DemoProgram.h"
#include "app/UMain.h"
#include "components/UZopFileDataSet.h"
#include "framework/ui/TApplication.h"
#include "server/RegisterFileDataSetServer.h"
#include "tests/support/RecordingFileDataSet.h"
#include "tests/support/ScriptedDialogs.h"

namespace {

TEST(ProgramStart, TheFormOpensItsDataSetAndClosingTheFormEndsTheProgramWithZero)
{
    RegisterFileDataSetServer();
    RegisterDemoClasses();
    bool WasActive = false;
    QTimer::singleShot(0, [&] {
        WasActive = Form1 && Form1->TbMain->GetActive();
        if (Form1) Form1->Close();
    });
    EXPECT_EQ(RunDemoProgram(), 0);
    EXPECT_TRUE(WasActive);
    Form1->Free();
    Form1 = nullptr;
}

TEST(ProgramStart, AServerThatCannotBeCreatedFailsTheFormShowsTheMessageAndEndsWithZero)
{
    RegisterDemoClasses();
    TRecordingServerClass Servers;
    Servers.FailCreation = true;
    TScriptedDialogs Dialogs;
    Dialogs.Answer(mrOk);
    EXPECT_EQ(RunDemoProgram(), 0);
    ASSERT_EQ(Dialogs.Texts().size(), 1u);
    EXPECT_NE(Dialogs.Texts()[0].find("made no object"), AnsiString::npos) << Dialogs.Texts()[0];
    EXPECT_EQ(Form1, nullptr);
    RegisterFileDataSetServer();
}

TEST(ProgramStart, AFailingOpenInTheCreationHandlerIsShownAndTheProgramEndsWithZero)
{
    RegisterDemoClasses();
    TRecordingServerClass Servers;
    Servers.OnCreate = [](TRecordingFileDataSet* Server) {
        Server->Fail("Open", E_FAIL, "The table cannot be opened.");
    };
    TScriptedDialogs Dialogs;
    Dialogs.Answer(mrOk);
    EXPECT_EQ(RunDemoProgram(), 0);
    EXPECT_EQ(Dialogs.Texts(), (std::vector<AnsiString>{"The table cannot be opened."}));
    EXPECT_EQ(Form1, nullptr);
    RegisterFileDataSetServer();
}

}  // namespace
