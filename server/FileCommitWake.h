#pragma once
// Wakes a live view of a table file when another connection (another process, or another
// session of this one) may have committed to it. Every commit to a database in WAL mode
// writes its pages to the WAL file (<file>-wal), so a file-system watch on that file
// (inotify: IN_MODIFY) becomes readable at every commit and costs nothing while nobody
// writes; checkpoints and the WAL's restarts write it too, which only costs a look. A
// database without a WAL file is watched itself (its commits write it).
//
// Where the system gives no watch (the user's inotify instances or watches used up), or when
// the watched file goes away (the journal mode changed, the file was replaced), a timer takes
// over: it becomes readable every TimerPeriodMs, and each look it causes reads only the WAL
// index's header (WalCommitWatch.h) while nobody commits.
//
// States: Watch (FDescriptor an inotify instance watching FWatched) and Timer (FDescriptor a
// timer). Watch goes to Timer when the watch is lost and cannot be made again; never back.
//
// Threading: the thread of the session that owns it.
#include "framework/core/Exceptions.h"
#include "server/CommitWake.h"

namespace RecordServer {

class TFileCommitWake : public TCommitWake {
public:
    static constexpr int TimerPeriodMs = 20;
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

    AnsiString FDatabaseFile;
    TMode FMode = TMode::Watch;
    int FDescriptor = -1;  // owned: the inotify instance or the timer
};

}  // namespace RecordServer
