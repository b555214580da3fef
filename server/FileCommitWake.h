#pragma once
// Wakes a live view of a table file when another connection (another process, or another
// session of this one) may have committed to it. Every commit to a database in WAL mode
// writes its pages to the WAL file (<file>-wal), so a file-system watch on that file
// (inotify: IN_MODIFY) becomes readable at every commit and costs nothing while nobody
// writes; checkpoints and the WAL's restarts write it too, which only costs a look. A
// database without a WAL file is watched itself (its commits write it).
//
// The write comes before the commit can be seen: the writer syncs the WAL file and only then
// publishes the commit in the WAL index (shared memory, which no watch sees), so a look at
// the write's wake may find nothing yet. After each write the descriptor therefore wakes
// again, FollowUpFirstMs after it and then at gaps of a FollowUpShare-th of the time since
// the write (FollowUpFirstMs at least), until FollowUpLastMs after it; a look at one of them
// finds the commit once it is published, within a small share of the time the sync took
// (a sync of 15 ms is seen within about 4 ms, where gaps that doubled saw it at 30 ms); then
// it is quiet again. Each follow-up costs a look at the WAL index's header.
//
// Where the system gives no watch (the user's inotify instances or watches used up), or when
// the watched file goes away (the journal mode changed, the file was replaced), a timer takes
// over: it becomes readable every TimerPeriodMs, and each look it causes reads only the WAL
// index's header (WalCommitWatch.h) while nobody commits.
//
// States: Watch (FDescriptor an epoll set of FWatcher, an inotify instance watching the file,
// and FFollowUp, a timer armed while follow-ups are due) and Timer (FDescriptor a periodic
// timer). Watch goes to Timer when the watch is lost and cannot be made again; never back.
//
// Threading: the thread of the session that owns it.
#include "framework/core/Exceptions.h"
#include "server/CommitWake.h"

namespace RecordServer {

class TFileCommitWake : public TCommitWake {
public:
    static constexpr int TimerPeriodMs = 20;
    static constexpr int FollowUpFirstMs = 2;
    static constexpr int FollowUpShare = 4;
    static constexpr int FollowUpLastMs = 1024;
    enum class TMode { Watch, Timer };

    // DatabaseFile: the table file's path. Watch starts with the file-system watch (the timer
    // when there is none); Timer starts with the timer. Raises EServerError when the system
    // gives neither.
    explicit TFileCommitWake(AnsiString DatabaseFile, TMode Mode = TMode::Watch);
    ~TFileCommitWake() override;
    TFileCommitWake(const TFileCommitWake&) = delete;
    TFileCommitWake& operator=(const TFileCommitWake&) = delete;

    int Descriptor() override { return FDescriptor; }
    void Drain() override;
    TMode Mode() const { return FMode; }

private:
    // False when the system gives no watch on the WAL file or the database file.
    bool StartWatch();
    void StartTimer();
    void CloseDescriptor();
    // Arms the follow-up timer to fire once, At ms after the last write (after the follow-up
    // armed now, which has fired).
    void FollowUpAt(int At);
    // Starts the follow-ups of a write that came now.
    void FollowUpAfresh();

    AnsiString FDatabaseFile;
    TMode FMode = TMode::Watch;
    int FDescriptor = -1;  // owned: the epoll set (Watch) or the timer (Timer)
    int FWatcher = -1;     // owned: the inotify instance (Watch)
    int FFollowUp = -1;    // owned: the follow-up timer (Watch)
    int FFollowUpAt = 0;   // the follow-up armed now, in ms after the last write; 0: none
};

}  // namespace RecordServer
