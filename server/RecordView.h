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
// Each block can also hold the key of its first record (set by the session, which knows the
// keys; the view forgets it whenever the block's first id changes), so that a search for a
// key's place picks its block in memory and compares only within that block with the store.
#include <cstdint>
#include <optional>
#include <vector>

#include "framework/core/Exceptions.h"

namespace RecordServer {

class TRecordView {
public:
    using TId = std::int64_t;

    TRecordView() { Clear(); }
    void Clear();
    // Adds Id after the last; the view is filled this way straight from the statement that
    // reads the ids, without a copy of them all.
    void Append(TId Id);
    std::int64_t Count() const { return FCount; }
    bool IsEmpty() const { return FCount == 0; }
    TId At(std::int64_t Pos) const;
    // Position of Id, or -1; a linear search, for the rare cases that need it.
    std::int64_t Find(TId Id) const;
    // Position of Id among the positions [From, To), or -1; a linear search in memory.
    std::int64_t FindBetween(TId Id, std::int64_t From, std::int64_t To) const;
    // Puts Id at Pos (0..Count); the ids from Pos on move one place back.
    void Insert(std::int64_t Pos, TId Id);
    void Remove(std::int64_t Pos);

    std::size_t BlockCount() const { return FBlocks.size(); }
    // The most ids a block holds (a block is split when it reaches that).
    static constexpr std::int64_t MaxBlockSize() { return 2 * BlockSize; }
    std::int64_t BlockStart(std::size_t Block) const;
    // The key fields' texts of the block's first record; nullptr when not known.
    const std::vector<AnsiString>* FirstKey(std::size_t Block) const;
    void SetFirstKey(std::size_t Block, std::vector<AnsiString> Key);

private:
    static constexpr std::size_t BlockSize = 1024;

    // The block holding Pos; Start receives that block's first position.
    std::size_t BlockOf(std::int64_t Pos, std::int64_t& Start) const;
    void SplitBlock(std::size_t Block);
    // The Fenwick tree over the blocks' sizes: rebuilt when blocks were added or removed.
    void RebuildTree() const;
    void AddToTree(std::size_t Block, std::int64_t Delta);
    // Forgets the block last used (its start moved).
    void Changed() { FLastValid = false; }

    std::vector<std::vector<TId>> FBlocks;  // never empty blocks, except a single one
    mutable std::vector<std::int64_t> FTree;  // 1-based Fenwick tree of the blocks' sizes
    mutable bool FTreeStale = true;
    std::vector<std::optional<std::vector<AnsiString>>> FFirstKeys;  // per block, when known
    std::int64_t FCount = 0;
    mutable std::size_t FLastBlock = 0;  // the block used last, tried first, and its start
    mutable std::int64_t FLastStart = 0;
    mutable bool FLastValid = false;
};

}  // namespace RecordServer
