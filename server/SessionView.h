#pragma once
// A session's view of its table, kept in step with the change log: the stored records that
// pass the session's filter, in key order (TRecordView: a list of blocks, each read from the
// store only when visited, in a bounded cache), as of the last commit the session took in. The
// session owns the cursor; this class owns the view, and moves it as the table changes, at the
// cost of what changed rather than of a new read of the table:
//
//   Read       makes the list of blocks again (opening, a new filter, a log that no longer
//              reaches back to the session's last look). Without a filter it is the store's
//              key-order summary (KeySummary.h): one row per block, so that opening costs the
//              same at any size. With a filter it reads every passing id once (the filter is
//              linear in the table, as the store's own reading of it is) and keeps every
//              BlockRows-th record's key as a block's bound.
//   TakeIn     another session's writes: each written record is taken out at its key before
//              the first write and put back at its key after the last write, if it still exists
//              and passes the filter. In a cached block by its key and id; in an uncached one
//              only the block's count changes (filtered: the block is read first, since only
//              its records tell whether the record was in the view).
//   PlaceWrite this session's own write, taken out where it stood and put at its key; the
//              block it goes to is read when not cached, so that the cursor can stand on it.
//
// Blocks split by other writers need nothing here: the view's blocks are its own partition of
// the key space, and a block's records are read by its own bounds; the store's summary is read
// only when the view is read again. A count that disagrees with the store (a block read after
// a commit the session has not taken in yet) is set to what the store holds when the block is
// read, and taking that commit in later changes nothing twice (by id); the block is kept cached
// until then (TRecordView::Settle). Until that commit is taken in, positions after that block
// show it early.
//
// States: closed (no store: the view is empty) and open (Open .. Close).
// Invariants (open):
//   The view holds the stored records that pass the filter, in the store's order, as of the
//     last commit taken in (between two operations of the session), but for blocks read ahead
//     of it, as above.
//   FStore and FSchema are set together; a closed view holds no record.
//   FFiltered is the session's filter switch: true when the view may leave records out.
#include <cstdint>
#include <optional>
#include <vector>

#include "server/RecordStore.h"
#include "server/RecordView.h"
#include "server/Schema.h"

namespace RecordServer {

class TSessionView {
public:
    // Store and Schema are the session's open table (not owned): valid until Close.
    void Open(TRecordStore& Store, const TTableSchema& Schema);
    void Close();
    bool Filtered() const { return FFiltered; }
    void SetFiltered(bool Filtered) { FFiltered = Filtered; }

    std::int64_t Count() const { return FIds.Count(); }
    bool IsEmpty() const { return FIds.IsEmpty(); }
    // The id at Pos; its block is read from the store when it is not cached.
    std::int64_t At(std::int64_t Pos) { return FIds.At(Pos); }
    // The block sizes (tests make them small, so that blocks split and leave the cache).
    void SetSizes(std::int64_t Split, std::size_t Cache) { FIds.SetSizes(Split, Cache); }
    const TRecordView& Blocks() const { return FIds; }

    // Makes the view again, from the point the store's change log counts from.
    void Read();
    // The session took in the log (nothing new, or TakeIn): blocks read ahead of it may go.
    void Settle() { FIds.Settle(); }

    // Where the record the cursor was on (the marked record) stands after TakeIn.
    struct TTakenIn {
        std::int64_t Marked = -1;    // its position; -1 when it left the view (or none was marked)
        bool MarkedWritten = false;  // it was one of the records written
    };
    // Takes in others' Changes (as the store's ReadChanges lists them, inside its hold). Marked:
    // the id of the record the cursor is on, at MarkedPos; none when the cursor is on no record.
    TTakenIn TakeIn(const std::vector<TChange>& Changes, std::optional<std::int64_t> Marked,
                                   std::int64_t MarkedPos);

    // Position of record Id as it is stored now; -1 when it is not in the view.
    std::int64_t Find(std::int64_t Id);
    // Position of this session's record Id, which it read with ValuesRead and which nobody
    // changed since (its write succeeded on that version); -1 when it is not in the view.
    std::int64_t LocateOwn(std::int64_t Id, const std::vector<AnsiString>& ValuesRead);

    // Where PlaceWrite put the record.
    struct TWritePlaced {
        enum TKind {
            Placed,  // at Pos
            Out,     // not in the view: it does not pass the filter
        } Kind = Placed;
        std::int64_t Pos = -1;
    };
    // This session wrote record Id with Values, which stood at OldPos (-1 for a new record);
    // Reorder: its key changed (or it is new). Puts it at its place.
    TWritePlaced PlaceWrite(std::int64_t Id, const std::vector<AnsiString>& Values, std::int64_t OldPos, bool Reorder);
    // This session deleted record Id, at Pos.
    void RemoveDeleted(std::int64_t Pos, std::int64_t Id);

    // The first broken invariant (see Invariants.h): the blocks' (TRecordView::CheckInvariants).
    // The view is checked where it changes, in builds with assertions.
    AnsiString CheckInvariants() const;

private:
    std::vector<AnsiString> KeyOf(const std::vector<AnsiString>& Values) const;
    // Takes this session's record Id out at Pos, where it stood before its write.
    void TakeOut(std::int64_t Pos, std::int64_t Id);
    // Reads the records of [From, To) for a block of the view.
    void LoadBlock(const TRecordKey* From, const TRecordKey* To, std::vector<TRecordKey>& Records);

    TRecordView FIds;
    TRecordStore* FStore = nullptr;         // not owned: the session's; null while closed
    const TTableSchema* FSchema = nullptr;  // not owned: the session's open table's
    bool FFiltered = false;
};

}  // namespace RecordServer
