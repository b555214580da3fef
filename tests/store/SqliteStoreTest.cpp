// The SQLite store's own cases: writers of a file wait for each other's locks in short steps
// and go on, and only a lock held past the timeout fails a write, with a message that says the
// table was busy and that nothing was written.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "server/Schema.h"
#include "server/ServerError.h"
#include "server/SqliteDb.h"
#include "server/SqliteRecordStore.h"
#include "tests/support/TempDir.h"

namespace {

using namespace RecordServer;
using Clock = std::chrono::steady_clock;

TEST(SqliteStore, AConnectionWaitsForALockInShortStepsAndFailsOnlyAfterItsTimeout)
{
    TempDir Dir;
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
    Waiter.SetBusyTimeout(100);
    const Clock::time_point Start = Clock::now();
    try {
        TSqliteTransaction Tx(Waiter);
        ADD_FAILURE() << "the lock was taken while another held it";
    } catch (const ESqliteError& E) {
        EXPECT_TRUE(E.IsBusy()) << E.Message();
    }
    EXPECT_GE(Clock::now() - Start, std::chrono::milliseconds(100));
    Holder.Exec("COMMIT");
}

TEST(SqliteStore, AWriteThatFindsTheTableLockedPastTheTimeoutSaysTheTableWasBusyAndWritesNothing)
{
    TempDir Dir;
    const AnsiString File = Dir.File("busy.db");
    TTableSchema Schema = ParseSchema("[Table]\nName = Stock\n[Fields]\nNo, Number, 8, Key\nName, Text, 10\n",
                                      Dir.File("stock.SFD"));
    auto Store = TSqliteRecordStore::OpenFile(Schema, File, 250);
    TSqliteDb Holder(File);
    Holder.Exec("BEGIN IMMEDIATE");
    TStoredRecord Record;
    AnsiString Message = "(written)";
    try {
        Store->Insert({"1", "first"}, Record);
    } catch (const EServerError& E) {
        Message = E.Message();
    }
    EXPECT_EQ(Message, "The table Stock in the file " + File +
                           " stayed locked by other writers for 0.25 seconds, so the record was not written; try again.");
    Holder.Exec("ROLLBACK");

    // Once the lock is gone the same write goes through, and it is the only record.
    ASSERT_EQ(Store->Insert({"1", "first"}, Record), TWriteResult::Done);
    int Count = 0;
    Store->ReadOrderedIds(0, [&](std::int64_t, const std::vector<AnsiString>*) { ++Count; });
    EXPECT_EQ(Count, 1);
}

}  // namespace
