// The commit bell of a memory table and its listeners' event counters (states and invariants
// in CommitBell.h).
#include "server/CommitBell.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "framework/core/Translation.h"
#include "server/ServerError.h"

namespace RecordServer {

TCommitBell::TListener::TListener(std::shared_ptr<TCommitBell> Bell) : FBell(std::move(Bell))
{
    FDescriptor = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (FDescriptor < 0)
        throw EServerError(FormatText(
            TranslateText("CommitBell", "Other sessions' commits cannot be watched: no event counter (%1)."),
            {std::strerror(errno)}));
    std::lock_guard Guard(FBell->FLock);
    FBell->FListeners.push_back(this);
}

TCommitBell::TListener::~TListener()
{
    {
        std::lock_guard Guard(FBell->FLock);
        auto& List = FBell->FListeners;
        List.erase(std::remove(List.begin(), List.end(), this), List.end());
    }
    close(FDescriptor);
}

void TCommitBell::TListener::Drain()
{
    // The counter reads as one value and is reset by the read; a counter already read is
    // EAGAIN, which leaves nothing to take.
    std::uint64_t Rings = 0;
    while (read(FDescriptor, &Rings, sizeof Rings) < 0 && errno == EINTR) {}
}

void TCommitBell::TListener::Ring()
{
    // Adding to a counter never blocks short of 2^64 - 2 unread rings; a failed ring (that
    // limit) leaves the descriptor readable all the same.
    const std::uint64_t One = 1;
    while (write(FDescriptor, &One, sizeof One) < 0 && errno == EINTR) {}
}

std::unique_ptr<TCommitBell::TListener> TCommitBell::Listen()
{
    return std::make_unique<TListener>(shared_from_this());
}

void TCommitBell::Ring()
{
    std::lock_guard Guard(FLock);
    for (TListener* Listener : FListeners) Listener->Ring();
}

}  // namespace RecordServer
