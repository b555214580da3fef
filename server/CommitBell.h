#pragma once
// The commit bell of a memory table: each session of the table that watches for others'
// commits listens with an event counter of its own (eventfd), and every commit to the table
// rings all of them. A memory table's writers are this process's sessions, so this is the
// direct signal from the committing session to the others; a listener's descriptor becomes
// readable at the first ring after it was drained.
//
// The bell rings after the commit's log entry is appended (TMemoryChangeLog::Append), so a
// listener woken by it finds the entry at its look.
//
// Invariants: FListeners holds every listener alive, each once; a listener unregisters
// before it closes its descriptor. Safe to use from any thread: sessions of one table may
// live on different threads.
#include <memory>
#include <mutex>
#include <vector>

#include "server/CommitWake.h"

namespace RecordServer {

class TCommitBell : public std::enable_shared_from_this<TCommitBell> {
public:
    class TListener : public TCommitWake {
    public:
        // Raises EServerError when the system gives no event counter.
        explicit TListener(std::shared_ptr<TCommitBell> Bell);
        ~TListener() override;
        TListener(const TListener&) = delete;
        TListener& operator=(const TListener&) = delete;

        int Descriptor() override { return FDescriptor; }
        void Drain() override;

    private:
        friend class TCommitBell;
        void Ring();

        std::shared_ptr<TCommitBell> FBell;  // shared with the table's log and other listeners
        int FDescriptor = -1;                // owned: the event counter
    };

    // A listener of this bell (the caller owns it); it stops listening when destroyed.
    std::unique_ptr<TListener> Listen();
    // Wakes every listener.
    void Ring();

private:
    std::mutex FLock;                   // FListeners
    std::vector<TListener*> FListeners;  // not owned: each unregisters itself
};

}  // namespace RecordServer
