#pragma once
// Wakes a live view of a PostgreSQL table when another session commits to it: the trigger of
// the table's change log notifies the table's channel at every commit, and the server sends
// each notice to the listening connections at once, so the connection's socket becomes
// readable while no call runs. Draining reads what came into libpq; the notices wait there for
// the store's next look (TPostgresRecordStore::ReadChanges), which reads no more from the
// server than it would have.
//
// The socket changes when the store connects again, and there is none while the connection
// is lost: the watcher asks for the descriptor again after each look.
//
// Threading: the thread of the session that owns the store.
#include "server/CommitWake.h"

namespace RecordServer {

class TPgConnection;

class TPgSocketWake : public TCommitWake {
public:
    // Connection: the store's; it outlives this wake.
    explicit TPgSocketWake(TPgConnection& Connection) : FConnection(Connection) {}

    int Descriptor() override;
    // Raises EServerError when the connection is lost.
    void Drain() override;

private:
    TPgConnection& FConnection;  // not owned: the store's connection
};

}  // namespace RecordServer
