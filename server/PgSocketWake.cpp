// The wake of a PostgreSQL table's live view: the connection's socket and the counter of
// notices kept from answers (see PgSocketWake.h).
#include "server/PgSocketWake.h"

#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "framework/core/Translation.h"
#include "server/PgConnection.h"
#include "server/ServerError.h"

namespace RecordServer {

namespace {

bool AddToSet(int Set, int Member)
{
    epoll_event Event{};
    Event.events = EPOLLIN;
    Event.data.fd = Member;
    return epoll_ctl(Set, EPOLL_CTL_ADD, Member, &Event) == 0 || errno == EEXIST;
}

}  // namespace

TPgSocketWake::TPgSocketWake(TPgConnection& Connection) : FConnection(Connection)
{
    FSet = epoll_create1(EPOLL_CLOEXEC);
    FKept = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (FSet < 0 || FKept < 0 || !AddToSet(FSet, FKept)) {
        const int Error = errno;
        for (int Descriptor : {FSet, FKept})
            if (Descriptor >= 0) close(Descriptor);
        throw EServerError(FormatText(TranslateText("PgSocketWake", "Commits to the table cannot be watched: the system "
                                                                    "gives no event set (%1)."),
                                      {std::strerror(Error)}));
    }
}

TPgSocketWake::~TPgSocketWake()
{
    close(FSet);
    close(FKept);
}

int TPgSocketWake::Descriptor()
{
    const int Socket = FConnection.Socket();
    if (Socket != FSocket && FSocket >= 0) epoll_ctl(FSet, EPOLL_CTL_DEL, FSocket, nullptr);  // gone with its close, or not
    FSocket = -1;
    // Added every time: a socket made again may have the number of the one closed, which
    // left the set when it closed.
    if (Socket < 0 || !AddToSet(FSet, Socket)) return -1;
    FSocket = Socket;
    return FSet;
}

void TPgSocketWake::Drain()
{
    std::uint64_t Rings = 0;
    while (read(FKept, &Rings, sizeof Rings) < 0 && errno == EINTR) {}
    try {
        FConnection.ReadWaiting();
    } catch (const EPgError& E) {
        throw EServerError(E.Message());
    }
}

void TPgSocketWake::Ring()
{
    const std::uint64_t One = 1;
    while (write(FKept, &One, sizeof One) < 0 && errno == EINTR) {}
}

}  // namespace RecordServer
