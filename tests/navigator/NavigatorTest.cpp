// The navigator bar: its layout, its enabled sets and its clicks, on a recording double.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <memory>

#include "components/UZopFileDataSet.h"
#include "framework/core/TStrings.h"
#include "framework/ui/TBitmap.h"
#include "framework/ui/TCanvas.h"
#include "framework/ui/TForm.h"
#include "tests/support/RecordingFileDataSet.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/UiTestSupport.h"

namespace {

using Log = std::vector<AnsiString>;

TNavBtn* const TZopFileDBNavigator::*const ButtonFields[] = {
    &TZopFileDBNavigator::FBtnFirst, &TZopFileDBNavigator::FBtnPrior,  &TZopFileDBNavigator::FBtnNext,
    &TZopFileDBNavigator::FBtnLast,  &TZopFileDBNavigator::FBtnAdd,    &TZopFileDBNavigator::FBtnEdit,
    &TZopFileDBNavigator::FBtnDelete, &TZopFileDBNavigator::FBtnQuery, &TZopFileDBNavigator::FBtnSave,
    &TZopFileDBNavigator::FBtnCancel};

// The enabled flags of the ten buttons as a string of 1 and 0, in field order.
std::string EnabledSet(const TZopFileDBNavigator& Nav)
{
    std::string S;
    for (auto Field : ButtonFields) S += (Nav.*Field)->Enabled() ? '1' : '0';
    return S;
}

class TClickLog : public TObject {
public:
    explicit TClickLog(TRecordingFileDataSet*& Server) : FServer(Server) {}
    void Before(TComponent* Sender, AnsiString BtnName) { Add("before", Sender, BtnName); }
    void After(TComponent* Sender, AnsiString BtnName) { Add("after", Sender, BtnName); }
    Log Seen;

private:
    void Add(const char* Kind, TComponent* Sender, const AnsiString& BtnName)
    {
        Seen.push_back(AnsiString(Kind) + " " + BtnName + " " + static_cast<TControl*>(Sender)->Caption());
        if (FServer) FServer->Calls.push_back(AnsiString(Kind) + " " + BtnName);
    }
    TRecordingFileDataSet*& FServer;
};

class Navigator : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(0, 0, 700, 100);
        Nav = new TZopFileDBNavigator(Form.get());
        Nav->SetParent(Form.get());
        Nav->SetBounds(8, 8, 630, 31);
        DS = new TZopFileDataSet(Form.get());
        Source = new TZopFileDataSource(Form.get());
        Server = Servers.Last();
        Nav->FOnBeforeNavBtnClick = TNavBtnPressedEvent(&Clicks, &TClickLog::Before);
        Nav->FOnAfterNavBtnClick = TNavBtnPressedEvent(&Clicks, &TClickLog::After);
        ShowActive(Form.get());
    }
    void Link()
    {
        Source->SetFDataSet(DS);
        Nav->SetFDataSource(Source);
        DS->SetFActive(true);
        Server->ClearCalls();
        Clicks.Seen.clear();
    }
    void Click(TNavBtn* Button) { QTest::mouseClick(static_cast<QPushButton*>(Button->Widget()), Qt::LeftButton); }

    TRecordingServerClass Servers;
    TRecordingFileDataSet* Server = nullptr;  // kept alive by Servers
    TClickLog Clicks{Server};
    std::unique_ptr<TForm> Form;
    TZopFileDBNavigator* Nav = nullptr;     // owned by the form
    TZopFileDataSet* DS = nullptr;          // owned by the form
    TZopFileDataSource* Source = nullptr;   // owned by the form
};

TEST_F(Navigator, TenButtonsSitInTwoGroupsAndTheBarKeepsItsHeight)
{
    const int Lefts[] = {2, 63, 123, 183, 266, 326, 386, 446, 506, 566};
    const char* Captions[] = {"First", "Prior", "Next", "Last", "Insert", "Edit", "Delete", "Query", "Post", "Cancel"};
    for (int I = 0; I < 10; ++I) {
        TNavBtn* B = Nav->*ButtonFields[I];
        EXPECT_EQ(B->Left(), Lefts[I]) << Captions[I];
        EXPECT_EQ(B->Top(), 2);
        EXPECT_EQ(B->Width(), 60);
        EXPECT_EQ(B->Height(), 28);
        EXPECT_EQ(B->Caption(), Captions[I]);
        EXPECT_EQ(B->Parent(), Nav);
        EXPECT_EQ(B->Owner(), nullptr);
        EXPECT_EQ(B->NumGlyphs(), 2);
    }
    EXPECT_EQ(Nav->Color(), static_cast<TColor>(0x00B4F5F2));
    EXPECT_TRUE(Nav->GetConfirmDelete());
    for (int H : {50, 10, 31}) {
        Nav->SetHeight(H);
        EXPECT_EQ(Nav->Height(), 31) << H;
    }
    Nav->SetWidth(900);
    EXPECT_EQ(Nav->Width(), 900);
    EXPECT_EQ(Nav->FBtnCancel->Left(), 566);
    SaveScreenshot(Form.get(), "navigator_bar");
}

