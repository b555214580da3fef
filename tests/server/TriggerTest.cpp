// Triggers at their moments, in collection order, with abort and failure.
#include "tests/server/ServerTestSupport.h"

#include "framework/core/TComponent.h"

#include "com/OleCheck.h"

namespace {

using Log = std::vector<AnsiString>;

class TriggerTest : public ServerTest {
protected:
    void SetUp() override
    {
        ServerTest::SetUp();
        S = OpenSession();
        AddKeys(S.get(), {"1", "2"});
        Rec = std::make_unique<TEventRecorder>(S.get());
        S->SetDBMethods(&Methods);
    }
    TComponent Owner{nullptr};
    TDbMethods Methods{&Owner, TDbProcItem::StaticClassInfo()};
    TSession S;
    std::unique_ptr<TEventRecorder> Rec;
};

// Counts the records from inside an after-post trigger, as the demo's trigger does.
class TCountingTrigger : public TObject {
public:
    explicit TCountingTrigger(IFileDataSet* Server) : FServer(Server) {}
    void Run(TDbProcItem*, AnsiString, bool&) { Counts.push_back(CountOf(FServer)); }
    std::vector<int> Counts;

private:
    IFileDataSet* FServer;  // not owned
};

TEST_F(TriggerTest, EachMomentRunsItsTriggersInCollectionOrderOnly)
{
    Rec->AddTrigger(Methods, trgBeforePost, "second");
    Rec->AddTrigger(Methods, trgBeforeInsert);
    Rec->AddTrigger(Methods, trgBeforePost, "third");
    TDbProcItem* Procedure = Rec->AddTrigger(Methods, trgBeforePost, "procedure");
    Procedure->SetFBeATrigger(false);  // a procedure is never run as a trigger
    Rec->AddTrigger(Methods, trgDisabled);
    Methods.GetDbProcItem(0)->SetFProcDescrip("first");
    OleCheck(S->Insert());
    OleCheck(S->SetFieldValue("CustNo", "3"));
    OleVariant R;
    OleCheck(S->Post(&R));
    EXPECT_EQ(Rec->Log, (Log{"trigger 1:Browse", "trigger 7 first:Insert", "trigger 7 third:Insert"}));
    EXPECT_EQ(Rec->LastCallUser, "System");
}

TEST_F(TriggerTest, BeforeTriggerThatAbortsStopsTheStepWithEAbortNamingIt)
{
    TDbProcItem* Guard = Rec->AddTrigger(Methods, trgBeforeDelete, "不可刪除");
    Rec->AbortingTrigger = Guard;
    HRESULT Code = S->Delete();
    EXPECT_EQ(Code, E_ABORT);
    AnsiString Msg = FailureText(Code);
    EXPECT_NE(Msg.find("\"不可刪除\" stopped the delete"), AnsiString::npos) << Msg;
    EXPECT_EQ(CountOf(S.get()), 2);

    Guard->SetFTriggerTime(trgBeforeInsert);
    EXPECT_EQ(S->Insert(), E_ABORT);
    EXPECT_EQ(StateOf(S.get()), "Browse");
    Guard->SetFTriggerTime(trgBeforeEdit);
    EXPECT_EQ(S->Edit(), E_ABORT);
    EXPECT_EQ(StateOf(S.get()), "Browse");

    Guard->SetFTriggerTime(trgBeforePost);
    OleCheck(S->Edit());
    OleCheck(S->SetFieldValue("City", "Tainan"));
    OleVariant R;
    EXPECT_EQ(S->Post(&R), E_ABORT);
    EXPECT_EQ(StateOf(S.get()), "Edit");
    EXPECT_EQ(ValueOf(S.get(), "City"), "Tainan");

    // A before-trigger whose handler raises stops the step the same way.
    Rec->AbortingTrigger = nullptr;
    Rec->FailingTrigger = Guard;
    Code = S->Post(&R);
    EXPECT_EQ(Code, E_ABORT);
    EXPECT_NE(FailureText(Code).find("failed, so the post was not done"), AnsiString::npos);
}

TEST_F(TriggerTest, FailingAfterTriggerLeavesTheStepDoneAndReportsIt)
{
    Rec->FailingTrigger = Rec->AddTrigger(Methods, trgAfterDelete, "log");
    AnsiString Msg = FailureText(S->Delete());
    EXPECT_NE(Msg.find("delete was done, but the trigger \"log\""), AnsiString::npos) << Msg;
    EXPECT_EQ(CountOf(S.get()), 1);
}

TEST_F(TriggerTest, AfterPostTriggerSeesTheNewRecordCount)
{
    TCountingTrigger Counter(S.get());
    auto* Item = static_cast<TDbProcItem*>(Methods.Add());
    Item->SetFBeATrigger(true);
    Item->SetFTriggerTime(trgAfterPost);
    Item->SetFProcDescrip("取得新增後資料筆數");
    Item->SetOnExecuteProc(TDbProcItemEvent(&Counter, &TCountingTrigger::Run));
    AddKeys(S.get(), {"3", "4"});
    EXPECT_EQ(Counter.Counts, (std::vector<int>{3, 4}));
    OleCheck(S->Edit());
    OleVariant R;
    OleCheck(S->Post(&R));
    EXPECT_EQ(Counter.Counts.back(), 4);
    // A failed post runs no after-post trigger.
    OleCheck(S->Insert());
    EXPECT_TRUE(FAILED(S->Post(&R)));
    EXPECT_EQ(Counter.Counts.size(), 3u);
}

}  // namespace
