#pragma once
// The storage seam of the server: everything a session needs from the place where records
// live, for one table. Two stores implement it: SQLite, for memory tables and database files
// (SqliteRecordStore), and PostgreSQL, for tables that many users on many machines share
// (PostgresRecordStore); RecordStoreFactory picks one by the access file.
//
// Records are identified by ids that are never reused, and carry a version that each write
// raises, so that a session can tell whether a record changed since it read it and so that
// a write based on an old reading is refused instead of overwriting another session's change.
//
// A store raises EServerError and nothing else: whatever its engine reports is translated at
// the store's own edge.
//
// The hold protocol. While a session takes in others' commits, or places its own write, the
// store may hold the storage still (a read transaction, or a lock that keeps the other writers
// out), so that what the session compares does not change under it:
//
//   session (TableSession)                         store
//   ----------------------                         -----
//   before every operation (Sync):
//     ReadChanges(Changes, Look) ----------------> None: nobody else committed; holds nothing
//                                                  Listed / Lost: may hold from here on
//     take the changes in: Read, PassesFilter,
//       ReadRange, ... --------------------------> all see the storage as held
//     FinishChanges() ---------------------------> lets go
//   a write (Post, Delete):
//     Insert / Update / Delete ------------------> one transaction with its log entry; never
//                                                  inside a hold
//     place the record in the view (its block read by ReadRange when not cached)
//     FinishChanges() ---------------------------> lets go
//
//   Free --ReadChanges: Listed/Lost--> Held --FinishChanges--> Free
//
// FinishChanges is harmless when nothing is held, so a session calls it on every way out
// (a scope guard), also when taking the changes in fails.
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "framework/core/Exceptions.h"
#include "server/FilterCommand.h"

namespace RecordServer {

class TCommitWake;

struct TStoredRecord {
    std::int64_t Id = 0;
    std::int64_t Version = 0;
    std::vector<AnsiString> Values;  // in the schema's field order
};

// Where a record stands in the order: its key fields' texts (in schema order) and its id.
struct TRecordKey {
    std::vector<AnsiString> Values;
    std::int64_t Id = 0;
};

enum class TChangeKind { Inserted = 1, Updated = 2, Deleted = 3 };

// One write of another session, as the change log keeps it.
struct TChange {
    std::int64_t Id = 0;
    TChangeKind Kind = TChangeKind::Inserted;
    std::vector<AnsiString> OldKey;  // Updated, Deleted: the key fields' texts before the write
    // Inserted, Updated: the key fields' texts after the write, when the log holds them
    // (entries written before it did hold none).
    std::optional<std::vector<AnsiString>> NewKey;
};

// How much a look for others' commits must find. Sure: every commit acknowledged to anyone
// (another session, process or machine) before the look began; a store that cannot know it
// otherwise asks the storage, at most one round trip. Known: what the store can tell without
// asking, for an operation that asks the storage itself right after and is judged by it (a
// write, which the storage checks by key and version; a new reading of the view).
enum class TLook { Sure, Known };

enum class TChangesSeen {
    None,    // nobody else committed since the last look
    Listed,  // the writes of others since the last look, in commit order
    Lost,    // others committed, but the log no longer reaches back that far, or emptied the whole
             // table at once: read the view again
};

// One block of the key-order summary (KeySummary.h): the key its records start at (none for
// the first block, which starts before every key; a table without a key has the id instead)
// and how many records it holds.
struct TSummaryBlock {
    std::optional<TRecordKey> Bound;
    std::int64_t Count = 0;
};

enum class TWriteResult {
    Done,
    Changed,       // the record changed or disappeared since the version given was read
    DuplicateKey,  // another record has the same key
};

class TRecordStore {
public:
    virtual ~TRecordStore() = default;

