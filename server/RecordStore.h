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
//     take the changes in: Read, ComesBeforeKey,
//       ReadNeighbours, ... ---------------------> all see the storage as held
//     FinishChanges() ---------------------------> lets go
//   a write (Post, Delete):
//     Insert / Update / Delete ------------------> one transaction with its log entry; never
//                                                  inside a hold
//     HoldInStep() ------------------------------> true: holds, and nobody else wrote since
//                                                  this session's last look
//                                                  false: holds nothing
//     place the record in the view
//     Placed({Old, New, Before}) ----------------> kept with the write's log entry
//     FinishChanges() ---------------------------> lets go
//   another session's next Sync:
//     ReadChanges(Changes) ----------------------> the write, carrying Placed's place while
//                                                  its entry is the log's last
//
//   Free --ReadChanges: Listed/Lost, HoldInStep: true--> Held --FinishChanges--> Free
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

// Where the view of a write's session had the record: Old before the write, New after it, and
// Before, the record it then stands right after in the whole table (0: first). -1: not known.
struct TWritePlace {
    std::int64_t Old = -1, New = -1, Before = -1;
};

// One write of another session, as the change log keeps it.
struct TChange {
    std::int64_t Id = 0;
    TChangeKind Kind = TChangeKind::Inserted;
    std::vector<AnsiString> OldKey;  // Updated, Deleted: the key fields' texts before the write
    // Inserted, Updated: the key fields' texts after the write, when the log holds them
    // (entries written before it did hold none).
    std::optional<std::vector<AnsiString>> NewKey;
    // Where its writer's view had the record, where the store keeps it: places to try first,
    // which the session checks against its own view (the views may differ). Before (and New)
    // only while the table is as this write left it, and this is the one write taken in.
    TWritePlace Place;
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
    // After this session's write: holds the storage still, as ReadChanges does, and answers
    // true when nobody else wrote since this session's last look, so that its view and the
    // storage differ only by that write while the session places it; FinishChanges lets go.
    // False, holding nothing, otherwise or where a store cannot tell at little cost.
    virtual bool HoldInStep() = 0;
    // This session's last write: where its view had the record (Old) and put it (New). New and
    // Before count only while HoldInStep held and the view holds every record. A store may pass
    // this on with the write's log entry (TChange::Place), so that a session that takes in only
    // that write need not search its view, nor ask where it goes.
    virtual void Placed(const TWritePlace& /*Place*/) {}
    // Sets the filter that ReadOrderedIds and PassesFilter apply (empty: every record).
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
    // its view so (RecordView.h).
    using TRangeSink = std::function<void(const TRecordKey& Record)>;
    virtual void ReadRange(const TRecordKey* From, const TRecordKey* To, const TRangeSink& Sink) = 0;
    // False also when the record no longer exists.
    virtual bool PassesFilter(std::int64_t Id) = 0;
    // True when record A comes before record B in the order of ReadOrderedIds; nullopt when
    // either no longer exists.
    virtual std::optional<bool> ComesBefore(std::int64_t A, std::int64_t B) = 0;
    // True when record A comes before the place Key; nullopt when A no longer exists. Every
    // store orders as CompareRecordKeys (KeyOrder.h) does, so that keys held in memory are
    // compared without asking the storage.
    virtual std::optional<bool> ComesBeforeKey(std::int64_t A, const TRecordKey& Key) = 0;

    // False when there is no such record.
    virtual bool Read(std::int64_t Id, TStoredRecord& Record) = 0;
    // Reads ahead: up to Count records that pass the filter, in order, from record FromId on
    // (FromId first; nothing when it no longer exists), in one statement.
    virtual void ReadPage(std::int64_t FromId, int Count, std::vector<TStoredRecord>& Records) = 0;
    virtual std::optional<std::int64_t> ReadVersion(std::int64_t Id) = 0;
    // The records just before and just after the place Key (by its key fields alone) in the
    // order of ReadOrderedIds, whether they pass the filter or not, as stored now: their ids
    // in Before and *After (only the one before when After is null), 0 where there is none;
    // one statement. A session that finds them side by side in its view puts a new record
    // between them without comparing. False for a table without a key (ids are compared in
    // memory there).
    virtual bool ReadNeighbours(const TRecordKey& Key, std::int64_t& Before, std::int64_t* After) = 0;

    // Each write is one transaction. A key that another record has refuses the write
    // (DuplicateKey). Insert fills Record's id and version on success.
    virtual TWriteResult Insert(const std::vector<AnsiString>& Values, TStoredRecord& Record) = 0;
    // Writes Values over the record if it still has Version; the new version on success.
    virtual TWriteResult Update(std::int64_t Id, std::int64_t Version, const std::vector<AnsiString>& Values,
                                std::int64_t& NewVersion) = 0;
    virtual TWriteResult Delete(std::int64_t Id, std::int64_t Version) = 0;
};

}  // namespace RecordServer
