// A session whose PostgreSQL server stopped answering (its backend stopped by a signal, as a
// hung server would be): the call fails at the statement limit, saying what may have
// happened, and the session goes on once the server answers again, losing nothing.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "com/OleCheck.h"
#include "tests/server/ServerTestSupport.h"
#include "tests/support/PgTestCluster.h"

namespace {

class UnansweringServer : public ServerTest {};

TEST_F(UnansweringServer, APostToAStoppedBackendFailsAtTheLimitAndTheSessionGoesOnOnceItAnswers)
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

}  // namespace