    // Every write appends (sequence, record id, what happened, the key before) to a change
    // log of the store's own, in the same transaction as the write. ReadChanges answers the
    // entries that other sessions appended since the last call (or since ReadOrderedIds or
    // ReadSummary);
    // this session's own writes are left out, since the session placed them itself. The log
    // is trimmed to its latest few thousand entries; a session that fell further behind gets
    // Lost and reads its view again.
    // When it answers Listed or Lost, ReadChanges may hold one snapshot of the storage for
    // every read until FinishChanges, so that the records compared while the changes are
    // taken in do not change under them; the caller calls FinishChanges before it writes. A
    // store may go without one only where the session reads nothing to take the changes in:
    // no filter and every entry with its new key (the session places each record by its key
    // among the records it holds).
    virtual TChangesSeen ReadChanges(std::vector<TChange>& Changes, TLook Look) = 0;
    virtual void FinishChanges() = 0;
    // What wakes a live view when another session may have committed (CommitWake.h): made at
    // the first call, owned by the store and valid while it lives; null where a store has
    // none. Raises EServerError when the system gives nothing to watch.
    virtual TCommitWake* Wake() { return nullptr; }
    // Sets the filter that ReadOrderedIds, ReadRange, ReadPage and PassesFilter apply (empty:
    // every record).
    // Raises EServerError when a condition names a field the table does not have.
    virtual void SetFilter(const std::vector<TFilterCondition>& Conditions) = 0;
    // Hands Sink the ids of the records that pass the filter, ordered by the key fields
    // (numbers numerically), then by insertion; with every KeyEvery-th record (the first, the
    // KeyEvery+1-th, ...) and with the last also its key fields' texts, else null. The ids and
    // the point ReadChanges counts from are read with no commit between them.
    using TOrderedIdSink = std::function<void(std::int64_t Id, const std::vector<AnsiString>* Key)>;
    virtual void ReadOrderedIds(int KeyEvery, const TOrderedIdSink& Sink) = 0;
    // The key-order summary's blocks (KeySummary.h), in order, handed to Sink: every record,
    // whatever the filter, read in one snapshot (or with the writers kept out), with the point
    // ReadChanges counts from, as ReadOrderedIds reads it. Outside a hold.
    using TSummarySink = std::function<void(const TSummaryBlock& Block)>;
    virtual void ReadSummary(const TSummarySink& Sink) = 0;
    // The records that pass the filter with From <= key < To (by the key fields, or the id in a
    // table without a key; a null bound is open), in order, each handed to Sink with its key
    // fields' texts and id: one indexed range read, as stored now. A session reads one block of
    // its view so (RecordView.h). Every store orders as CompareRecordKeys (KeyOrder.h) does, so
    // that the keys a session holds are compared in memory without asking the storage.
    using TRangeSink = std::function<void(const TRecordKey& Record)>;
    virtual void ReadRange(const TRecordKey* From, const TRecordKey* To, const TRangeSink& Sink) = 0;
    // False also when the record no longer exists.
    virtual bool PassesFilter(std::int64_t Id) = 0;
    // False when there is no such record.
    virtual bool Read(std::int64_t Id, TStoredRecord& Record) = 0;
    // Reads ahead: up to Count records that pass the filter, in order, from record FromId on
    // (FromId first; nothing when it no longer exists), in one statement.
    virtual void ReadPage(std::int64_t FromId, int Count, std::vector<TStoredRecord>& Records) = 0;
    virtual std::optional<std::int64_t> ReadVersion(std::int64_t Id) = 0;
    // Each write is one transaction. A key that another record has refuses the write
    // (DuplicateKey). Insert fills Record's id and version on success.
    virtual TWriteResult Insert(const std::vector<AnsiString>& Values, TStoredRecord& Record) = 0;
    // Writes Values over the record if it still has Version; the new version on success.
    virtual TWriteResult Update(std::int64_t Id, std::int64_t Version, const std::vector<AnsiString>& Values,
                                std::int64_t& NewVersion) = 0;
    virtual TWriteResult Delete(std::int64_t Id, std::int64_t Version) = 0;
};

}  // namespace RecordServer
