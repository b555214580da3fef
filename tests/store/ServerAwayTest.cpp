// A session whose PostgreSQL server stopped answering (its backend stopped by a signal, as a
// hung server would be) or went away (its database takes no connections): the call fails, at
// the statement limit when nothing answers, saying what may have happened; what the user
// cancels meanwhile is dropped and never stored; and the session goes on once the server is
// back, losing nothing.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "com/OleCheck.h"
#include "tests/server/ServerTestSupport.h"
#include "tests/support/PgTestCluster.h"

namespace {

class ServerAway : public ServerTest {};

TEST_F(ServerAway, APostToAStoppedBackendFailsAtTheLimitAndTheSessionGoesOnOnceItAnswers)
{
    // The limit comes from the URI: the user's own limit bounds the client's wait too.
    const AnsiString Uri = TestCluster().NewDatabase() + "&options=-c%20statement_timeout%3D1000";
    TSession A = OpenSession("1688", Uri);
    AddKeys(A.get(), {"1"});
    const std::vector<pid_t> Backends = TestCluster().RecordServerBackends(Uri);
    ASSERT_EQ(Backends.size(), 1u);

    AnsiString Message;
    {
        TFrozenProcess Frozen(Backends[0]);
        Message = FailureText(AddRecord(A.get(), {{"CustNo", "2"}, {"Company", "C2"}}));
    }
    EXPECT_NE(Message.find("did not answer a write within 1 second"), AnsiString::npos) << Message;
    EXPECT_NE(Message.find("may or may not have been stored"), AnsiString::npos) << Message;
    EXPECT_EQ(StateOf(A.get()), "Insert") << "the record stays pending, nothing typed is lost";

    // Posted again: stored now, or refused as a duplicate because the first post was done
    // after all once the backend went on; either way the key is stored exactly once.
    OleVariant Ignored;
    HRESULT Again = A->Post(&Ignored);
    if (FAILED(Again)) {
        EXPECT_NE(FailureText(Again).find("already"), AnsiString::npos) << FailureText(Again);
        OleCheck(A->Cancel());
    }
    std::vector<AnsiString> Keys;
    for (int Try = 0; Try < 100 && Keys.size() != 2; ++Try) {  // the first post's notice is on its way
        Keys = KeysInView(A.get());
        if (Keys.size() != 2) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_EQ(Keys, (std::vector<AnsiString>{"1", "2"}));
    TSession B = OpenSession("1688", Uri);
    EXPECT_EQ(KeysInView(B.get()), (std::vector<AnsiString>{"1", "2"}));
}

// A record whose post failed because the server went away is cancelled while the server is
// still away: the cancel succeeds at once (it used to ask the server first, fail, and leave the
// record pending, so that the first Insert after the server came back posted it). The same
// for an edit, and for Delete while inserting.
TEST_F(ServerAway, ACancelWhileTheServerIsAwaySucceedsAndNothingCancelledIsEverStored)
{
    const AnsiString Uri = TestCluster().NewDatabase();
    TSession A = OpenSession("1688", Uri);
    AddKeys(A.get(), {"1"});
    struct TRefusing {
        AnsiString Uri;
        explicit TRefusing(AnsiString U) : Uri(std::move(U)) { TestCluster().RefuseConnections(Uri, true); }
        ~TRefusing() { TestCluster().RefuseConnections(Uri, false); }
    };
    OleVariant Ignored;
    // An insert begun while the server was there, posted when it is away.
    ASSERT_TRUE(Succeeded(A->Insert()));
    ASSERT_TRUE(Succeeded(A->SetFieldValue("CustNo", "2")));
    {
        TRefusing Away(Uri);
        EXPECT_FALSE(Succeeded(A->Post(&Ignored)));
        ASSERT_EQ(StateOf(A.get()), "Insert");
        EXPECT_TRUE(Succeeded(A->Cancel()));
        EXPECT_EQ(StateOf(A.get()), "Browse");
    }
    // An edit: the record as it was read is shown.
    ASSERT_TRUE(Succeeded(A->Edit()));
    ASSERT_TRUE(Succeeded(A->SetFieldValue("Company", "changed")));
    {
        TRefusing Away(Uri);
        EXPECT_FALSE(Succeeded(A->Post(&Ignored)));
        EXPECT_TRUE(Succeeded(A->Cancel()));
        EXPECT_EQ(StateOf(A.get()), "Browse");
        EXPECT_EQ(ValueOf(A.get(), "Company"), "C1");
    }
    // Delete while inserting cancels the insert.
    ASSERT_TRUE(Succeeded(A->Insert()));
    ASSERT_TRUE(Succeeded(A->SetFieldValue("CustNo", "5")));
    {
        TRefusing Away(Uri);
        EXPECT_TRUE(Succeeded(A->Delete()));
        EXPECT_EQ(StateOf(A.get()), "Browse");
    }
    // Back: the first call meets the connection the server closed and reports it; then the
    // next insert starts empty and posts only what it was given.
    A->First();
    ASSERT_TRUE(Succeeded(AddRecord(A.get(), {{"CustNo", "3"}, {"Company", "after"}})));
    TSession B = OpenSession("1688", Uri);
    EXPECT_EQ(KeysInView(B.get()), (std::vector<AnsiString>{"1", "3"}));
    OleCheck(B->First());
    EXPECT_EQ(ValueOf(B.get(), "Company"), "C1");
}

}  // namespace
