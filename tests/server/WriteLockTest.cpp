// Writers wait for each other's locks: a write that meets another's transaction waits for
// it in short steps and goes on, and only a lock held past the timeout fails it, with a
// message that says the table was busy.
#include "tests/server/ServerTestSupport.h"

#include <chrono>
#include <thread>

#include "server/SqliteDb.h"

namespace {

using namespace RecordServer;
using Clock = std::chrono::steady_clock;

TEST_F(ServerTest, AWriterWaitsForTheLockAndFailsOnlyAfterTheTimeout)
{
    const AnsiString File = Dir.File("lock.db");
    TSqliteDb Holder(File);
    Holder.Exec("PRAGMA journal_mode=WAL; CREATE TABLE t (x)");
    TSqliteDb Waiter(File);

    // A lock released after a moment: the waiter goes on.
    Holder.Exec("BEGIN IMMEDIATE");
    Waiter.SetBusyTimeout(5000);
    std::thread Release([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        Holder.Exec("COMMIT");
    });
    EXPECT_NO_THROW({
        TSqliteTransaction Tx(Waiter);
        Waiter.Exec("INSERT INTO t VALUES (1)");
        Tx.Commit();
    });
    Release.join();

    // A lock held on: the waiter fails as busy, but never before its timeout.
    Holder.Exec("BEGIN IMMEDIATE");
    Waiter.SetBusyTimeout(300);
    const Clock::time_point Start = Clock::now();
    try {
        TSqliteTransaction Tx(Waiter);
        ADD_FAILURE() << "the lock was taken while another held it";
    } catch (const ESqliteError& E) {
        EXPECT_TRUE(E.IsBusy()) << E.Message();
    }
    EXPECT_GE(Clock::now() - Start, std::chrono::milliseconds(300));
    Holder.Exec("COMMIT");
}

TEST_F(ServerTest, APostThatFindsTheTableLockedPastTheTimeoutSaysTheTableWasBusy)
{
    const AnsiString File = Dir.File("busy.db");
    TSession S = OpenSession("u", File);
    TSqliteDb Holder(File);
    Holder.Exec("BEGIN IMMEDIATE");
    AnsiString Message = FailureText(AddRecord(S.get(), {{"CustNo", "1"}}));
    EXPECT_NE(Message.find("stayed locked by other writers for 5 seconds, so the record was not written"),
              AnsiString::npos)
        << Message;
    Holder.Exec("ROLLBACK");
    OleVariant R;
    EXPECT_TRUE(Succeeded(S->Post(&R))) << "the record stayed pending";
    EXPECT_EQ(CountOf(S.get()), 1);
}

}  // namespace
