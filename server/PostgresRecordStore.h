#pragma once
// The PostgreSQL store: the storage seam (RecordStore.h) on a PostgreSQL server, for tables
// that many users on many machines share. A dataset selects it with a connection URI as its
// access file ("postgresql://user@host:port/dbname", or "postgres://...").
//
// The table: zfd_id (bigint identity, never reused), zfd_ver (the record's version) and one
// text column per schema field. A unique index on the key fields orders the records (number
// fields by their exact NUMERIC value, texts by their bytes, COLLATE "C") and refuses a
// duplicate key however many writers post at once. The store creates the table, its index
// and its change log on first open, and refuses a table whose columns disagree with the
// schema, naming each difference.
//
// The change log, zfd_log_<table> (seq, id, what, oldkey, newkey), is written by a trigger on
// the table, in the writing transaction, for every writer (a plain SQL client included), and
// statement triggers keep the key-order summary, zfd_blk_<table> (KeySummary.h), in it too; a
// TRUNCATE, which fires no row trigger, is logged by a statement trigger as one entry that
// sends every session to read its view again. The names derived from the table's (a hash
// stands for a name longer than 40 bytes) are checked on open to be no other table's, and the
// log carries its table's name as its comment. Its
// sequences come from a per-table counter row in zfd_sequences, which the trigger raises:
// writers of one table queue on that row from their write to their commit, so the sequences
// have no gaps and follow the commit order, as a reader of the log needs. The trigger also
// sends a notification on the table's channel, carrying the entry when it is short enough;
// sessions LISTEN, and look for changes only after a notification of another connection (or
// a write of another session of this process, which needs no round trip to be known). Where
// the notices carry every entry since the last look, and no filter asks for a snapshot, the
// session takes them in without a round trip at all.
//
// Every value travels as a bound parameter; the only names in the SQL are the schema's table
// and field names, which the schema parser checked and which are quoted. Filters run in this
// process, by the same code as in the SQLite store, on the field texts read.
//
// The class's parts, by concept:
//   PostgresRecordStore.cpp  opening, the filter, reads, and writes (which learn their log
//                            entry from the notice of their own commit)
//   PostgresTableSetup.cpp   the table, its key index, the change log, its trigger function,
//                            and the statements each new connection prepares
//   PostgresChangeLog.cpp    others' commits: notices, the log, and the hold protocol
//
// States:
//   Connected or Lost (FConn): a lost connection makes the call that met it fail with a
//     message saying so; the next call connects again (Guard), prepares the statements
//     again, and reads the log (or the whole view, when the log was trimmed meanwhile).
//   Snapshot (FInSnapshot): a REPEATABLE READ transaction, from a ReadChanges that needed one
//     until FinishChanges; every read meanwhile sees one state of the table.
// Invariants:
//   FNotified holds only entries after FLogCursor.Applied(), at most LogKeep of them.
//   FLocalSeen <= the count of this process's writes of the table (LocalWrites).
//   FInSnapshot is false whenever FConn is lost.
//
// Failures: libpq's and the server's failures leave this class as EServerError (Guard); a
// duplicate key or a version no longer stored is a result (TWriteResult), not a failure.
//
// Threading: one thread at a time; different stores (sessions) may live on different threads.
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "server/ChangeLogCursor.h"
#include "server/CommitWake.h"
#include "server/PgConnection.h"
#include "server/PgNotice.h"
#include "server/PgSocketWake.h"
#include "server/RecordStore.h"
#include "server/Schema.h"
#include "server/ServerError.h"

namespace RecordServer {

// True when AccessFile is a PostgreSQL connection URI.
bool IsPostgresUri(const AnsiString& AccessFile);

class TPostgresRecordStore : public TRecordStore {
public:
    // The change log keeps at least LogKeep entries; every LogTrimEvery-th entry trims it.
    static constexpr int LogKeep = 8192;
    static constexpr int LogTrimEvery = 1024;
    // The longest entry a notice carries (PostgreSQL refuses payloads of 8000 bytes or more);
    // the trigger sends an empty notice for a longer one.
    static constexpr int MaxNoticeEntry = 7900;

    // Connects to Uri and opens the table of Schema there, creating it when it does not exist.
    // Raises EServerError when the server cannot be reached or the table disagrees with Schema.
    static std::unique_ptr<TRecordStore> Open(const TTableSchema& Schema, const AnsiString& Uri);

    TPostgresRecordStore(const TTableSchema& Schema, const AnsiString& Uri);

    TChangesSeen ReadChanges(std::vector<TChange>& Changes, TLook Look) override;
    void FinishChanges() override;
    // The connection's socket, on which the notices of others' commits arrive.
    TCommitWake* Wake() override;
    // Every key is in the view: a session places its writes without asking the table.
    void SetFilter(const std::vector<TFilterCondition>& Conditions) override;
    // A comparison with the table is a round trip: every key is kept in the view (the view's
    // reading brings them all anyway).
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
    // Runs Sql in one snapshot with a read of the log's end, which becomes the point ReadChanges
    // counts from (the snapshot is ReadChanges', when it holds one), and answers its rows.
    TPgResult ReadFromLogEnd(const AnsiString& Sql);
    // Writes of the sessions of this process, per table: a session learns of another session's
    // commit here without a round trip (a notification may reach it a moment later). Safe to
    // use from any thread.
    class TLocalWrites {
    public:
        std::int64_t Count(const AnsiString& Table);
        std::int64_t Add(const AnsiString& Table);

    private:
        std::mutex FLock;
        std::map<AnsiString, std::int64_t> FCounts;  // by URI and table name
    };
    static TLocalWrites& LocalWrites();

