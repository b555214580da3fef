#pragma once
// The records a session reads ahead of its cursor, and the access pattern that decides how
// many. A grid fills its page by going to the page's top record and stepping down it record by
// record, and goes back to its current record; a loop over the records steps on and on. Both
// read the records after the one read now next, so a step forward reads them with it, in one
// statement (TRecordStore::ReadPage), and later reads take them from here.
//
//   a read that is                          reads
//   -------------------------------------   ------------------------------------------------
//   the first step forward after a jump     as many as the run of steps before that jump
//   the second or later step of a run       ReadAheadCount
//   a jump to the top of a page (a jump     itself and as many as the last run of steps,
//     not back to where the last jump         since a grid steps as far every time
//     came from)
//   anything else                           itself alone
//
// A jump that read ahead and was not followed by a step read for nothing: reading ahead then
// waits for the next run.
//
// Invariants:
//   Every entry of FAhead whose Id is not 0 holds that record as it is stored now: the
//     session's own writes and a new view Clear() them all, others' writes Forget() theirs,
//     and an entry taken (or forgotten) gets Id 0.
//   FLastReadPos is the position last read, -1 after a read of no record (past the end, or an
//     empty view); Moved() follows the view when records before it come or go.
//   FStepRun counts the reads since the last jump, each one position after the one before.
#include <cstdint>
#include <vector>

#include "server/RecordStore.h"

namespace RecordServer {

class TReadAhead {
public:
    // The most a run of steps reads at once.
    static constexpr int ReadAheadCount = 16;

    // Reads record Id, at position Pos of the view, into Record: from the records read ahead
    // when it is among them, else from Store, with as many records after it as the access
    // pattern calls for. False when Store no longer has the record (Record is left as it was).
    bool Read(TRecordStore& Store, std::int64_t Pos, std::int64_t Id, TStoredRecord& Record);
    // A read that found no record to read (past the end, or an empty view).
    void ReadNothing() { Note(-1); }
    // Record Id was written by another session: its copy here is not what is stored.
    void Forget(std::int64_t Id);
    // Drops every record read ahead (this session wrote, or the view was read again).
    void Clear() { FAhead.clear(); }
    // The record last read now stands at Pos of the view.
    void Moved(std::int64_t Pos) { FLastReadPos = Pos; }

private:
    // Takes a read at Pos (-1: none) into the access pattern; true when it is a jump to the top
    // of a page.
    bool Note(std::int64_t Pos);
    // The record Id from the records read ahead, into Record; false when not there.
    bool Take(std::int64_t Id, TStoredRecord& Record);

    // Found by id: others' commits taken in since may have moved the records' positions. An
    // entry whose Id is 0 was taken or was written by another session since.
    std::vector<TStoredRecord> FAhead;
    std::int64_t FLastReadPos = -1;  // the position last read, to tell a step forward
    int FStepRun = 0;                // the reads so far that were each a step forward from the one before
    int FLastStepRun = 0;            // how long the run of steps before that one was
    std::int64_t FJumpedFrom = -1;   // the position the last jump (past a neighbour) left
    bool FJumpReadAhead = false;     // the last read was a jump that read the records after it
};

}  // namespace RecordServer
