// The SQLite store and other sessions' commits: whether anybody committed since the last
// look, the entries of the change log since then, and the hold protocol of the storage seam
// (ReadChanges ... FinishChanges, HoldInStep, Placed; see RecordStore.h). The modes, states
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

// A memory table tells from its log in process; a file would need a read transaction and a
// look at its log, which cost as much as what knowing it saves.
bool TSqliteRecordStore::HoldInStep()
{
    if (!FMemoryLog) return false;
    if (!FMemoryHold.owns_lock()) FMemoryHold = FMemoryLog->LockForWrite();
    if (FMemoryLog->End() == FLogCursor.Applied()) return true;
    FMemoryHold.unlock();
    return false;
}

void TSqliteRecordStore::Placed(const TWritePlace& Place)
{
    if (!FMemoryLog) return;
    // Where the record went holds for the table only while this session held it in step since
    // the write; where it was is a place to try, which a reader checks.
    TWritePlace Told = Place;
    if (!FMemoryHold.owns_lock()) Told.New = Told.Before = -1;
    FMemoryLog->SetPlace(FLastOwnSeq, Told);
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
    // Another session's one write, the log's last entry, with where its writer's view had it.
    // Where it went (Before, New) holds while the log is held, since the table is as that
    // write left it. Only the last entry tells: after a write of this session's (out of step,
    // so placed without telling) the place told before may be wrong.
    if (Seen == TChangesSeen::Listed && Changes.size() == 1 && Entries.back().Seq != FLastOwnSeq &&
        Entries.back().Id == Changes[0].Id) {
        Changes[0].Place = Entries.back().Place;
        if (!Changes[0].NewKey) Changes[0].Place.New = Changes[0].Place.Before = -1;
    }
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
