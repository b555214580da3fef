#pragma once
// The SQLite store: the storage seam (RecordStore.h) on SQLite, for one table, in one of two
// modes.
//
// Memory mode (no access file). The table lives in a memory database of the process, one per
// schema file (MemoryTables.h), in a shared cache: every session has a connection of its own,
// and the registry keeps one more open for the life of the process. Reads take no table locks
// (read_uncommitted), so that a session reading on one thread never makes another's write fail
// as locked; each write is a single statement, so a read never sees half a write. The change
// log is kept in the process beside the table (MemoryChangeLog.h), since the process's own
// sessions are its only writers: the writing store appends the entry under the log's write
// lock, which also makes the writers take turns.
//
// File mode (an access file). A database file in WAL mode with synchronous=FULL, which several
// processes may open at once: a crash loses at most the record being posted. A writer waits up
// to its busy timeout (5 s unless opened otherwise) for another's lock, in short steps
// (TSqliteDb::SetBusyTimeout), before its write fails with a message. The change log is a table, zfd_log_<table> (seq, id, what,
// oldkey, newkey), filled by triggers on the table, so that every writer's commits are logged in
// their own transaction (also those of a plain connection or an older server); a trigger on the
// log trims it to its latest entries. Whether anybody committed is told by the WAL index's
// header (WalCommitWatch.h) and, when that moved, PRAGMA data_version, without a transaction.
//
// The table, in either mode: zfd_id (the record id, never reused), zfd_ver (the record's
// version) and one text column per schema field. A unique index on the key's terms
// (SqliteSqlFunctions.h) orders the records and refuses a duplicate key even when two
// processes post at the same moment. Beside it, in either mode, the key-order summary
// zfd_blk_<table> and the triggers that keep it (KeySummary.h). Every value is bound as a
// parameter; the only names in SQL are the schema's table and field names, which the schema parser checked and which are
// quoted. Statements are reset as soon as they are read (TStatementReset).
//
// The class's parts, by concept:
//   SqliteRecordStore.cpp   opening, the filter, reads, and writes with their log entries
//   SqliteTableSetup.cpp    the table, its key index, the change log's table and triggers, and
//                           the prepared statements
//   SqliteChangeLog.cpp     others' commits: looking for them, reading the log, and the hold
//                           protocol (ReadChanges, FinishChanges)
//   SqliteKeySummary.cpp    the key-order summary: its table and triggers, the checks that make
//                           it again on opening, and ReadSummary
//   SqliteSqlFunctions.*    the SQL functions of ours and the SQL that calls them
//
// States, besides the mode:
//   Free       nothing held.
//   Snapshot   (file) a read transaction, from a ReadChanges that found changes until
//              FinishChanges: every read meanwhile sees one state of the file.
//   Holding    (memory) the memory log's write lock, from a ReadChanges that found changes
//              until FinishChanges: nobody else writes the table meanwhile.
// Invariants:
//   FInSnapshot only in file mode; FMemoryHold.owns_lock() only in memory mode.
//   FView, FPasses and FPage are prepared for FFilter, which is bound to them as ?2.
//   FLogCursor.Applied() is the log's entry up to which this session took others' writes in.
//
// Failures: every SQLite failure leaves this class as EServerError (Guard); a duplicate key or
// a version no longer stored is a result (TWriteResult), not a failure.
//
// Threading: one thread at a time; different stores (sessions) may live on different threads.
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "server/ChangeLogCursor.h"
#include "server/CommitWake.h"
#include "server/MemoryChangeLog.h"
#include "server/RecordStore.h"
#include "server/Schema.h"
#include "server/ServerError.h"
#include "server/SqliteDb.h"
#include "server/SqliteSqlFunctions.h"
#include "server/SqlText.h"
#include "server/WalCommitWatch.h"

namespace RecordServer {

class TSqliteRecordStore : public TRecordStore {
public:
    // How long a writer of a file waits for another's lock, unless its opening says otherwise.
    static constexpr int DefaultBusyTimeoutMs = 5000;

