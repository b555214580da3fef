// The wake of a table file's live view: a file-system watch on its WAL file, or a timer
// (states in FileCommitWake.h).
#include "server/FileCommitWake.h"

#include <sys/epoll.h>
#include <sys/inotify.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "framework/core/Translation.h"
#include "server/ServerError.h"

namespace RecordServer {

TFileCommitWake::TFileCommitWake(AnsiString DatabaseFile, TMode Mode) : FDatabaseFile(std::move(DatabaseFile))
{
    if (Mode == TMode::Watch && StartWatch()) return;
    StartTimer();
}

TFileCommitWake::~TFileCommitWake()
{
    CloseDescriptor();
}

void TFileCommitWake::CloseDescriptor()
{
    for (int* Descriptor : {&FDescriptor, &FWatcher, &FFollowUp}) {
        if (*Descriptor >= 0) close(*Descriptor);
        *Descriptor = -1;
    }
    FFollowUpAt = 0;
}

bool TFileCommitWake::StartWatch()
{
    int Watcher = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (Watcher < 0) return false;
    // IN_MODIFY comes with every write and truncation; the others say that the file this
    // watch follows is no longer the one SQLite writes.
    const std::uint32_t Events = IN_MODIFY | IN_DELETE_SELF | IN_MOVE_SELF;
    bool Watched = false;
    for (const AnsiString& File : {FDatabaseFile + "-wal", FDatabaseFile}) {
        if (inotify_add_watch(Watcher, File.c_str(), Events) >= 0) {
            Watched = true;
            break;
        }
    }
    const int Set = Watched ? epoll_create1(EPOLL_CLOEXEC) : -1;
    const int FollowUp = Set >= 0 ? timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC) : -1;
    bool Joined = FollowUp >= 0;
    for (int Member : {Watcher, FollowUp}) {
        epoll_event Event{};
        Event.events = EPOLLIN;
        Event.data.fd = Member;
        Joined = Joined && epoll_ctl(Set, EPOLL_CTL_ADD, Member, &Event) == 0;
    }
    if (!Joined) {
        for (int Descriptor : {Watcher, Set, FollowUp})
            if (Descriptor >= 0) close(Descriptor);
        return false;
    }
    FDescriptor = Set;
    FWatcher = Watcher;
    FFollowUp = FollowUp;
    FFollowUpAt = 0;
    FMode = TMode::Watch;
    return true;
}

void TFileCommitWake::FollowUpAt(int At)
{
    const int Ms = At - FFollowUpAt;
    itimerspec Once{};
    Once.it_value.tv_sec = Ms / 1000;
    Once.it_value.tv_nsec = static_cast<long>(Ms % 1000) * 1000000L;
    timerfd_settime(FFollowUp, 0, &Once, nullptr);
    FFollowUpAt = At;
}

void TFileCommitWake::FollowUpAfresh()
{
    FFollowUpAt = 0;
    FollowUpAt(FollowUpFirstMs);
}

void TFileCommitWake::StartTimer()
{
    int Timer = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (Timer < 0)
        throw EServerError(FormatText(TranslateText("FileCommitWake", "Commits to %1 cannot be watched: the system gives "
                                                                      "neither a file watch nor a timer (%2)."),
                                      {FDatabaseFile, std::strerror(errno)}));
    itimerspec Period{};
    Period.it_interval.tv_nsec = static_cast<long>(TimerPeriodMs) * 1000000L;
    Period.it_value = Period.it_interval;
    timerfd_settime(Timer, 0, &Period, nullptr);
    FDescriptor = Timer;
    FMode = TMode::Timer;
}

void TFileCommitWake::Drain()
{
    if (FMode == TMode::Timer) {
        std::uint64_t Expirations = 0;
        while (read(FDescriptor, &Expirations, sizeof Expirations) < 0 && errno == EINTR) {}
        return;
    }
    // A follow-up that came arms the next, a share of the time since the write later, up to
    // the last.
    std::uint64_t Expirations = 0;
    ssize_t Fired = 0;
    while ((Fired = read(FFollowUp, &Expirations, sizeof Expirations)) < 0 && errno == EINTR) {}
    if (Fired > 0) {
        if (FFollowUpAt < FollowUpLastMs)
            FollowUpAt(std::min(FFollowUpAt + std::max(FollowUpFirstMs, FFollowUpAt / FollowUpShare), FollowUpLastMs));
        else FFollowUpAt = 0;
    }
    // Every event waiting is read; a write starts the follow-ups afresh; an event that ends
    // the watch has it made again on the file SQLite writes now, or hands over to the timer.
    alignas(inotify_event) char Buffer[4096];
    bool Lost = false;
    bool Written = false;
    for (;;) {
        ssize_t Got = read(FWatcher, Buffer, sizeof Buffer);
        if (Got < 0 && errno == EINTR) continue;
        if (Got <= 0) break;
        for (ssize_t At = 0; At < Got;) {
            const auto* Event = reinterpret_cast<const inotify_event*>(Buffer + At);
            if (Event->mask & (IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF)) Lost = true;
            if (Event->mask & IN_MODIFY) Written = true;
            At += static_cast<ssize_t>(sizeof(inotify_event) + Event->len);
        }
    }
    if (Lost) {
        CloseDescriptor();
        if (!StartWatch()) StartTimer();
        // The commit that ended the watch may not be published yet.
        if (FMode == TMode::Watch) FollowUpAfresh();
        return;
    }
    if (Written) FollowUpAfresh();
}

}  // namespace RecordServer
