// The wake of a PostgreSQL table's live view: the connection's socket (see PgSocketWake.h).
#include "server/PgSocketWake.h"

#include "server/PgConnection.h"
#include "server/ServerError.h"

namespace RecordServer {

int TPgSocketWake::Descriptor()
{
    return FConnection.Socket();
}

void TPgSocketWake::Drain()
{
    try {
        FConnection.ReadWaiting();
    } catch (const EPgError& E) {
        throw EServerError(E.Message());
    }
}

}  // namespace RecordServer
