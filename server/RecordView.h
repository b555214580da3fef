#pragma once
// The records a session sees, in key order, as a list of blocks whose records are read only
// when a position in them is visited. Positions are 0-based here (the interface's record
// numbers are positions + 1).
//
// The list holds, per block, its bound (the key its records start at; none for block 0, which
// starts before every key) and its count; a Fenwick tree over the counts gives the block of a
// position, and the position of a block, in O(log blocks). A record's position is the count
// before its block plus its place in it. A block's records (ids with their keys) are read from
// the store by the loader with the block's bound and the next one's - one indexed range read -
// when a position in the block is visited or a record is put into it, and kept in a cache of at
// most CacheBlocks blocks, the one used longest ago going first. So memory is the list (one
// bound and count per block of about a thousand records) plus the cache, whatever the table's
// size.
//
// The blocks are the view's own partition of the key space: they start as the store's summary
// (or, filtered, every BlockRows-th passing record) and then follow the records put in and
// taken out: a cached block that reaches SplitRows records is split in two (its middle record's
// key becomes the new block's bound), an uncached one when it is next loaded; a block left with
// no record goes (block 0 stays). The store's own blocks may split differently meanwhile: a
// block's records are read by its bounds, so the two need not agree.
//
// Records put in or taken out of an uncached block change only its count. A loaded block's
// count becomes what the store holds: a load may see commits the session has not taken in yet
// (Fresh); putting a record in and taking one out of a cached block go by its id, so taking
// those commits in later changes nothing twice. A fresh block stays cached until Settle (called
// once the session took in the log up to a point after the load): evicted and then counted
// down by a commit it already held, its count would be wrong until its next load.
//
// Invariants:
//   FBlocks is never empty; block 0 has no bound, every other block one, rising strictly in
//     the key order (KeyOrder.h); only block 0 may count no record.
//   FCount is the sum of the counts; the Fenwick tree agrees with the counts unless stale.
//   A cached block (Slot >= 0) and its slot point at each other; its records are ordered by
//     key, lie in [its bound, the next bound), number its count, and are below SplitRows.
//   At most CacheBlocks slots are taken by blocks that are not fresh.
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "framework/core/Exceptions.h"
#include "server/KeySummary.h"
#include "server/RecordStore.h"
#include "server/Schema.h"

namespace RecordServer {

class TRecordView {
public:
    // Blocks kept cached: the page's, the current record's and their neighbours' fit many times.
    static constexpr std::size_t CacheBlocks = 32;
    using TId = std::int64_t;
    // Reads the records (ids and keys) with From <= key < To in key order into Records; a null
    // bound is open. The view as of now, which may be ahead of the log the session took in.
    using TLoader = std::function<void(const TRecordKey* From, const TRecordKey* To, std::vector<TRecordKey>& Records)>;

    // Schema orders the keys (not owned: valid while the view is used); Loader reads blocks.
    void Open(const TTableSchema& Schema, TLoader Loader);
    // Forgets every block: one empty block 0, uncached.
    void Clear();
    // Block sizes: split at Split records (SplitRows unless set), at most Cache blocks cached.
    void SetSizes(std::int64_t Split, std::size_t Cache);
    // The sizes of views opened from now on (tests make them small, so that a session's blocks
    // split and leave the cache); 0 for the usual ones.
    static void SetOpeningSizes(std::int64_t Split, std::size_t Cache);
    // Adds a block after the last (Bound: none only for the first one added after Clear, which
    // becomes block 0 and replaces the empty one).
    void AddBlock(std::optional<TRecordKey> Bound, std::int64_t Count);

    std::int64_t Count() const { return FCount; }
    bool IsEmpty() const { return FCount == 0; }
    std::size_t BlockCount() const { return FBlocks.size(); }
    std::size_t CachedCount() const { return FSlots.size() - FFree.size(); }
    // The record at Pos (0 .. Count-1): its block is loaded when it is not cached.
    TId At(std::int64_t Pos);
    const TRecordKey& RecordAt(std::int64_t Pos);
    // Position of the record with Key (its key fields and id); -1 when the view does not hold it.
    std::int64_t Locate(const TRecordKey& Key);
    // Position of record Id among the cached blocks; -1 when none holds it.
    std::int64_t FindCached(TId Id) const;

    // Where a record was put or taken: its position when its block is cached, else -1.
    // Puts the record Key in at its place (taking out a record with its id that its block holds
    // already). Load: read its block first when it is not cached (else only its count grows).
    std::int64_t Put(const TRecordKey& Key, bool Load);
    // Takes the record Key out (by its key, then by its id within the block). Load: read the
    // block first when it is not cached (else only its count falls). Answers whether a cached
    // block held it, or, not loaded, that the count fell; Pos receives its position or -1.
    bool Take(const TRecordKey& Key, bool Load, std::int64_t& Pos);
    void RemoveAt(std::int64_t Pos);
    // The log is taken in up to a point after every load so far: fresh blocks may go.
    void Settle();

    // The first broken invariant above, or empty text (Invariants.h).
    AnsiString CheckInvariants() const;

private:
    struct TBlock {
        std::optional<TRecordKey> Bound;
        std::int64_t Count = 0;
        int Slot = -1;  // its records in FSlots, or -1
    };
    struct TSlot {
        std::vector<TRecordKey> Records;
        std::size_t Block = 0;
        std::uint64_t Used = 0;  // FClock at its last use
        bool Fresh = false;      // loaded since the last Settle
    };

    int Compare(const TRecordKey& A, const TRecordKey& B) const;
    // The last block whose bound is at or before Key.
    std::size_t BlockOfKey(const TRecordKey& Key) const;
    // The block holding Pos; Start receives its first position.
    std::size_t BlockOf(std::int64_t Pos, std::int64_t& Start) const;
    std::int64_t BlockStart(std::size_t Block) const;
    // Block's records, loaded when not cached; marks it used.
    std::vector<TRecordKey>& Records(std::size_t Block);
    void Load(std::size_t Block);
    // Evicts the blocks used longest ago (fresh ones stay) until Room more fit the bound.
    void Trim(std::size_t Room);
    void SetCount(std::size_t Block, std::int64_t Count);
    void Split(std::size_t Block);
    void RemoveBlock(std::size_t Block);
    void RebuildTree() const;

    const TTableSchema* FSchema = nullptr;  // not owned: the session's open table's
    TLoader FLoader;
    std::vector<TBlock> FBlocks{1};
    std::vector<TSlot> FSlots;
    std::vector<int> FFree;  // slots not in use
    mutable std::vector<std::int64_t> FTree;  // 1-based Fenwick tree of the counts
    mutable bool FTreeStale = true;
    std::int64_t FCount = 0;
    std::int64_t FSplit = SplitRows;
    std::size_t FCache = CacheBlocks;
    std::uint64_t FClock = 0;
};

}  // namespace RecordServer
