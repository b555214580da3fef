// A file table keeps what was posted: across close and reopen, and across a process killed
// in the middle of posting.
#include "tests/server/ServerTestSupport.h"

#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <set>

#include "com/ComObj.h"
#include "com/OleCheck.h"
#include "framework/core/TextUtils.h"
#include "server/RegisterFileDataSetServer.h"
#include "server/SqliteSqlFunctions.h"

namespace {

AnsiString IntegrityCheck(const AnsiString& File)
{
    sqlite3* Db = nullptr;
    sqlite3_open(File.c_str(), &Db);
    RecordServer::RegisterSqlFunctions(Db);  // the key index uses the server's collation
    sqlite3_stmt* Stmt = nullptr;
    sqlite3_prepare_v2(Db, "PRAGMA integrity_check", -1, &Stmt, nullptr);
    AnsiString Result = sqlite3_step(Stmt) == SQLITE_ROW ? reinterpret_cast<const char*>(sqlite3_column_text(Stmt, 0)) : "";
    sqlite3_finalize(Stmt);
    sqlite3_close(Db);
    return Result;
}

TEST_F(ServerTest, FileTableSurvivesCloseAndReopen)
{
    AnsiString File = Dir.File("kept.db");
    {
        TSession S = OpenSession("u", File);
        AddKeys(S.get(), {"7", "3"});
    }
    DropAllMemoryTables();  // nothing of a file table lives in memory
    TSession S = OpenSession("u", File);
    EXPECT_EQ(KeysInView(S.get()), (std::vector<AnsiString>{"3", "7"}));
    OleCheck(S->First());
    EXPECT_EQ(ValueOf(S.get(), "Company"), "C3");
}

TEST_F(ServerTest, FileTableKeepsItsRecordsWhenTheSchemaGainsAFieldOrChangesItsKey)
{
    AnsiString File = Dir.File("grown.db");
    {
        TSession S = OpenSession("u", File);
        AddKeys(S.get(), {"2", "10"});
    }
    Dir.WriteFile("test.SFD", AnsiString(TestSchemaText) + "Note, Text, 20\n");
    {
        TSession S = OpenSession("u", File);
        EXPECT_EQ(KeysInView(S.get()), (std::vector<AnsiString>{"2", "10"}));
        OleCheck(S->First());
        EXPECT_EQ(ValueOf(S.get(), "Note"), "");
        OleCheck(S->Edit());
        OleCheck(S->SetFieldValue("Note", "kept"));
        OleVariant R;
        OleCheck(S->Post(&R));
    }
    // The key becomes Company (text): the records are ordered and kept unique by it now.
    Dir.WriteFile("test.SFD", "[Table]\nName = Customer\n[Fields]\nCustNo, Number, 8\nCompany, Text, 10, Key\n"
                              "TaxRate, Number, 6\nCity, Text, 12\nNote, Text, 20\n");
    TSession S = OpenSession("u", File);
    EXPECT_EQ(KeysInView(S.get()), (std::vector<AnsiString>{"10", "2"}));  // "C10" before "C2"
    ASSERT_TRUE(Succeeded(AddRecord(S.get(), {{"CustNo", "2"}, {"Company", "C3"}})));  // CustNo may repeat now
    OleCheck(S->Insert());
    OleCheck(S->SetFieldValue("Company", "C2"));
    OleVariant R;
    EXPECT_NE(FailureText(S->Post(&R)).find("Key Company: the value \"C2\" is already the key"), AnsiString::npos);
    OleCheck(S->Cancel());
    OleCheck(S->MoveTo(2));
    EXPECT_EQ(ValueOf(S.get(), "Company"), "C2");
    EXPECT_EQ(ValueOf(S.get(), "Note"), "kept");
}

TEST_F(ServerTest, KilledWhilePostingKeepsEveryCompletedPostAndAnIntactFile)
{
    AnsiString File = Dir.File("crash.db");
    int Pipe[2];
    ASSERT_EQ(pipe(Pipe), 0);
    pid_t Pid = fork();
    if (Pid == 0) {
        close(Pipe[0]);
        CoInitialize();
        TSession S = OpenSession("u", File);
        for (int Key = 1;; ++Key) {
            if (FAILED(AddRecord(S.get(), {{"CustNo", IntToStr(Key)}, {"City", "Posted"}}))) _exit(2);
            if (write(Pipe[1], &Key, sizeof Key) != sizeof Key) _exit(3);  // reported after the post returned
        }
    }
    close(Pipe[1]);
    std::set<int> Reported;
    int Key = 0;
    while (Reported.size() < 300 && read(Pipe[0], &Key, sizeof Key) == sizeof Key) Reported.insert(Key);
    kill(Pid, SIGKILL);
    int Status = 0;
    waitpid(Pid, &Status, 0);
    close(Pipe[0]);
    ASSERT_TRUE(WIFSIGNALED(Status)) << "the child stopped by itself";
    ASSERT_EQ(Reported.size(), 300u);

    EXPECT_EQ(IntegrityCheck(File), "ok");
    TSession S = OpenSession("u", File);
    std::set<int> Stored;
    for (const AnsiString& K : KeysInView(S.get())) Stored.insert(StrToInt(K));
    for (int K : Reported) EXPECT_TRUE(Stored.count(K)) << "post " << K << " was lost";
    // Every stored record is whole.
    OleCheck(S->MoveTo(1));
    for (std::size_t I = 0; I < Stored.size(); ++I) {
        EXPECT_EQ(ValueOf(S.get(), "City"), "Posted") << "record " << I + 1;
        OleVariant Ignored;
        OleCheck(S->MoveNext(&Ignored));
    }
}

}  // namespace
