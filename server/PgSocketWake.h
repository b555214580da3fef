#pragma once
// Wakes a live view of a PostgreSQL table when another session commits to it: the trigger of
// the table's change log notifies the table's channel at every commit, and the server sends
// each notice to the listening connections at once, so the connection's socket becomes
// readable while no call runs. Draining reads what came into libpq; the notices wait there for
// the store's next look (TPostgresRecordStore::ReadChanges), which reads no more from the
// server than it would have.
//
// A notice may also come with the answer to one of the store's own statements (the server
// sends it when the statement's transaction ends): libpq reads it then, and the socket shows
// nothing more. The store keeps such notices for its next look and rings this wake (Ring), an
// event counter watched beside the socket, so that the commit still wakes the watcher.
//
// The descriptor is an epoll set of the socket and the counter. The socket changes when the
// store connects again, and there is none while the connection is lost: the watcher asks for
// the descriptor again after each look, and Descriptor() puts the socket of the moment in the
// set (-1 while there is none).
//
// States: the set and the counter live as long as this object; the set holds the socket of
// the last Descriptor() call (FSocket), and the counter is nonzero from a Ring to the next
// Drain.
//
// Threading: the thread of the session that owns the store.
#include "server/CommitWake.h"

namespace RecordServer {

class TPgConnection;

class TPgSocketWake : public TCommitWake {
public:
    // Connection: the store's; it outlives this wake. Raises EServerError when the system
    // gives no epoll set or event counter.
    explicit TPgSocketWake(TPgConnection& Connection);
    ~TPgSocketWake() override;
    TPgSocketWake(const TPgSocketWake&) = delete;
    TPgSocketWake& operator=(const TPgSocketWake&) = delete;

    int Descriptor() override;
    // Raises EServerError when the connection is lost.
    void Drain() override;
    // Notices of others' commits were kept from a statement's answer: readable until Drain.
    void Ring();

private:
    TPgConnection& FConnection;  // not owned: the store's connection
    int FSet = -1;               // owned: the epoll set
    int FKept = -1;              // owned: the event counter that Ring raises
    int FSocket = -1;            // the socket in the set; not owned (libpq's)
};

}  // namespace RecordServer