TEST_F(Navigator, PicturesAreCopiedCaptionsGoToTheButtonsAndEnableButtonsSetsAllTen)
{
    TBitmap Pic;
    Pic.SetSize(16, 16);
    Nav->SetFirstPic(&Pic);
    Pic.SetSize(4, 4);
    EXPECT_EQ(Nav->GetFirstPic()->Width(), 16) << "the button keeps its own copy";
    EXPECT_EQ(Nav->GetFirstPic(), Nav->FBtnFirst->Glyph());
    Nav->SetAddCaption("新增");
    EXPECT_EQ(Nav->FBtnAdd->Caption(), "新增");
    Nav->EnableButtons(false, false, true, true, true, false, false, true, false, false);
    EXPECT_EQ(EnabledSet(*Nav), "0011100100");
    Nav->SetSaveEnabled(true);
    EXPECT_TRUE(Nav->GetSaveEnabled());
}

TEST_F(Navigator, TheEnabledSetFollowsTheStateAndThePosition)
{
    Link();
    struct Case {
        const char* State;
        bool ReadOnly, Bof, Eof;
        const char* Expected;
    };
    const Case Cases[] = {
        {"Browse", false, false, false, "1111111100"},
        {"Browse", false, true, true, "0111111100"},  // one record: the first-record row
        {"Browse", false, false, true, "1110111100"},
        {"Browse", true, true, false, "1111000100"},  // read-only comes first
        {"Insert", false, false, false, "0000000011"},
        {"Edit", false, false, false, "0000000011"},
        {"InActive", false, false, false, "0000000000"},
    };
    for (const Case& C : Cases) {
        Server->Answer("GetState", OleVariant(C.State));
        Server->Answer("GetDataReadOnly", OleVariant(C.ReadOnly));
        Server->Answer("GetBof", OleVariant(C.Bof));
        Server->Answer("GetEof", OleVariant(C.Eof));
        Source->RefreshNavigator();
        EXPECT_EQ(EnabledSet(*Nav), C.Expected) << C.State << C.ReadOnly << C.Bof << C.Eof;
    }
    // A state text other than the four leaves the buttons as they are.
    Nav->EnableButtons(true, false, true, false, true, false, true, false, true, false);
    Server->Answer("GetState", OleVariant("Cancel"));
    Source->RefreshNavigator();
    EXPECT_EQ(EnabledSet(*Nav), "1010101010");
    // Without a dataset nothing is asked.
    Source->SetFDataSet(nullptr);
    Server->ClearCalls();
    Source->RefreshNavigator();
    EXPECT_TRUE(Server->Calls.empty());
}

TEST_F(Navigator, WithoutADataSourceOrDataSetAClickFiresNothingAndCallsNothing)
{
    Click(Nav->FBtnNext);
    Nav->SetFDataSource(Source);  // a data source without a dataset
    Server->ClearCalls();
    Click(Nav->FBtnNext);
    Click(Nav->FBtnAdd);
    EXPECT_TRUE(Clicks.Seen.empty());
    EXPECT_TRUE(Server->Calls.empty());
}