    // Opens the table of Schema in the memory database kept for the schema file at
    // CanonicalSchemaPath, creating the table when it does not exist yet.
    static std::unique_ptr<TRecordStore> OpenMemory(const TTableSchema& Schema, const AnsiString& CanonicalSchemaPath);
    // Opens the table of Schema in the database file at Path, creating the file and the table
    // when they do not exist yet. The failures say which file and why.
    static std::unique_ptr<TRecordStore> OpenFile(const TTableSchema& Schema, const AnsiString& Path,
                                                  int BusyTimeoutMs = DefaultBusyTimeoutMs);

    // Target: a file's path or a memory database's URI; Where: that place, for messages.
    // MemoryLog: the change log of a memory table, kept in the process; null for a file.
    TSqliteRecordStore(const TTableSchema& Schema, const AnsiString& Target, bool IsFile, const AnsiString& Where,
                       std::shared_ptr<TMemoryChangeLog> MemoryLog, int BusyTimeoutMs = DefaultBusyTimeoutMs);

    TChangesSeen ReadChanges(std::vector<TChange>& Changes, TLook Look) override;
    void FinishChanges() override;
    // Memory mode: a listener of the table's commit bell; file mode: a watch on the WAL file.
    TCommitWake* Wake() override;
    void SetFilter(const std::vector<TFilterCondition>& Conditions) override;
    // One key in sixteen: a comparison in process costs little, while every key would make
    // opening a large table half as slow again and a session on ten million records large.
    void ReadOrderedIds(int KeyEvery, const TOrderedIdSink& Sink) override;
    void ReadSummary(const TSummarySink& Sink) override;
    void ReadRange(const TRecordKey* From, const TRecordKey* To, const TRangeSink& Sink) override;
    bool PassesFilter(std::int64_t Id) override;
    bool Read(std::int64_t Id, TStoredRecord& Record) override;
    void ReadPage(std::int64_t FromId, int Count, std::vector<TStoredRecord>& Records) override;
    std::optional<std::int64_t> ReadVersion(std::int64_t Id) override;
    TWriteResult Insert(const std::vector<AnsiString>& Values, TStoredRecord& Record) override;
    TWriteResult Update(std::int64_t Id, std::int64_t Version, const std::vector<AnsiString>& Values,
                        std::int64_t& NewVersion) override;
    TWriteResult Delete(std::int64_t Id, std::int64_t Version) override;

private:
    // Runs Step; a failure of SQLite's leaves as EServerError.
    template <class F>
    auto Guard(F&& Step) -> decltype(Step())
    {
        try {
            return Step();
        } catch (const ESqliteError& E) {
            throw StorageFailed(E);
        }
    }
    static EServerError StorageFailed(const ESqliteError& E);
    // Runs Read with no commit between the reads it makes: a memory table's writers wait
    // meanwhile (its reads see uncommitted rows); a file is read in one snapshot, the one held
    // already when the session holds one.
    template <class F>
    void ReadInSnapshot(F&& Read)
    {
        std::unique_lock<std::mutex> NoWriters;
        bool OwnSnapshot = false;
        if (FMemoryLog) {
            if (!FMemoryHold.owns_lock()) NoWriters = FMemoryLog->LockForWrite();
        } else if (!FInSnapshot) {
            FBeginRead.Run();
            OwnSnapshot = true;
        }
        struct TEndSnapshot {
            TSqliteStatement* Commit;  // not owned; null when the snapshot is not this call's own
            ~TEndSnapshot()
            {
                try {
                    if (Commit) Commit->Run();
                } catch (const ESqliteError&) {
                    // Ending a transaction that only read cannot lose anything.
                }
            }
        } EndSnapshot{OwnSnapshot ? &FCommit : nullptr};
        Read();
    }

    // Table setup (SqliteTableSetup.cpp).
    void PrepareTable();
    void PrepareChangeLog();
    void PrepareKeyIndex();
    void PrepareStatements();
    // The SQL that packs a record's key before a write ("old.") or after it ("new."), as the
    // change log keeps it (after the tag); its hash tags the key's definition.
    AnsiString KeyExpression(const char* Row = "old.") const;

    // The change log (SqliteChangeLog.cpp).
    TChangesSeen ReadMemoryLog(std::vector<TChange>& Changes);
    // True when another connection committed since the last call; the first call after
    // opening answers true.
    bool DataVersionMoved();
    // The sequence of the newest log entry of a file (0 when the log is empty).
    std::int64_t LogEnd();
    // Told of every row this connection writes, also by triggers: the log entry of a write.
    // (RowId is an sqlite3_int64.)
    static void RowWritten(void* Self, int Operation, const char* Database, const char* Table, long long RowId);

