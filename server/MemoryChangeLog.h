#pragma once
// The change log of a memory table. A memory table lives in this process only, so its log is
// kept here too, beside the table, instead of in a table of its own written by triggers: the
// same entries (sequence, record id, what happened, the key before), read the same way
// (TChangeLogCursor), at a fraction of the cost of a logged write and of a look for changes.
//
// A writer holds the write lock from before its statement until its entry is appended, so the
// entries come in the order of the commits. A commit is visible a moment before its entry is
// appended; a session that looks in that moment sees the change at its next look. The writer
// may then add where its view had the record (SetPlace); if it placed it in a view of every
// record, with nobody writing in between, also the record it stands after: a session taking in
// only that entry while it is the last finds the record's place from it, without a look in the
// table or a search of its view.
//
// Each appended entry rings the table's commit bell (CommitBell.h), which wakes the live views
// of the table's sessions.
//
// Invariants: the entries have consecutive sequences ending at End(); at most KeepEntries are
// kept (the oldest are dropped first). Safe to use from any thread.
#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#include "framework/core/Exceptions.h"
#include "server/CommitBell.h"
#include "server/RecordStore.h"

namespace RecordServer {

class TMemoryChangeLog {
public:
    struct TEntry {
        std::int64_t Seq = 0, Id = 0;
        int What = 0;       // a TChangeKind
        AnsiString OldKey;  // as the change log cursor reads it: the key's tag, then the packed key
        AnsiString NewKey;  // likewise, after the write (empty for a deletion)
    };
    static constexpr std::size_t KeepEntries = 8192;

    // Held by a writer from before its write until its entry is appended.
    std::unique_lock<std::mutex> LockForWrite() { return std::unique_lock(FWriteLock); }
    // Appends an entry (the caller holds the write lock), rings the bell, and answers its
    // sequence.
    std::int64_t Append(std::int64_t Id, int What, AnsiString OldKey, AnsiString NewKey);
    // The sequence of the last entry appended (0: none yet).
    std::int64_t End() const { return FEnd.load(std::memory_order_acquire); }
    // The entries after Seq, in order.
    std::vector<TEntry> After(std::int64_t Seq) const;
    // The bell that each appended entry rings.
    TCommitBell& Bell() { return *FBell; }

private:
    std::mutex FWriteLock;      // writers, one at a time
    mutable std::mutex FLock;   // FEntries
    std::deque<TEntry> FEntries;
    std::atomic<std::int64_t> FEnd{0};
    std::shared_ptr<TCommitBell> FBell = std::make_shared<TCommitBell>();  // shared with its listeners
};

}  // namespace RecordServer
