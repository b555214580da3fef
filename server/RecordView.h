#pragma once
// The records a session sees, as an ordered sequence of record ids. Positions are 0-based
// here (the interface's record numbers are positions + 1).
//
// The ids are held in blocks of about a thousand. The blocks' sizes are kept in a Fenwick
// tree, so that finding the block of a position, or the position of a block, costs O(log
// blocks) whatever the size, and inserting or removing one id moves at most one block's ids
// plus O(log blocks) counters, instead of every id or every block start after it. A step to
// a neighbouring position is answered from the block last used without the tree.
//
// Some records also carry their key in memory (anchors): every AnchorEvery()-th record as the
// view is read, and each record placed with a known key afterwards, thinned so that two
// anchors apart always span more than AnchorEvery() records (with 1, every record keeps its
// key). An anchor's key is the key the record was placed by, so the anchors always agree with
// the view's order: Bracket finds, in memory, the few positions between two anchors where a
// key belongs, and only there does the session ask the store (for the key's neighbours, or
// comparisons). Keys are held packed (PackKey), one text per anchor, with the key's lead when
// it has one: an integer that orders two keys that both have one (KeyLead), so that most
// steps of a search compare two integers instead of two texts.
//
// Invariants: FAnchors has one entry per block of FBlocks; a block's anchors are ordered by
// Offset, each below the block's size, at most one per offset; FCount is the sum of the
// blocks' sizes; only the first block may be empty, and only when it is the only one. Unless
// FHeadsStale, FHeads[B] holds the key and id of block B's first anchor, its Offset -1 when
// the block has none (else not kept): the search over blocks reads one array instead of every
// block's anchors.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "framework/core/Exceptions.h"

namespace RecordServer {

class TRecordView {
public:
    using TId = std::int64_t;

    TRecordView() { Clear(); }
    void Clear();
    // A key without a lead.
    static constexpr std::int64_t NoLead = INT64_MIN;
    // Adds Id after the last; the view is filled this way straight from the statement that
    // reads the ids, without a copy of them all. PackedKey, when given, makes it an anchor,
    // with Lead the lead of that key.
    void Append(TId Id, const AnsiString* PackedKey = nullptr, std::int64_t Lead = NoLead);
    std::int64_t Count() const { return FCount; }
    bool IsEmpty() const { return FCount == 0; }
    TId At(std::int64_t Pos) const;
    // Position of Id, or -1; a linear search, for the rare cases that need it.
    std::int64_t Find(TId Id) const;
    // Position of Id among the positions [From, To), or -1; a linear search in memory.
    std::int64_t FindBetween(TId Id, std::int64_t From, std::int64_t To) const;
    // Puts Id at Pos (0..Count); the ids from Pos on move one place back. PackedKey, when
    // given, is the key Id was placed by, and makes it an anchor (Lead: that key's lead).
    void Insert(std::int64_t Pos, TId Id, const AnsiString* PackedKey = nullptr, std::int64_t Lead = NoLead);
    void Remove(std::int64_t Pos);

    // A record is read with its key every AnchorEvery() records as the view is filled (16
    // unless set; Clear keeps it). Where every record keeps its key, blocks are smaller, so
    // that a record put in or taken out moves few keys.
    int AnchorEvery() const { return FAnchorEvery; }
    void SetAnchorEvery(int Every)
    {
        FAnchorEvery = std::max(Every, 1);
        FBlockSize = FAnchorEvery >= 16 ? 1024 : 128;
    }
    // Compares an anchor (its packed key and id) with the key looked for: negative, 0 or
    // positive as the anchor comes before, at or after it.
    using TAnchorCompare = std::function<int(std::string_view PackedKey, TId Id)>;
    struct TBracket {
        std::int64_t Lo = 0, Hi = 0;  // the key's place, or its record, is in [Lo, Hi]
        std::int64_t Exact = -1;      // the position of an anchor at the key itself
    };
    // The positions between the last anchor before the key and the first after it. Lead is the
    // key's lead: an anchor with another lead is ordered by the two leads, without Compare.
    TBracket Bracket(const TAnchorCompare& Compare, std::int64_t Lead = NoLead) const;
    std::size_t AnchorCount() const;
    // Hands Visit every anchor in the view's order: its position, id, packed key and lead.
    using TAnchorVisit = std::function<void(std::int64_t Pos, TId Id, std::string_view PackedKey, std::int64_t Lead)>;
    void ForEachAnchor(const TAnchorVisit& Visit) const;

    // The first of the invariants above that is broken, or empty text (see Invariants.h).
    // Also: every anchor's id is the id at its offset, no block holds twice the ids it is
    // filled with, and the Fenwick tree and the block last used agree with the blocks' sizes
    // unless stale. The order of the anchors' keys is the caller's to check (ForEachAnchor).
    AnsiString CheckInvariants() const;

private:
    struct TAnchor {
        std::int32_t Offset;  // within its block
        TId Id;               // the record's, so that comparing with it reads nothing else
        std::int64_t Lead;    // its key's, or NoLead
        AnsiString Key;       // packed
    };

    // The block holding Pos; Start receives that block's first position.
    std::size_t BlockOf(std::int64_t Pos, std::int64_t& Start) const;
    void SplitBlock(std::size_t Block);
    // Gives a new block its room.
    void Reserve(std::size_t Block);
    std::int64_t BlockStart(std::size_t Block) const;
    // Adds an anchor at Offset of Block and drops a neighbour that the new one makes needless.
    void AddAnchor(std::size_t Block, std::int32_t Offset, TId Id, const AnsiString& Key, std::int64_t Lead);
    // The first block from Block on that holds an anchor, or FBlocks.size(); makes FHeads
    // again when stale.
    std::size_t NextAnchoredBlock(std::size_t Block) const;
    // Block's head: its first anchor, or one with Offset -1 when it has none.
    TAnchor HeadOf(std::size_t Block) const;
    // FHeads made again from the blocks' anchors, when stale.
    void RebuildHeads() const;
    // Block's first anchor may have changed: its head follows.
    void HeadChanged(std::size_t Block);
    // The Fenwick tree over the blocks' sizes: rebuilt when blocks were added or removed.
    void RebuildTree() const;
    void AddToTree(std::size_t Block, std::int64_t Delta);
    // Forgets the block last used (its start moved).
    void Changed() { FLastValid = false; }

    std::vector<std::vector<TId>> FBlocks;  // never empty blocks, except a single one
    mutable std::vector<std::int64_t> FTree;  // 1-based Fenwick tree of the blocks' sizes
    mutable bool FTreeStale = true;
    std::vector<std::vector<TAnchor>> FAnchors;  // per block, by offset
    mutable std::vector<TAnchor> FHeads;         // per block, its first anchor's copy
    mutable bool FHeadsStale = true;
    int FAnchorEvery = 16;
    std::size_t FBlockSize = 1024;  // ids a block is filled with; it is split at twice that
    std::int64_t FCount = 0;
    mutable std::size_t FLastBlock = 0;  // the block used last, tried first, and its start
    mutable std::int64_t FLastStart = 0;
    mutable bool FLastValid = false;
};

}  // namespace RecordServer
