// The wake of a table file's live view: a file-system watch on its WAL file, or a timer
// (states in FileCommitWake.h).
#include "server/FileCommitWake.h"

#include <sys/inotify.h>
#include <sys/timerfd.h>
#include <unistd.h>

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
    if (FDescriptor >= 0) close(FDescriptor);
    FDescriptor = -1;
}

bool TFileCommitWake::StartWatch()
{
    int Watcher = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (Watcher < 0) return false;
    // IN_MODIFY comes with every write and truncation; the others say that the file this
    // watch follows is no longer the one SQLite writes.
    const std::uint32_t Events = IN_MODIFY | IN_DELETE_SELF | IN_MOVE_SELF;
    for (const AnsiString& File : {FDatabaseFile + "-wal", FDatabaseFile}) {
        if (inotify_add_watch(Watcher, File.c_str(), Events) >= 0) {
            FDescriptor = Watcher;
            FMode = TMode::Watch;
            return true;
        }
    }
    close(Watcher);
    return false;
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
    // Every event waiting is read; one that ends the watch has it made again on the file
    // SQLite writes now, or hands over to the timer.
    alignas(inotify_event) char Buffer[4096];
    bool Lost = false;
    for (;;) {
        ssize_t Got = read(FDescriptor, Buffer, sizeof Buffer);
        if (Got < 0 && errno == EINTR) continue;
        if (Got <= 0) break;
        for (ssize_t At = 0; At < Got;) {
            const auto* Event = reinterpret_cast<const inotify_event*>(Buffer + At);
            if (Event->mask & (IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF)) Lost = true;
            At += static_cast<ssize_t>(sizeof(inotify_event) + Event->len);
        }
    }
    if (!Lost) return;
    CloseDescriptor();
    if (!StartWatch()) StartTimer();
}

}  // namespace RecordServer