TEST_F(Navigator, EachButtonFiresItsEventsAroundItsServerStepWithItsOperationName)
{
    Link();
    Nav->SetAddCaption("New");
    struct Case {
        TNavBtn* TZopFileDBNavigator::*Button;
        Log Actions;
    };
    const Case Cases[] = {
        {&TZopFileDBNavigator::FBtnFirst, {"before First", "First", "after First"}},
        {&TZopFileDBNavigator::FBtnPrior, {"before Prior", "Prior", "after Prior"}},
        {&TZopFileDBNavigator::FBtnNext, {"before Next", "Next", "after Next"}},
        {&TZopFileDBNavigator::FBtnLast, {"before Last", "Last", "after Last"}},
        {&TZopFileDBNavigator::FBtnAdd, {"before Add", "Insert", "after Add"}},
        {&TZopFileDBNavigator::FBtnEdit, {"before Edit", "Edit", "after Edit"}},
        {&TZopFileDBNavigator::FBtnQuery, {"before Query", "after Query"}},
        {&TZopFileDBNavigator::FBtnSave, {"before Post", "Post", "after Post"}},
        {&TZopFileDBNavigator::FBtnCancel, {"before Cancel", "Cancel", "after Cancel"}},
    };
    for (const Case& C : Cases) {
        Server->Answer("GetState", OleVariant("Browse"));
        Server->ClearCalls();
        Nav->EnableButtons(true, true, true, true, true, true, true, true, true, true);
        Click(Nav->*C.Button);
        EXPECT_EQ(Server->Actions(), C.Actions) << (Nav->*C.Button)->Caption();
        // The browse buttons refresh the navigators after the after-event; the others do not.
        const bool Browse = C.Button == &TZopFileDBNavigator::FBtnFirst || C.Button == &TZopFileDBNavigator::FBtnPrior ||
                            C.Button == &TZopFileDBNavigator::FBtnNext || C.Button == &TZopFileDBNavigator::FBtnLast;
        const auto After = std::find(Server->Calls.begin(), Server->Calls.end(), C.Actions.back());
        EXPECT_EQ(std::find(After, Server->Calls.end(), "GetDataReadOnly") != Server->Calls.end(), Browse)
            << (Nav->*C.Button)->Caption();
    }
    EXPECT_EQ(Clicks.Seen[8], "before Add New") << "the sender is the button; its caption never changes the name";
}

TEST_F(Navigator, DeleteAsksAndOnlyYesDeletesWithoutConfirmationNothingIsDeleted)
{
    Link();
    TScriptedDialogs Dialogs;
    Dialogs.Answer(mrNo).Answer(mrYes);
    Click(Nav->FBtnDelete);
    EXPECT_EQ(Server->Actions(), (Log{"before Delete", "after Delete"}));
    Click(Nav->FBtnDelete);
    EXPECT_EQ(Server->Actions(), (Log{"before Delete", "after Delete", "before Delete", "Delete", "after Delete"}));
    ASSERT_EQ(Dialogs.Dialogs().size(), 2u);
    EXPECT_EQ(Dialogs.Dialogs()[0].Text, "確定要刪除資料??");
    EXPECT_EQ(Dialogs.Dialogs()[0].Buttons, (TMsgDlgButtons{mbYes, mbNo}));

    Server->ClearCalls();
    Nav->SetFConfirmDelete(false);
    Click(Nav->FBtnDelete);
    EXPECT_EQ(Server->Actions(), (Log{"before Delete", "after Delete"}));
    EXPECT_EQ(Dialogs.Dialogs().size(), 2u) << "no dialog without confirmation";
}

TEST_F(Navigator, AFailingServerCallSkipsTheAfterEventAndTheRefreshAndShowsItsMessage)
{
    Link();
    Server->Fail("Next", E_FAIL, "The record was changed by another user.");
    TScriptedDialogs Dialogs;
    Dialogs.Answer(mrOk);
    Click(Nav->FBtnNext);
    EXPECT_EQ(Server->Actions(), (Log{"before Next", "Next"}));
    EXPECT_EQ(Server->Calls.back(), "Next") << "no refresh after a failure";
    EXPECT_EQ(Dialogs.Texts(), (Log{"The record was changed by another user."}));
}

TEST_F(Navigator, NavigatorAndDataSourceStayConsistentWhicheverIsDestroyedFirst)
{
    Link();
    EXPECT_EQ(Source->FCtrlList->Count(), 1);
    delete Nav;
    Nav = nullptr;
    EXPECT_EQ(Source->FCtrlList->Count(), 0);
    Source->RefreshNavigator();  // reaches no freed navigator

    auto* Second = new TZopFileDBNavigator(Form.get());
    Second->SetFDataSource(Source);
    delete Source;
    Source = nullptr;
    EXPECT_EQ(Second->GetDataSource(), nullptr);
    Click(Second->FBtnNext);  // silently ignored
}

}  // namespace
