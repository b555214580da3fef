// The SQLite store's watch on a WAL file's commits, which spares a session a read transaction
// at every operation while nobody commits.
#include <gtest/gtest.h>

#include "server/SqliteDb.h"
#include "server/WalCommitWatch.h"
#include "tests/support/TempDir.h"

namespace {

using namespace RecordServer;

// The watch answers "nothing committed" only while no connection (this one or another)
// committed since the last look: after each kind of commit, also one into a WAL that a
// checkpoint emptied, it sees a change once and then none.
TEST(WalCommitWatch, SeesEveryCommitOnceAndNothingWhileNoneCame)
{
    TempDir Dir;
    std::string File = Dir.File("watched.db");
    TSqliteDb Own(File), Other(File);
    Own.Exec("PRAGMA journal_mode=WAL");
    Own.Exec("CREATE TABLE t (v INTEGER)");
    Own.Exec("INSERT INTO t VALUES (0)");
    TWalCommitWatch Watch(Own.Handle());
    auto Look = [&] {
        bool Changed = Watch.MayHaveChanged();
        Own.Exec("SELECT count(*) FROM t");  // the look the watch stands in for
        Watch.Remember();
        return Changed;
    };
    EXPECT_TRUE(Look()) << "nothing is remembered before the first look";
    EXPECT_FALSE(Look());
    EXPECT_FALSE(Look());
    const char* const Steps[] = {"INSERT INTO t VALUES (1)", "UPDATE t SET v = v + 1",
                                 "DELETE FROM t WHERE rowid = (SELECT max(rowid) FROM t)",
                                 "PRAGMA wal_checkpoint(TRUNCATE); INSERT INTO t VALUES (3)"};
    for (const char* Step : Steps) {
        for (TSqliteDb* Writer : {&Other, &Own}) {
            Writer->Exec(Step);
            EXPECT_TRUE(Look()) << Step << (Writer == &Own ? " by the watched connection" : " by another connection");
            EXPECT_FALSE(Look()) << Step;
        }
    }
}

}  // namespace
