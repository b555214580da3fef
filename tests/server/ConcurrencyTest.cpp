// Two sessions on one table, in one process (memory and file tables) and in two processes:
// each sees the other's posts, is told when its current record changed, and never
// overwrites the other's change.
#include "tests/server/ServerTestSupport.h"

#include <sys/wait.h>
#include <unistd.h>

#include "com/ComObj.h"
#include "com/OleCheck.h"

namespace {

bool Contains(const AnsiString& Text, const AnsiString& Part)
{
    return Text.find(Part) != AnsiString::npos;
}

// Runs Body in a child process and waits for it; true when it succeeded.
template <class F>
bool InChildProcess(F&& Body)
{
    pid_t Pid = fork();
    if (Pid == 0) {
        int Status = 1;
        try {
            CoInitialize();
            Status = Body() ? 0 : 1;
        } catch (...) {
        }
        _exit(Status);
    }
    int Status = 0;
    waitpid(Pid, &Status, 0);
    return WIFEXITED(Status) && WEXITSTATUS(Status) == 0;
}

class TwoSessionsTest : public ServerTest, public ::testing::WithParamInterface<bool> {
protected:
    AnsiString AccessFile() { return GetParam() ? Dir.File("shared.db") : AnsiString(); }
};

TEST_P(TwoSessionsTest, PostsAreSeenAndChangesOfTheCurrentRecordAreNeverOverwritten)
{
    TSession A = OpenSession("a", AccessFile());
    TSession B = OpenSession("b", AccessFile());
    AddKeys(A.get(), {"1", "2", "3"});
    EXPECT_EQ(CountOf(B.get()), 3);  // B's next operation sees A's posts
    OleCheck(B->MoveTo(2));
    EXPECT_FALSE(FlagOf(B.get(), &IFileDataSet::GetRecordChangedByOther));

    // A changes B's current record: B is told and its edit is refused until it reads again.
    OleCheck(A->MoveTo(2));
    OleCheck(A->Edit());
    OleCheck(A->SetFieldValue("City", "Taipei"));
    OleVariant R;
    OleCheck(A->Post(&R));
    EXPECT_TRUE(FlagOf(B.get(), &IFileDataSet::GetRecordChangedByOther));
    EXPECT_TRUE(Contains(FailureText(B->Edit()), "changed by another user"));
    EXPECT_EQ(ValueOf(B.get(), "City"), "Taipei");
    EXPECT_FALSE(FlagOf(B.get(), &IFileDataSet::GetRecordChangedByOther));

    // Both edit the same record: the second post is refused and keeps its values.
    OleCheck(B->Edit());
    OleCheck(B->SetFieldValue("Company", "FromB"));
    OleCheck(A->Edit());
    OleCheck(A->SetFieldValue("Company", "FromA"));
    OleCheck(A->Post(&R));
    AnsiString Msg = FailureText(B->Post(&R));
    EXPECT_TRUE(Contains(Msg, "changed or deleted by another user") && Contains(Msg, "not posted")) << Msg;
    EXPECT_EQ(StateOf(B.get()), "Edit");
    EXPECT_EQ(ValueOf(B.get(), "Company"), "FromB");
    OleCheck(B->Cancel());
    EXPECT_EQ(ValueOf(B.get(), "Company"), "FromA");

    // A deletes B's current record: B is told, and B's delete does not hit another record.
    OleCheck(B->MoveTo(3));
    OleCheck(A->MoveTo(3));
    OleCheck(A->Delete());
    EXPECT_TRUE(FlagOf(B.get(), &IFileDataSet::GetRecordChangedByOther));
    Msg = FailureText(B->Delete());
    EXPECT_TRUE(Contains(Msg, "deleted by another user")) << Msg;
    EXPECT_EQ(CountOf(B.get()), 2);

    // Both insert the same key: the second is refused.
    ASSERT_TRUE(Succeeded(AddRecord(A.get(), {{"CustNo", "8"}})));
    OleCheck(B->Insert());
    OleCheck(B->SetFieldValue("CustNo", "8"));
    EXPECT_TRUE(Contains(FailureText(B->Post(&R)), "already the key"));
}

INSTANTIATE_TEST_SUITE_P(MemoryAndFile, TwoSessionsTest, ::testing::Bool(),
                         [](const auto& Info) { return Info.param ? "File" : "Memory"; });

TEST_F(ServerTest, TwoProcessesOnOneFileSeeEachOthersChanges)
{
    AnsiString File = Dir.File("two.db");
    {
        TSession Setup = OpenSession("p", File);
        AddKeys(Setup.get(), {"1", "2"});
    }
    // The parent starts an edit, then another process changes the record and adds one.
    TSession S = OpenSession("p", File);
    OleCheck(S->Edit());
    OleCheck(S->SetFieldValue("City", "Parent"));
    bool ChildOk = InChildProcess([&] {
        TSession C = OpenSession("c", File);
        if (FAILED(C->Edit()) || FAILED(C->SetFieldValue("City", "Child"))) return false;
        OleVariant R;
        return SUCCEEDED(C->Post(&R)) && SUCCEEDED(AddRecord(C.get(), {{"CustNo", "3"}}));
    });
    ASSERT_TRUE(ChildOk);
    EXPECT_TRUE(FlagOf(S.get(), &IFileDataSet::GetRecordChangedByOther));
    OleVariant R;
    EXPECT_TRUE(Contains(FailureText(S->Post(&R)), "changed or deleted by another user"));
    EXPECT_EQ(ValueOf(S.get(), "City"), "Parent");
    OleCheck(S->Cancel());
    EXPECT_EQ(ValueOf(S.get(), "City"), "Child");
    EXPECT_EQ(CountOf(S.get()), 3);
}

}  // namespace