    // Runs Step on a working connection and turns libpq's failures into the server's. A lost
    // connection fails this call; the next one connects again.
    template <class F>
    auto Guard(F&& Step) -> decltype(Step())
    {
        try {
            if (!FConn.Connected()) {
                FInSnapshot = false;
                FConn.Reconnect();
                Connected();
                FMustLook = true;  // notifications may have been missed meanwhile
            }
            // Notices that came with the step's answers wake the watcher (KeepArrived).
            struct TKeep {
                TPostgresRecordStore& Store;
                ~TKeep() { Store.KeepArrived(); }
            } Keep{*this};
            return Step();
        } catch (const EPgError& E) {
            if (E.Lost()) FInSnapshot = false;
            if (FInSnapshot) FinishChanges();
            throw EServerError(E.Message());
        }
    }

    // Table setup (PostgresTableSetup.cpp).
    void CheckNames() const;
    void PrepareTable();
    // Whether the table (or index, ...) of that quoted name exists.
    bool Exists(const AnsiString& QuotedName);
    // "The table T in the PostgreSQL database D", to begin a message.
    AnsiString InDatabase() const;
    void CheckColumns();
    void CheckOwnNames();
    void PrepareKeyIndex();
    // Raises EServerError naming the first record whose number key no store could index.
    void RefuseBadNumberKeys();
    void PrepareChangeLog();
    // The key-order summary's table, index and triggers (KeySummary.h); the summary is made
    // again when any of them was made anew, or when it is out of date.
    void PrepareSummary();
    // Answers whether any of the summary's triggers (or their functions) was made anew.
    bool PrepareSummaryTriggers();
    // Makes the summary again from the table, inside a transaction that keeps writers out.
    void RefillSummary();
    // The bound columns of the summary (the key fields', or zfd_id), and their order.
    AnsiString BoundColumns() const;
    AnsiString BoundOrder(const AnsiString& Qualifier, const char* Direction = "") const;
    // What every new connection needs: the statements, and the channel it listens to.
    void Connected();
    AnsiString Column(std::size_t Field) const;
    AnsiString ColumnList() const;
    // One key field as it is ordered and compared: numbers by their exact value, texts by
    // their bytes; of the field's column behind Qualifier, or of the SQL Text.
    AnsiString KeyExpr(std::size_t Field, const AnsiString& Qualifier) const;
    AnsiString KeyExprOf(std::size_t Field, const AnsiString& Text) const;
    // The key expressions, comma separated (empty without a key).
    AnsiString KeyList(const AnsiString& Qualifier) const;
    // The order of the records: the key expressions, then the id.
    AnsiString Order(const AnsiString& Qualifier) const;

    // The change log (PostgresChangeLog.cpp).
    void KeepNotified(std::string_view Payload);
    // While a live view watches: keeps the notices of others' commits that came into libpq
    // with the answers to this store's statements (the socket shows them no more), and rings
    // the wake so that the next look takes them in. Never raises.
    void KeepArrived() noexcept;
    // Whether the notices kept hold every entry since the last look, but this session's own.
    bool NoticesCoverLog() const;
    TChangesSeen TakeNotified(std::vector<TChange>& Changes);
    // Drops the notices of entries taken in.
    void ForgetNotified();
    // Whether every entry of Log but deletions holds the key its write left.
    static bool HoldsNewKeys(const TPgResult& Log);

    // Reads and writes (PostgresRecordStore.cpp).
    template <class F>
    TWriteResult LoggedWrite(const char* Statement, TPgParams Params, F&& Written);
    bool Passes(const TStoredRecord& Record) const;
    // Raises EServerError for a value PostgreSQL's text cannot hold (a NUL character), naming
    // its field: libpq would end it there and store the rest cut off.
    void RefuseUnstorable(const std::vector<AnsiString>& Values) const;
    // The version and the fields, from column First of the row on.
    void ReadRow(const TPgResult& Result, int Row, int First, TStoredRecord& Record) const;

    TTableSchema FSchema;
    TPgConnection FConn;
    AnsiString FTable, FLog, FLogFunction, FLogTrigger, FTruncateTrigger;  // quoted names
    AnsiString FKeyIndex;                                 // unquoted
    AnsiString FOwn;                                      // the table's name as the derived names hold it
    AnsiString FBlocks;                                   // the key-order summary's table, quoted
    AnsiString FBlocksIndex;                              // its index on the bounds, unquoted
    AnsiString FChannel;                                  // the channel that the log's trigger notifies
    AnsiString FLocalKey;                                 // the table among the writes of this process
    std::vector<TFilterCondition> FFilter;
    std::vector<std::size_t> FFilterFields;  // per condition: its field
    TChangeLogCursor FLogCursor;             // what this session took in of the log
    std::int64_t FLocalSeen = 0;             // the writes of this process's sessions taken in
    bool FMustLook = true;                   // read the log at the next look whatever was notified
    // The entries others' notices carried, by sequence, until they are taken in.
    std::map<std::int64_t, TPgNotice> FNotified;
    bool FNoticeMissing = false;       // a notice came without its entry since the last look
    bool FNoticeCarriesEntry = false;  // every entry of the table fits in its notice
    bool FNoticesKept = false;         // others' notices came with a statement's answer: look at the next call
    bool FOwnEntryUnknown = false;     // a write's notice did not tell its entry: read the view again
    bool FInSnapshot = false;          // a read transaction from ReadChanges until FinishChanges
    std::unique_ptr<TPgSocketWake> FWake;  // owned; made by the first Wake()
};

}  // namespace RecordServer
