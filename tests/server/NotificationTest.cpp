// The states and notifications of every operation, in order, with the state each handler saw.
#include "tests/server/ServerTestSupport.h"

#include "framework/core/TComponent.h"

#include "com/OleCheck.h"

namespace {

using Log = std::vector<AnsiString>;

class NotificationTest : public ServerTest {
protected:
    void SetUp() override
    {
        ServerTest::SetUp();
        S = NewSession();
        Rec = std::make_unique<TEventRecorder>(S.get());
        Rec->Attach();
        for (TCallTriggerTiming T : {trgBeforeInsert, trgAfterInsert, trgBeforeEdit, trgAfterEdit, trgBeforeDelete,
                                     trgAfterDelete, trgBeforePost, trgAfterPost})
            Rec->AddTrigger(Methods, T);
        S->SetDBMethods(&Methods);
    }
    // Runs Step with an empty log and answers what it logged.
    template <class F>
    Log During(F&& Step)
    {
        Rec->Log.clear();
        Step();
        return Rec->Log;
    }
    void OpenWithKeys(std::initializer_list<const char*> Keys)
    {
        OleVariant Ignored;
        OleCheck(S->Open(&Ignored));
        AddKeys(S.get(), Keys);
    }

    TComponent Owner{nullptr};
    TDbMethods Methods{&Owner, TDbProcItem::StaticClassInfo()};
    TSession S;
    std::unique_ptr<TEventRecorder> Rec;
};

// Clears every handler and the DB methods of the server from inside a handler or a trigger,
// as a dataset does when it is freed while one of the server's calls runs.
class TClearingHandler : public TObject {
public:
    explicit TClearingHandler(IFileDataSet* Server) : FServer(Server) {}
    void FromTrigger(TDbProcItem*, AnsiString, bool&) { ClearAll(); }
    void FromNotification() { ClearAll(); }
    int Calls = 0;

private:
    void ClearAll()
    {
        ++Calls;
        FServer->SetOnAfterDataChange(nullptr);
        FServer->SetOnAfterDBStateChange(nullptr);
        FServer->SetOnAfterFilterChange(nullptr);
        FServer->SetOnInitDataControlData(nullptr);
        FServer->SetDBMethods(nullptr);
    }
    IFileDataSet* FServer;  // not owned
};

TEST_F(NotificationTest, HandlersClearedDuringACallAreNeverCalledAgain)
{
    OpenWithKeys({"1"});
    TClearingHandler Clearing(S.get());
    // A before-insert trigger after the recorder's clears everything: the insert goes on, but
    // neither the later triggers nor the notifications run.
    TDbProcItem* Clearer = Rec->AddTrigger(Methods, trgBeforeInsert);
    Clearer->SetOnExecuteProc(TDbProcItemEvent(&Clearing, &TClearingHandler::FromTrigger));
    EXPECT_EQ(During([&] { OleCheck(S->Insert()); }), (Log{"trigger 1:Browse"}));
    EXPECT_EQ(Clearing.Calls, 1);
    EXPECT_EQ(StateOf(S.get()), "Insert");
    OleCheck(S->SetFieldValue("CustNo", "2"));
    OleVariant R;
    EXPECT_EQ(During([&] { OleCheck(S->Post(&R)); }), Log{});
    EXPECT_EQ(CountOf(S.get()), 2);

    // A state handler that clears everything: the cancelled insert's second state change and
    // its data change are not sent.
    Rec->Attach();
    S->SetOnAfterDBStateChange(TAfterRecDataSetDataChangeEvent(&Clearing, &TClearingHandler::FromNotification));
    OleCheck(S->Insert());
    EXPECT_EQ(Clearing.Calls, 2);
    EXPECT_EQ(During([&] { OleCheck(S->Cancel()); }), Log{});
    EXPECT_EQ(StateOf(S.get()), "Browse");
}

TEST_F(NotificationTest, OpenAndCloseReportTheStateOnceAndRepeatedCallsDoNothing)
{
    OleVariant Result;
    EXPECT_EQ(During([&] { OleCheck(S->Open(&Result)); }), (Log{"state:Browse"}));
    EXPECT_TRUE(Result.AsBoolean());
    EXPECT_EQ(During([&] { OleCheck(S->Open(&Result)); }), Log{});
    AddKeys(S.get(), {"5"});
    OleCheck(S->Insert());
    EXPECT_EQ(During([&] { OleCheck(S->Close()); }), (Log{"state:InActive"}));
    EXPECT_EQ(During([&] { OleCheck(S->Close()); }), Log{});
    OleCheck(S->Open(&Result));
    EXPECT_EQ(CountOf(S.get()), 1);  // the pending insert was dropped
    EXPECT_EQ(StateOf(S.get()), "Browse");
}

TEST_F(NotificationTest, CursorMovesReportADataChangeAndPostAPendingRecordFirst)
{
    OpenWithKeys({"1", "2", "3"});
    EXPECT_EQ(During([&] { OleCheck(S->First()); }), (Log{"data:Browse"}));
    EXPECT_EQ(During([&] { OleCheck(S->Next()); }), (Log{"data:Browse"}));
    EXPECT_EQ(During([&] { OleCheck(S->Last()); }), (Log{"data:Browse"}));
    EXPECT_EQ(During([&] { OleCheck(S->Prior()); }), (Log{"data:Browse"}));
    EXPECT_EQ(RecNoOf(S.get()), 2);

    OleCheck(S->Insert());
    OleCheck(S->SetFieldValue("CustNo", "9"));
    EXPECT_EQ(During([&] { OleCheck(S->First()); }),
              (Log{"collect:Insert", "trigger 7:Insert", "trigger 8:Browse", "state:Browse", "data:Browse", "data:Browse"}));
    EXPECT_EQ(CountOf(S.get()), 4);
    EXPECT_EQ(RecNoOf(S.get()), 1);
}

TEST_F(NotificationTest, SilentPositioningFiresNothingAndKeepsAPendingRecordPending)
{
    OpenWithKeys({"1", "2", "3"});
    OleCheck(S->Insert());
    OleCheck(S->SetFieldValue("CustNo", "7"));
    OleVariant R;
    Log Logged = During([&] {
        OleCheck(S->MoveTo(3));
        OleCheck(S->MovePrior(&R));
        OleCheck(S->MoveNext(&R));
        OleCheck(S->SetRecNo(1));
    });
    EXPECT_EQ(Logged, Log{});
    EXPECT_EQ(StateOf(S.get()), "Insert");
    EXPECT_EQ(RecNoOf(S.get()), 1);
    EXPECT_EQ(ValueOf(S.get(), "CustNo"), "1");  // the record under the cursor, not the buffer
    OleCheck(S->Post(&R));
    EXPECT_EQ(ValueOf(S.get(), "CustNo"), "7");
    EXPECT_EQ(CountOf(S.get()), 4);
}

TEST_F(NotificationTest, InsertEditPostCancelAndDeleteRunTriggersThenNotifications)
{
    OpenWithKeys({"1", "2", "3"});
    OleCheck(S->MoveTo(2));
    EXPECT_EQ(During([&] { OleCheck(S->Insert()); }),
              (Log{"trigger 1:Browse", "trigger 2:Insert", "state:Insert", "data:Insert"}));
    EXPECT_EQ(RecNoOf(S.get()), 2);  // the cursor stays; the new record is not in the view yet
    EXPECT_EQ(CountOf(S.get()), 3);
    EXPECT_EQ(During([&] { OleCheck(S->Cancel()); }), (Log{"state:Cancel", "state:Browse", "data:Browse"}));

    EXPECT_EQ(During([&] { OleCheck(S->Edit()); }), (Log{"trigger 3:Browse", "trigger 4:Edit", "state:Edit"}));
    EXPECT_EQ(During([&] { OleCheck(S->Edit()); }), Log{});  // already editing
    EXPECT_EQ(During([&] { OleCheck(S->Cancel()); }), (Log{"state:Browse", "data:Browse"}));

    OleCheck(S->Edit());
    Rec->OnCollect = [&] { OleCheck(S->SetFieldValue("City", "Taipei")); };
    OleVariant R;
    EXPECT_EQ(During([&] { OleCheck(S->Post(&R)); }),
              (Log{"collect:Edit", "trigger 7:Edit", "trigger 8:Browse", "state:Browse", "data:Browse"}));
    EXPECT_EQ(ValueOf(S.get(), "City"), "Taipei");
    EXPECT_EQ(During([&] { OleCheck(S->Post(&R)); }), Log{});  // nothing pending
    EXPECT_EQ(During([&] { OleCheck(S->Cancel()); }), Log{});

    EXPECT_EQ(During([&] { OleCheck(S->Delete()); }),
              (Log{"trigger 5:Browse", "trigger 6:Browse", "state:Browse", "data:Browse"}));
    EXPECT_EQ(ValueOf(S.get(), "CustNo"), "3");  // the next record
    EXPECT_EQ(RecNoOf(S.get()), 2);
    OleCheck(S->Delete());
    EXPECT_EQ(ValueOf(S.get(), "CustNo"), "1");  // the new last
}

TEST_F(NotificationTest, DeleteWhileInsertingCancelsAndWhileEditingDeletesTheRecord)
{
    OpenWithKeys({"1", "2"});
    OleCheck(S->Insert());
    EXPECT_EQ(During([&] { OleCheck(S->Delete()); }), (Log{"state:Cancel", "state:Browse", "data:Browse"}));
    EXPECT_EQ(CountOf(S.get()), 2);
    OleCheck(S->MoveTo(1));
    OleCheck(S->Edit());
    OleCheck(S->Delete());
    EXPECT_EQ(StateOf(S.get()), "Browse");
    EXPECT_EQ(KeysInView(S.get()), (std::vector<AnsiString>{"2"}));
}

TEST_F(NotificationTest, FilterChangeReportsFilterStateAndData)
{
    OpenWithKeys({"1", "2"});
    OleVariant R;
    OleCheck(S->AddFilterCommand("d,CustNo,,,>,1,", &R));
    EXPECT_EQ(During([&] { OleCheck(S->SetFiltered(true)); }), (Log{"filter:Browse", "state:Browse", "data:Browse"}));
    EXPECT_EQ(During([&] { OleCheck(S->SetFiltered(false)); }), (Log{"filter:Browse", "state:Browse", "data:Browse"}));
    EXPECT_EQ(During([&] { OleCheck(S->SetFiltered(false)); }), Log{});  // no change
}

TEST_F(NotificationTest, FailingHandlersNeverEscapeAndFailTheCallWithTheirMessage)
{
    OpenWithKeys({"1"});
    // A failing state or data handler: the step is done, the call reports the failure.
    Rec->FailState = true;
    AnsiString Msg = FailureText(S->Insert());
    EXPECT_EQ(Msg, "state handler failed");
    EXPECT_EQ(StateOf(S.get()), "Insert");
    EXPECT_EQ(Rec->Log.back(), "data:Insert");  // the later notification still ran
    Rec->FailState = false;

    // A failing collect step fails the post; the record stays pending with its values.
    OleCheck(S->SetFieldValue("CustNo", "2"));
    Rec->FailCollect = true;
    OleVariant R;
    EXPECT_EQ(FailureText(S->Post(&R)), "collect handler failed");
    EXPECT_FALSE(R.AsBoolean());
    EXPECT_EQ(StateOf(S.get()), "Insert");
    EXPECT_EQ(CountOf(S.get()), 1);
    Rec->FailCollect = false;
    OleCheck(S->Post(&R));
    EXPECT_TRUE(R.AsBoolean());
    EXPECT_EQ(ValueOf(S.get(), "CustNo"), "2");

    Rec->FailData = true;
    EXPECT_EQ(FailureText(S->First()), "data handler failed");
    EXPECT_EQ(RecNoOf(S.get()), 1);
}

}  // namespace
