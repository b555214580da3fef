// The SQLite store and other sessions' commits: whether anybody committed since the last
// look, the entries of the change log since then, and the hold protocol of the storage seam
// (ReadChanges ... FinishChanges; see RecordStore.h). The modes, states
// and invariants are at the top of SqliteRecordStore.h.
#include <sqlite3.h>

#include "framework/core/TextUtils.h"
#include "server/FileCommitWake.h"
#include "server/SqliteRecordStore.h"

namespace RecordServer {

TChangesSeen TSqliteRecordStore::ReadChanges(std::vector<TChange>& Changes, TLook /*Look*/)
{
    // Both looks are one here: a commit shows in the file's WAL index (or the memory log) the
    // moment it is acknowledged, and looking there costs no round trip.
    Changes.clear();
    if (FMemoryLog) return ReadMemoryLog(Changes);
    return Guard([&] {
        if (!DataVersionMoved()) return TChangesSeen::None;
        if (FIsFile) {
            // Other processes may commit at any moment: the log and every read until
            // FinishChanges see one snapshot (a WAL reader blocks no writer).
            FBeginRead.Run();
            FInSnapshot = true;
        }
        TStatementReset Done(FLogRead);
        FLogRead.Bind(1, FLogCursor.Applied());
        AnsiString OldKey, NewKey;
        return FLogCursor.TakeAll(
            [&](TChangeLogCursor::TEntry& Entry) {
                if (!FLogRead.Step()) return false;
                FLogRead.ColumnTextInto(3, OldKey);
                FLogRead.ColumnTextInto(4, NewKey);
                Entry = {FLogRead.ColumnInt64(0), FLogRead.ColumnInt64(1), static_cast<int>(FLogRead.ColumnInt64(2)), OldKey,
                         NewKey};
                return true;
            },
            Changes);
    });
}

TCommitWake* TSqliteRecordStore::Wake()
{
    if (!FWake) {
        if (FMemoryLog) FWake = FMemoryLog->Bell().Listen();
        else FWake = std::make_unique<TFileCommitWake>(sqlite3_db_filename(FDb.Handle(), "main"));
    }
    return FWake.get();
}

void TSqliteRecordStore::FinishChanges()
{
    if (FMemoryHold.owns_lock()) FMemoryHold.unlock();
    if (!FInSnapshot) return;
    FInSnapshot = false;
    try {
        FCommit.Run();
    } catch (const ESqliteError&) {
        // Ending a transaction that only read cannot lose anything; SQLite has ended it.
    }
}

TChangesSeen TSqliteRecordStore::ReadMemoryLog(std::vector<TChange>& Changes)
{
    if (FMemoryLog->End() == FLogCursor.Applied()) return TChangesSeen::None;
    // No other session writes the table until FinishChanges, so that the records compared
    // while the changes are taken in are as the entries leave them.
    FMemoryHold = FMemoryLog->LockForWrite();
    std::vector<TMemoryChangeLog::TEntry> Entries = FMemoryLog->After(FLogCursor.Applied());
    std::size_t Next = 0;
    TChangesSeen Seen = FLogCursor.TakeAll(
        [&](TChangeLogCursor::TEntry& Entry) {
            if (Next == Entries.size()) return false;
            const TMemoryChangeLog::TEntry& E = Entries[Next++];
            Entry = {E.Seq, E.Id, E.What, E.OldKey, E.NewKey};
            return true;
        },
        Changes);
    return Seen;
}

bool TSqliteRecordStore::DataVersionMoved()
{
    // Nothing committed since the last look: the statement (a read transaction) is spared.
    if (!FWalWatch.MayHaveChanged()) return false;
    TStatementReset Done(FDataVersion);
    FDataVersion.Step();
    std::int64_t Version = FDataVersion.ColumnInt64(0);
    FWalWatch.Remember();
    if (Version == FLastDataVersion) return false;
    FLastDataVersion = Version;
    return true;
}

std::int64_t TSqliteRecordStore::LogEnd()
{
    TStatementReset Done(FLogEnd);
    FLogEnd.Step();
    return FLogEnd.ColumnInt64(0);
}

void TSqliteRecordStore::RowWritten(void* Self, int Operation, const char*, const char* Table, long long RowId)
{
    auto* Store = static_cast<TSqliteRecordStore*>(Self);
    if (Operation == SQLITE_INSERT && SameText(Table, Store->FLogName)) Store->FLogged = RowId;
}

}  // namespace RecordServer
