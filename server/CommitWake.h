#pragma once
// What wakes a live view when another session may have committed to a store's table: a file
// descriptor that becomes readable then, for the program's event loop to watch
// (IFileDataSetWatch). Each store has its own (TRecordStore::Wake):
//
//   memory table  TCommitBell::TListener (CommitBell.h): an event counter that the table's
//                 other sessions ring after each commit, in this process
//   table file    TFileCommitWake (FileCommitWake.h): a file-system watch on the WAL file,
//                 which every commit of every process writes; a timer where the system
//                 gives no watch
//   PostgreSQL    TPgSocketWake (PgSocketWake.h): the connection's socket, on which the
//                 server's notices of others' commits arrive
//
// A readable descriptor means "look", never more: a wake may come from the session's own
// commit, a checkpoint, or a notice of another table; the look (ReadChanges) tells.
//
// Threading: the thread of the session that owns it.

namespace RecordServer {

class TCommitWake {
public:
    virtual ~TCommitWake() = default;
    // The descriptor to watch for reading; -1 when there is none now.
    virtual int Descriptor() = 0;
    // Takes what made the descriptor readable, so that it stays quiet until the next wake.
    // Raises EServerError when that fails (a connection lost).
    virtual void Drain() = 0;
};

}  // namespace RecordServer
