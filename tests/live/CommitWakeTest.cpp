// The server's side of the live view: the descriptor that wakes a watcher when another
// session commits (another session of this program on a memory table, another process on a
// table file or a PostgreSQL table), and the look that takes those commits in between the
// caller's operations (IFileDataSetWatch).
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <memory>

#include "interface/FileDataSetWatch.h"
#include "interface/ServerCall.h"
#include "server/CommitBell.h"
#include "server/FileCommitWake.h"
#include "server/RegisterFileDataSetServer.h"
#include "tests/server/ServerTestSupport.h"
#include "tests/support/PgTestCluster.h"
#include "tests/support/TableCommands.h"
#include "tests/support/TableWriter.h"

namespace {

using namespace RecordServer;

// Whether Descriptor becomes readable within TimeoutMs.
bool Readable(int Descriptor, int TimeoutMs)
{
    pollfd Wait{Descriptor, POLLIN, 0};
    return poll(&Wait, 1, TimeoutMs) > 0 && (Wait.revents & POLLIN);
}

TComInterface<IFileDataSetWatch> WatchOf(const TSession& S)
{
    TComInterface<IFileDataSetWatch> Watch = S.As<IFileDataSetWatch>();
    EXPECT_TRUE(Watch) << "the server object offers no live view";
    return Watch;
}

int DescriptorOf(IFileDataSetWatch* Watch)
{
    int Descriptor = -2;
    EXPECT_TRUE(Succeeded(Watch->GetCommitDescriptor(&Descriptor)));
    return Descriptor;
}

// The look: true when it took a commit in. Follow: record numbers, rewritten.
bool Look(IFileDataSetWatch* Watch, std::vector<int>& Follow, bool TakeIn = true)
{
    bool Changed = false;
    EXPECT_TRUE(Succeeded(Watch->TakeOthersCommits(TakeIn, Follow.data(), static_cast<int>(Follow.size()), &Changed)));
    return Changed;
}

bool Look(IFileDataSetWatch* Watch, bool TakeIn = true)
{
    std::vector<int> None;
    return Look(Watch, None, TakeIn);
}

// The record number of Key in Keys; -1 when it is not there.
int PlaceOf(const std::vector<AnsiString>& Keys, const AnsiString& Key)
{
    auto It = std::find(Keys.begin(), Keys.end(), Key);
    return It == Keys.end() ? -1 : static_cast<int>(It - Keys.begin()) + 1;
}

enum class TPlace { Memory, File, Postgres };

// Another session writing to the table: a second session of this program on a memory table,
// another process (table_writer) on a file or a PostgreSQL table.
class TOtherWriter {
public:
    TOtherWriter(TSession InProcess) : FSession(std::move(InProcess)) {}
    TOtherWriter(const std::string& Schema, const std::string& AccessFile)
        : FProcess(std::make_unique<TTableWriter>(TABLE_WRITER, Schema, AccessFile))
    {
    }
    void Does(const std::string& Command)
    {
        if (FProcess) {
            FProcess->Write(Command);
            return;
        }
        RunTableCommand(FSession.get(), Command);
    }

private:
    TSession FSession;
    std::unique_ptr<TTableWriter> FProcess;
};

class LiveLook : public ServerTest, public ::testing::WithParamInterface<TPlace> {
protected:
    AnsiString AccessFile()
    {
        switch (GetParam()) {
        case TPlace::Memory: return "";
        case TPlace::File: return Dir.File("live.db");
        case TPlace::Postgres: return TestCluster().NewDatabase();
        }
        return "";
    }
    std::unique_ptr<TOtherWriter> Other(const AnsiString& Access)
    {
        if (GetParam() == TPlace::Memory) return std::make_unique<TOtherWriter>(OpenSession("1688", Access));
        return std::make_unique<TOtherWriter>(Dir.File("test.SFD"), Access);
    }
};

// Each of another session's writes, a post, an edit and a delete, makes the watched descriptor
// readable; the look takes it in (the records followed move with it, the cursor stays on its
// record or, when that was deleted, goes to the one now at its place) and leaves the
// descriptor quiet until the next commit.
TEST_P(LiveLook, AnotherSessionsPostEditAndDeleteWakeTheWatcherAndTheLookTakesEachIn)
{
    const AnsiString Access = AccessFile();
    TSession S = OpenSession("1688", Access);
    AddKeys(S.get(), {"10", "20", "30"});
    std::unique_ptr<TOtherWriter> Writer = Other(Access);
    TComInterface<IFileDataSetWatch> Watch = WatchOf(S);
    const int Descriptor = DescriptorOf(Watch.get());
    ASSERT_GE(Descriptor, 0);
    EXPECT_FALSE(Look(Watch.get())) << "this session's own posts and the writer's opening are nothing to take in";
    EXPECT_FALSE(Readable(Descriptor, 0)) << "a drained descriptor is quiet";
    ASSERT_TRUE(Succeeded(S->MoveTo(2)));  // on 20

    // The record 30 is followed by its number through every step.
    struct TStep {
        const char* Command;
        std::vector<AnsiString> Keys;  // the view afterwards
        const char* Current;           // CustNo and Company under the cursor afterwards
        const char* Company;
    };
    const TStep Steps[] = {
        {"post CustNo=15 Company=New", {"10", "15", "20", "30"}, "20", "C20"},
        {"edit CustNo=20 Company=Changed", {"10", "15", "20", "30"}, "20", "Changed"},
        {"delete CustNo=20", {"10", "15", "30"}, "30", "C30"},
        {"delete CustNo=30", {"10", "15"}, "15", "New"},
    };
    std::vector<AnsiString> Keys{"10", "20", "30"};
    for (const TStep& Step : Steps) {
        SCOPED_TRACE(Step.Command);
        std::vector<int> Follow{PlaceOf(Keys, "30")};
        Writer->Does(Step.Command);
        ASSERT_TRUE(Readable(Descriptor, 10000)) << "the commit did not wake the watcher";
        ASSERT_EQ(DescriptorOf(Watch.get()), Descriptor) << "the descriptor stays while the table is open";
        EXPECT_TRUE(Look(Watch.get(), Follow));
        EXPECT_EQ(Follow[0], PlaceOf(Step.Keys, "30"));
        EXPECT_FALSE(Readable(Descriptor, 0)) << "the look drained the descriptor";
        EXPECT_EQ(ValueOf(S.get(), "CustNo"), Step.Current);
        EXPECT_EQ(ValueOf(S.get(), "Company"), Step.Company);
        EXPECT_EQ(InvariantProblem(S.get()), "");
        Keys = KeysInView(S.get());  // moves the cursor: it is put back below
        EXPECT_EQ(Keys, Step.Keys);
        ASSERT_TRUE(Succeeded(S->MoveTo(PlaceOf(Keys, Step.Current))));
    }
}

// While the watcher shows what a look took in, it holds the commits: its operations take no
// other commit in (the view stays in the state shown); let go, the next operation takes in
// what came meanwhile.
TEST_P(LiveLook, HeldCommitsWaitUntilTheWatcherLetsGo)
{
    const AnsiString Access = AccessFile();
    TSession S = OpenSession("1688", Access);
    AddKeys(S.get(), {"10", "20", "30"});
    std::unique_ptr<TOtherWriter> Writer = Other(Access);
    TComInterface<IFileDataSetWatch> Watch = WatchOf(S);
    ASSERT_GE(DescriptorOf(Watch.get()), 0);
    Look(Watch.get());
    ASSERT_TRUE(Succeeded(Watch->HoldCommits(true)));
    Writer->Does("post CustNo=25 Company=Meanwhile");
    EXPECT_EQ(CountOf(S.get()), 3) << "held: the count is the one shown";
    ASSERT_TRUE(Succeeded(S->MoveTo(3)));
    EXPECT_EQ(ValueOf(S.get(), "CustNo"), "30") << "held: the positions are the ones shown";
    EXPECT_EQ(InvariantProblem(S.get()), "");
    ASSERT_TRUE(Succeeded(Watch->HoldCommits(false)));
    EXPECT_EQ(CountOf(S.get()), 4);
    EXPECT_EQ(KeysInView(S.get()), (std::vector<AnsiString>{"10", "20", "25", "30"}));
    EXPECT_EQ(InvariantProblem(S.get()), "");
}

INSTANTIATE_TEST_SUITE_P(Stores, LiveLook, ::testing::Values(TPlace::Memory, TPlace::File, TPlace::Postgres),
                         [](const ::testing::TestParamInfo<TPlace>& Info) {
                             switch (Info.param) {
                             case TPlace::Memory: return "MemoryTableAnotherSession";
                             case TPlace::File: return "TableFileAnotherProcess";
                             case TPlace::Postgres: return "PostgresAnotherProcess";
                             }
                             return "";
                         });

// While a record is pending the look only drains: the view stays as the pending record was
// begun on, and its post takes the commits in first.
TEST_F(ServerTest, ALookWhileARecordIsPendingDrainsAndLeavesTheCommitsToThePost)
{
    TSession S = OpenSession();
    TSession Other = OpenSession();
    AddKeys(S.get(), {"10", "20"});
    TComInterface<IFileDataSetWatch> Watch = WatchOf(S);
    const int Descriptor = DescriptorOf(Watch.get());
    Look(Watch.get());
    for (const char* Pending : {"Edit", "Insert"}) {
        SCOPED_TRACE(Pending);
        ASSERT_TRUE(Succeeded(std::string(Pending) == "Edit" ? S->Edit() : S->Insert()));
        const AnsiString Key = std::string(Pending) == "Edit" ? "30" : "40";
        RunTableCommand(Other.get(), "post CustNo=" + Key + " Company=X");
        ASSERT_TRUE(Readable(Descriptor, 1000));
        std::vector<int> Follow{1};
        EXPECT_FALSE(Look(Watch.get(), Follow));
        EXPECT_EQ(Follow, std::vector<int>{1}) << "nothing followed while nothing was taken in";
        EXPECT_FALSE(Readable(Descriptor, 0)) << "drained all the same";
        EXPECT_EQ(StateOf(S.get()), Pending);
        ASSERT_TRUE(Succeeded(S->Cancel()));
    }
    EXPECT_EQ(KeysInView(S.get()), (std::vector<AnsiString>{"10", "20", "30", "40"}));
}

// A look that took the commits in counts the current record as read: the caller shows it,
// so an edit of what the user now sees is not refused. A look that only drained leaves the
// record as the session read it, and an edit based on that is refused as ever.
class LookAndEdit : public ServerTest, public ::testing::WithParamInterface<bool> {};

TEST_P(LookAndEdit, AnEditAfterALookThatTookTheChangeInIsAllowedAndOneWithoutIsRefused)
{
    const bool TakeIn = GetParam();
    TSession S = OpenSession();
    TSession Other = OpenSession();
    AddKeys(S.get(), {"10"});
    TComInterface<IFileDataSetWatch> Watch = WatchOf(S);
    DescriptorOf(Watch.get());
    RunTableCommand(Other.get(), "edit CustNo=10 Company=Theirs");
    EXPECT_EQ(Look(Watch.get(), TakeIn), TakeIn);
    HRESULT Edited = S->Edit();
    if (TakeIn) {
        EXPECT_TRUE(Succeeded(Edited));
        EXPECT_EQ(ValueOf(S.get(), "Company"), "Theirs");
    } else {
        EXPECT_NE(FailureText(Edited).find("changed by another user"), std::string::npos);
    }
}

INSTANTIATE_TEST_SUITE_P(Looks, LookAndEdit, ::testing::Bool(), [](const ::testing::TestParamInfo<bool>& Info) {
    return Info.param ? "TakenIn" : "OnlyDrained";
});

// A record deleted under the cursor by another session: after the look the cursor is on the
// record now at its place, and that one may be edited at once.
TEST_F(ServerTest, AfterALookTheRecordThatTookTheDeletedOnesPlaceCanBeEdited)
{
    TSession S = OpenSession();
    TSession Other = OpenSession();
    AddKeys(S.get(), {"10", "20", "30"});
    ASSERT_TRUE(Succeeded(S->MoveTo(2)));
    TComInterface<IFileDataSetWatch> Watch = WatchOf(S);
    DescriptorOf(Watch.get());
    RunTableCommand(Other.get(), "delete CustNo=20");
    EXPECT_TRUE(Look(Watch.get()));
    EXPECT_EQ(ValueOf(S.get(), "CustNo"), "30");
    EXPECT_TRUE(Succeeded(S->Edit()));
}

// A closed table has nothing to watch; a session that never asked has no descriptor made.
TEST_F(ServerTest, AClosedTableHasNoDescriptorAndItsLookTakesNothing)
{
    TSession S = NewSession();
    TComInterface<IFileDataSetWatch> Watch = WatchOf(S);
    EXPECT_EQ(DescriptorOf(Watch.get()), -1);
    EXPECT_FALSE(Look(Watch.get()));
    OleVariant Ignored;
    ASSERT_TRUE(Succeeded(S->Open(&Ignored)));
    EXPECT_GE(DescriptorOf(Watch.get()), 0);
    ASSERT_TRUE(Succeeded(S->Close()));
    EXPECT_EQ(DescriptorOf(Watch.get()), -1);
}

// The server closing the connection (a restart) makes the socket readable: the look fails
// once, saying so, and there is nothing to watch until the next operation connects again.
TEST_F(ServerTest, ALostPostgresConnectionFailsTheLookOnceAndTheNextOperationWatchesAgain)
{
    const std::string Uri = TestCluster().NewDatabase();
    TSession S = OpenSession("1688", Uri);
    AddKeys(S.get(), {"10"});
    TComInterface<IFileDataSetWatch> Watch = WatchOf(S);
    const int Descriptor = DescriptorOf(Watch.get());
    ASSERT_GE(Descriptor, 0);
    TestCluster().DropConnections(Uri);
    // The server's farewell may come before the connection closes: the look that reads it
    // finds nothing, and the descriptor becomes readable again with the close.
    HRESULT Looked = S_OK;
    for (int Wakes = 0; Wakes < 3 && SUCCEEDED(Looked); ++Wakes) {
        ASSERT_TRUE(Readable(Descriptor, 10000));
        bool Changed = true;
        Looked = Watch->TakeOthersCommits(true, nullptr, 0, &Changed);
        EXPECT_FALSE(Changed);
    }
    EXPECT_NE(FailureText(Looked).find("connection"), std::string::npos);
    EXPECT_EQ(DescriptorOf(Watch.get()), -1) << "a lost connection leaves nothing to watch";
    EXPECT_EQ(CountOf(S.get()), 1) << "the next operation connects again";
    EXPECT_GE(DescriptorOf(Watch.get()), 0);
}

// A notice of another's commit that reaches the connection while one of the watcher's own
// statements runs comes into libpq with that statement's answer, and the socket shows nothing
// more: the store keeps it and the descriptor is readable still, so the commit is not left
// unseen until the watcher's next operation.
TEST_F(ServerTest, ANoticeThatCameWithTheAnswerToAReadStillWakesThePostgresWatcher)
{
    const std::string Uri = TestCluster().NewDatabase();
    TSession S = OpenSession("1688", Uri);
    AddKeys(S.get(), {"10", "20"});
    TTableWriter Writer(TABLE_WRITER, Dir.File("test.SFD"), Uri);
    TComInterface<IFileDataSetWatch> Watch = WatchOf(S);
    const int Descriptor = DescriptorOf(Watch.get());
    ASSERT_GE(Descriptor, 0);
    Look(Watch.get());
    ASSERT_FALSE(Readable(Descriptor, 0));
    // Held, so that the read below takes nothing in: it only reads the record's version.
    ASSERT_TRUE(Succeeded(Watch->HoldCommits(true)));
    Writer.Write("post CustNo=15 Company=Other");
    ASSERT_TRUE(Readable(Descriptor, 10000)) << "the notice did not come";
    EXPECT_FALSE(AskBool(S.get(), &IFileDataSet::GetRecordChangedByOther));
    EXPECT_TRUE(Readable(Descriptor, 0)) << "the notice read with the answer wakes no one";
    ASSERT_TRUE(Succeeded(Watch->HoldCommits(false)));
    EXPECT_TRUE(Look(Watch.get()));
    EXPECT_EQ(KeysInView(S.get()), (std::vector<AnsiString>{"10", "15", "20"}));
    EXPECT_FALSE(Readable(Descriptor, 0)) << "the look drained the descriptor";
}

// A table file's watch follows the file SQLite writes: the WAL file; when that goes, the
// database file; when that goes too, a timer that wakes every period.
TEST(FileCommitWake, AWatchWhoseFileGoesFollowsTheDatabaseFileAndThenATimer)
{
    TempDir Dir;
    const std::string Database = Dir.WriteFile("t.db", "");
    const std::string Wal = Dir.WriteFile("t.db-wal", "");
    TFileCommitWake Wake(Database);
    ASSERT_EQ(Wake.Mode(), TFileCommitWake::TMode::Watch);
    auto Append = [](const std::string& File) { std::ofstream(File, std::ios::app) << "x"; };
    struct TStep {
        const char* What;
        std::function<void()> Do;
        TFileCommitWake::TMode ModeAfter;
    };
    const TStep Steps[] = {
        {"a write to the WAL file", [&] { Append(Wal); }, TFileCommitWake::TMode::Watch},
        {"the WAL file removed", [&] { unlink(Wal.c_str()); }, TFileCommitWake::TMode::Watch},
        {"a write to the database file", [&] { Append(Database); }, TFileCommitWake::TMode::Watch},
        {"the database file removed", [&] { unlink(Database.c_str()); }, TFileCommitWake::TMode::Timer},
    };
    for (const TStep& Step : Steps) {
        SCOPED_TRACE(Step.What);
        Step.Do();
        EXPECT_TRUE(Readable(Wake.Descriptor(), 1000));
        Wake.Drain();
        EXPECT_EQ(Wake.Mode(), Step.ModeAfter);
        if (&Step != &Steps[0]) continue;
        // The write's commit may be published only after the write: the watch wakes again
        // at growing gaps, a bounded number of times (a few dozen over a second), and is
        // quiet after the last.
        int FollowUps = 0;
        while (FollowUps < 100 && Readable(Wake.Descriptor(), 2 * TFileCommitWake::FollowUpLastMs)) {
            Wake.Drain();
            ++FollowUps;
        }
        EXPECT_GE(FollowUps, 10);
        EXPECT_LE(FollowUps, 40);
        EXPECT_FALSE(Readable(Wake.Descriptor(), 0));
    }
    for (int Period = 0; Period < 3; ++Period) {
        EXPECT_TRUE(Readable(Wake.Descriptor(), 10 * TFileCommitWake::TimerPeriodMs)) << "the timer wakes every period";
        Wake.Drain();
    }
}

// Every listener of a memory table's bell is rung, each drains on its own, and one that
// stopped listening is no longer rung.
TEST(CommitBell, RingsEveryListenerUntilItStopsListening)
{
    auto Bell = std::make_shared<TCommitBell>();
    std::unique_ptr<TCommitBell::TListener> A = Bell->Listen(), B = Bell->Listen();
    EXPECT_FALSE(Readable(A->Descriptor(), 0));
    Bell->Ring();
    Bell->Ring();
    EXPECT_TRUE(Readable(A->Descriptor(), 0));
    EXPECT_TRUE(Readable(B->Descriptor(), 0));
    A->Drain();
    EXPECT_FALSE(Readable(A->Descriptor(), 0)) << "two rings drain at once";
    EXPECT_TRUE(Readable(B->Descriptor(), 0));
    B.reset();
    Bell->Ring();
    EXPECT_TRUE(Readable(A->Descriptor(), 0));
}

}  // namespace
