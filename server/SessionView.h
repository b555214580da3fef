#pragma once
// A session's view of its table, kept in step with the change log: the ids of the stored
// records that pass the session's filter, in key order (TRecordView), as of the last commit the
// session took in. The session owns the cursor; this class owns the ids, and moves them as the
// table changes, at the cost of what changed rather than of a new read of the table:
//
//   Read       reads every id again (opening, a new filter, a log that no longer reaches back
//              to the session's last look)
//   TakeIn     another session's writes: each written record is found at its key before the
//              first write (or at the place its writer told), taken out, and put back at its
//              key after the last write, if it still exists and passes the filter
//   PlaceWrite this session's own write, put at its place; the store is told where
//              (TRecordStore::Placed), for the sessions that take it in later
//
// A record is placed in memory between the view's anchors (records whose key the view keeps)
// around its key, and only there does the store answer: which records stand next to the key
// (ReadNeighbours), found side by side in the view, or comparisons with the records between
// the anchors. While the store holds the storage still (the hold protocol, RecordStore.h), and
// while the changes are taken in, every record of the view stands at the key the store holds
// for it, except those taken out and not yet placed again.
//
// States: closed (no store: the view is empty) and open (Open .. Close).
// Invariants (open):
//   The ids are those of the stored records that pass the filter, in the store's order, as of
//     the last commit taken in (between two operations of the session).
//   Every anchor's key is the key its record was placed by, so the anchors agree with the
//     view's order: their keys (then ids) rise with their places, as KeyOrder.h orders them.
//   FStore and FSchema are set together; a closed view holds no id.
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
    std::int64_t At(std::int64_t Pos) const { return FIds.At(Pos); }
    // The id of the record before position Pos; 0 at the first.
    std::int64_t IdBefore(std::int64_t Pos) const { return Pos > 0 ? FIds.At(Pos - 1) : 0; }

    // Reads every id again, from the point the store's change log counts from.
    void Read();

    // Where the record the cursor was on (the marked record) stands after TakeIn.
    struct TTakenIn {
        std::int64_t Marked = -1;    // its position; -1 when it left the view (or none was marked)
        bool MarkedWritten = false;  // it was one of the records written
    };
    // Takes in others' Changes (as the store's ReadChanges lists them, inside its hold). Marked:
    // the id of the record the cursor is on, at MarkedPos; none when the cursor is on no record.
    // Nothing when a record compared with vanished (the store changed meanwhile): the caller
    // reads the view again.
    std::optional<TTakenIn> TakeIn(const std::vector<TChange>& Changes, std::optional<std::int64_t> Marked,
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
            Reread,  // a record compared with vanished: the view was read again; Pos is where
                     // the record is in it, -1 when not there
        } Kind = Placed;
        std::int64_t Pos = -1;
    };
    // This session wrote record Id with Values, which stood at OldPos (-1 for a new record);
    // Reorder: its key changed (or it is new). Puts it at its place and tells the store where.
    TWritePlaced PlaceWrite(std::int64_t Id, const std::vector<AnsiString>& Values, std::int64_t OldPos, bool Reorder);
    // This session deleted the record at Pos.
    void RemoveDeleted(std::int64_t Pos);

    // The first broken invariant (see Invariants.h): the ids' (TRecordView::CheckInvariants),
    // and the anchors': each carries its key's lead, and their keys rise with their places.
    // The view is checked where it changes, in builds with assertions.
    AnsiString CheckInvariants() const;

private:
    std::vector<AnsiString> KeyOf(const std::vector<AnsiString>& Values) const;
    // Key's lead for the anchors (TRecordView::NoLead when it has none).
    std::int64_t LeadOf(const std::vector<AnsiString>& Key) const;
    // The anchors around Key.
    TRecordView::TBracket BracketOf(const TRecordKey& Key) const;
    // Position of the record placed in the view by Key: found in memory between the anchors
    // around Key; -1 when it is not in the view.
    std::int64_t LocateRecord(const TRecordKey& Key);
    // Position of the record another session's Change wrote, before that write: where the
    // writer's view had it when this view has it there too, else found by its old key.
    std::int64_t LocateChanged(const TChange& Change);
    // Puts the record with Key in the view at its place, and answers that; nothing (and the view
    // unchanged) when a record compared with vanished. InStep: every record of the view stands
    // at the key the store holds for it (while others' changes are taken in: the changed ones
    // are out until placed, and the store holds one snapshot). Told: where another session's
    // write put it, as its log entry tells (TChange::Place).
    std::optional<std::int64_t> PlaceRecord(const TRecordKey& Key, bool InStep, const TWritePlace& Told = {});
    // The place of Key in [Lo, Hi] by the records the store has next to it (Before: the one
    // before it, when known), when the view has them there; nothing otherwise.
    std::optional<std::int64_t> PlaceBetweenNeighbours(const TRecordKey& Key, std::int64_t Lo, std::int64_t Hi, bool InStep,
                                                       std::int64_t Before);

    TRecordView FIds;
    TRecordStore* FStore = nullptr;         // not owned: the session's; null while closed
    const TTableSchema* FSchema = nullptr;  // not owned: the session's open table's
    bool FFiltered = false;
};

}  // namespace RecordServer