    // The key-order summary (SqliteKeySummary.cpp).
    // Makes the summary's table, index and triggers when missing, and the summary again when
    // it is out of date (KeySummary.h), inside the setup transaction.
    void PrepareSummary();
    // Makes the summary again from the table, inside a write transaction.
    void RefillSummary();
    // The SQL of the block that a key belongs to, the key given by Row ("new." or "old.").
    AnsiString BlockOf(const char* Row) const;
    // The bound's columns, comma separated: the key fields', or zfd_id for a table without a key.
    AnsiString BoundColumns() const;
    // The order of the bounds' terms on the summary's table, comma separated, with Direction.
    AnsiString BoundOrder(const char* Direction = "") const;

    // Reads and writes (SqliteRecordStore.cpp).
    template <class F>
    TWriteResult LoggedWrite(TChangeKind Kind, const std::int64_t& Id, const std::vector<AnsiString>* Values, F&& Write);
    template <class F>
    TWriteResult MemoryLoggedWrite(TChangeKind Kind, const std::int64_t& Id, const std::vector<AnsiString>* Values,
                                   F& Write);
    template <class F>
    TWriteResult RunWrite(F& Write);
    // The key fields' texts of record Id, into Key; false when there is no such record. A
    // table without a key has none to read.
    bool ReadKey(std::int64_t Id, std::vector<AnsiString>& Key);
    // The version and the fields, from column First of Stmt's row on.
    void ReadRow(const TSqliteStatement& Stmt, int First, TStoredRecord& Record) const;
    AnsiString Column(std::size_t Field) const { return ColumnOf(FSchema, Field); }
    AnsiString ColumnList() const;
    // The point ReadChanges counts from becomes the log's end (inside ReadInSnapshot).
    void RestartLog();
    // The statement of ReadRange with a lower and an upper bound or not, made at its first use.
    TSqliteStatement& RangeStatement(bool HasFrom, bool HasTo);
    // The tables a page is read from, and its condition (see ReadPage).
    AnsiString PageSource() const;
    AnsiString PageRange() const;
    // Parameters ?1..?N: the values in field order (the statement runs and is reset while
    // Values is alive, so they are not copied).
    int BindValues(TSqliteStatement& Stmt, const std::vector<AnsiString>& Values);

    TTableSchema FSchema;
    TSqliteDb FDb;
    AnsiString FWhere;  // where the table lives, for messages
    AnsiString FTable;  // the quoted table name
    TSqliteStatement FDataVersion, FRead, FReadVersion, FInsert, FUpdate, FDelete, FKeyRead;
    TSqliteStatement FLogEnd, FLogRead, FBeginRead, FCommit, FSummary;
    bool FIsFile = false;
    int FBusyTimeoutMs = DefaultBusyTimeoutMs;  // a file's writers' wait for another's lock
    bool FInSnapshot = false;  // a read transaction from ReadChanges until FinishChanges
    TSqliteStatement FView, FPasses, FPage;
    TSqliteStatement FRange[4];  // ReadRange's: [From given + 2 * To given], made when first used
    AnsiString FWhereFilter;     // the filter's SQL condition, for FRange
    std::unique_ptr<TCompiledFilter> FFilter;  // owned; bound to FView, FPasses, FPage and FRange
    std::int64_t FLastDataVersion = -1;
    TWalCommitWatch FWalWatch;  // a file's commits seen without a transaction; a memory table has none
    AnsiString FLogName, FLog;  // the change log table's name, and quoted
    AnsiString FBlocksName, FBlocks;  // the key-order summary's table's name, and quoted
    std::int64_t FLogged = 0;   // the log entry of this connection's last write (0: none)
    TChangeLogCursor FLogCursor;  // what this session took in of the log
    std::shared_ptr<TMemoryChangeLog> FMemoryLog;  // shared with the table's other sessions; null for a file
    std::unique_lock<std::mutex> FMemoryHold;      // the log's write lock, while Holding
    std::unique_ptr<TCommitWake> FWake;  // owned; made by the first Wake()
};

}  // namespace RecordServer
