// A session's view kept in step with the change log: others' writes taken in, its own placed.
// The purpose, states and invariants are at the top of SessionView.h.
#include "server/SessionView.h"

#include <algorithm>
#include <unordered_map>

#include "framework/core/TextUtils.h"
#include "framework/core/Invariants.h"
#include "server/KeyOrder.h"

namespace RecordServer {

void TSessionView::Open(TRecordStore& Store, const TTableSchema& Schema)
{
    FStore = &Store;
    FSchema = &Schema;
}

void TSessionView::Close()
{
    FIds.Clear();
    FStore = nullptr;
    FSchema = nullptr;
}

void TSessionView::Read()
{
    FIds.Clear();
    FIds.SetAnchorEvery(FStore->KeyEvery());
    FStore->ReadOrderedIds(FIds.AnchorEvery(), [this](std::int64_t Id, const std::vector<AnsiString>* Key) {
        if (!Key) {
            FIds.Append(Id);
            return;
        }
        AnsiString Packed = PackKey(*Key);
        FIds.Append(Id, &Packed, LeadOf(*Key));
    });
    ZFD_CHECK_INVARIANTS(*this);
}

std::optional<TSessionView::TTakenIn> TSessionView::TakeIn(const std::vector<TChange>& Changes,
                                                           std::optional<std::int64_t> Marked, std::int64_t MarkedPos)
{
    // The first change of a record since the last look tells where it stands in this view:
    // nowhere when it was inserted since, else at its key before that change. Each is found
    // by that key among the keys the view holds, and taken out.
    std::vector<const TChange*> Firsts;
    std::unordered_map<std::int64_t, const TChange*> Lasts;  // each record's last change
    for (const TChange& Change : Changes) {
        auto [Last, New] = Lasts.try_emplace(Change.Id, &Change);
        if (New) Firsts.push_back(&Change);
        else Last->second = &Change;
    }
    std::int64_t Current = Marked ? MarkedPos : -1;  // where the marked record is now, -1: out
    for (const TChange* Change : Firsts) {
        if (Change->Kind == TChangeKind::Inserted) continue;
        std::int64_t Pos = LocateChanged(*Change);
        if (Pos < 0) continue;  // it was not in this view (the filter kept it out)
        FIds.Remove(Pos);
        if (Pos == Current) Current = -1;
        else if (Pos < Current) --Current;
    }
    // Then each goes back in at its ordered place as it is stored now (its last change tells
    // the key; an entry without it, the record itself), if it still exists and passes the
    // filter.
    for (const TChange* Change : Firsts) {
        const TChange* Last = Lasts[Change->Id];
        if (Last->Kind == TChangeKind::Deleted) continue;
        TRecordKey Key{{}, Change->Id};
        if (Last->NewKey) {
            Key.Values = *Last->NewKey;
        } else {
            TStoredRecord Stored;
            if (!FStore->Read(Change->Id, Stored)) continue;
            Key.Values = KeyOf(Stored.Values);
        }
        if (FFiltered && !FStore->PassesFilter(Change->Id)) continue;
        std::optional<std::int64_t> Pos = PlaceRecord(Key, true, Last->Place);
        if (!Pos) return std::nullopt;
        if (Marked && Change->Id == *Marked) Current = *Pos;
        else if (Current >= 0 && *Pos <= Current) ++Current;
    }
    ZFD_CHECK_INVARIANTS(*this);
    return TTakenIn{Current, Marked && Lasts.count(*Marked) > 0};
}

std::int64_t TSessionView::Find(std::int64_t Id)
{
    TStoredRecord Stored;
    if (!FStore->Read(Id, Stored)) return -1;
    std::int64_t Pos = LocateRecord(TRecordKey{KeyOf(Stored.Values), Id});
    // Another process may have moved it between the reading of the view and this read.
    return Pos >= 0 ? Pos : FIds.Find(Id);
}

std::int64_t TSessionView::LocateOwn(std::int64_t Id, const std::vector<AnsiString>& ValuesRead)
{
    std::int64_t Pos = LocateRecord(TRecordKey{KeyOf(ValuesRead), Id});
    return Pos >= 0 ? Pos : FIds.Find(Id);
}

TSessionView::TWritePlaced TSessionView::PlaceWrite(std::int64_t Id, const std::vector<AnsiString>& Values,
                                                    std::int64_t OldPos, bool Reorder)
{
    // Commits of other sessions since the last look are taken in by the next operation; here
    // only this session's own write is placed.
    struct TFinish {
        TRecordStore& Store;
        ~TFinish() { Store.FinishChanges(); }
    } Finish{*FStore};
    if (!Reorder && !FFiltered && OldPos >= 0) {
        // It stays where it was; in step with the store, the record before it here is the one
        // before it in the table, which sessions taking this write in can be told.
        std::int64_t Before = FStore->HoldInStep() ? IdBefore(OldPos) : -1;
        FStore->Placed({OldPos, OldPos, Before});
        return {TWritePlaced::Placed, OldPos};
    }
    if (OldPos >= 0) FIds.Remove(OldPos);
    // The record does not pass the filter: it is not in the view.
    if (FFiltered && !FStore->PassesFilter(Id)) return {TWritePlaced::Out, -1};
    TRecordKey Key{KeyOf(Values), Id};
    bool InStep = FStore->HoldInStep();
    std::optional<std::int64_t> Pos = PlaceRecord(Key, InStep);
    if (!Pos) {  // a record compared against was deleted by another process meanwhile
        Read();
        return {TWritePlaced::Reread, Find(Id)};
    }
    // Sessions taking this write in can be told where it was here, and, in a view of every
    // record in step with the store, where it went: the record before it here is the one
    // before it in the table.
    TWritePlace Told{OldPos};
    if (InStep && !FFiltered) {
        Told.New = *Pos;
        Told.Before = IdBefore(*Pos);
    }
    FStore->Placed(Told);
    ZFD_CHECK_INVARIANTS(*this);
    return {TWritePlaced::Placed, *Pos};
}

void TSessionView::RemoveDeleted(std::int64_t Pos)
{
    FIds.Remove(Pos);
    FStore->Placed({Pos, -1, -1});  // sessions taking the delete in look for the record there first
    ZFD_CHECK_INVARIANTS(*this);
}

AnsiString TSessionView::CheckInvariants() const
{
    if (!FStore != !FSchema) return "the view's store and schema are not set together";
    if (!FStore && !FIds.IsEmpty()) return "a closed view holds ids";
    if (AnsiString Problem = FIds.CheckInvariants(); !Problem.empty()) return Problem;
    if (!FSchema) return {};
    auto KeyFields = static_cast<std::size_t>(
        std::count_if(FSchema->Fields.begin(), FSchema->Fields.end(), [](const TFieldDef& Field) { return Field.Key; }));
    AnsiString Problem;
    TRecordKey Previous, Key;
    std::int64_t PreviousPos = -1;
    FIds.ForEachAnchor([&](std::int64_t Pos, std::int64_t Id, std::string_view Packed, std::int64_t Lead) {
        if (!Problem.empty()) return;
        Key.Id = Id;
        Key.Values.clear();
        std::string_view Text;
        while (NextPackedText(Packed, Text)) Key.Values.emplace_back(Text);
        AnsiString Where = "the anchor at " + IntToStr(Pos) + " (record " + IntToStr(Id) + ")";
        if (Key.Values.size() != KeyFields)
            Problem = Where + " holds " + IntToStr(static_cast<std::int64_t>(Key.Values.size())) + " key fields";
        else if (LeadOf(Key.Values) != Lead)
            Problem = Where + " carries another lead than its key's";
        else if (PreviousPos >= 0 && CompareRecordKeys(*FSchema, Previous, Key) >= 0)
            Problem = Where + " does not come after the anchor at " + IntToStr(PreviousPos) + " by its key";
        std::swap(Previous, Key);
        PreviousPos = Pos;
    });
    return Problem;
}

std::vector<AnsiString> TSessionView::KeyOf(const std::vector<AnsiString>& Values) const
{
    return KeyValues(*FSchema, Values);
}

std::int64_t TSessionView::LeadOf(const std::vector<AnsiString>& Key) const
{
    std::optional<std::int64_t> Lead = KeyLead(*FSchema, Key);
    return Lead ? *Lead : TRecordView::NoLead;
}

TRecordView::TBracket TSessionView::BracketOf(const TRecordKey& Key) const
{
    return FIds.Bracket(
        [&](std::string_view Packed, std::int64_t Id) { return ComparePackedKey(*FSchema, Packed, Id, Key); },
        LeadOf(Key.Values));
}

std::int64_t TSessionView::LocateRecord(const TRecordKey& Key)
{
    TRecordView::TBracket Range = BracketOf(Key);
    if (Range.Exact >= 0) return Range.Exact;
    // Between two anchors the id is found in memory.
    return FIds.FindBetween(Key.Id, Range.Lo, Range.Hi);
}

std::int64_t TSessionView::LocateChanged(const TChange& Change)
{
    std::int64_t Told = Change.Place.Old;
    if (Told >= 0 && Told < FIds.Count() && FIds.At(Told) == Change.Id) return Told;
    return LocateRecord(TRecordKey{Change.OldKey, Change.Id});
}

std::optional<std::int64_t> TSessionView::PlaceRecord(const TRecordKey& Key, bool InStep, const TWritePlace& Told)
{
    // Where another session's write put it, when this view has the record it went after right
    // before that place: a record goes right after the one before it in the table.
    if (Told.Before >= 0 && Told.New >= 0 && Told.New <= FIds.Count() && IdBefore(Told.New) == Told.Before) {
        FIds.Insert(Told.New, Key.Id);
        return Told.New;
    }
    // The anchors around Key, in memory; then the place between them, from the store.
    TRecordView::TBracket Range = BracketOf(Key);
    std::int64_t Lo = Range.Lo, Hi = Range.Hi;  // the place is in [Lo, Hi]
    bool Compared = Lo < Hi;
    std::int64_t Count = FIds.Count();
    if (Hi == Count && Lo < Hi) {
        // Records are mostly added at the end (rising keys): try that first.
        std::optional<bool> AfterLast = FStore->ComesBeforeKey(FIds.At(Count - 1), Key);
        if (!AfterLast) return std::nullopt;
        if (*AfterLast) Lo = Count;
        else Hi = Count - 1;
    }
    // Between two anchors lie a few records. The store tells which records stand next to the
    // key; found where they must be in the view, they give the place. Else (a filter, or those
    // records are not in this view yet) a binary search compares with the store.
    if (Hi - Lo > 2 && !FFiltered) {
        if (std::optional<std::int64_t> Between = PlaceBetweenNeighbours(Key, Lo, Hi, InStep, Told.Before)) Lo = Hi = *Between;
    }
    while (Lo < Hi) {
        std::int64_t Mid = Lo + (Hi - Lo) / 2;
        std::optional<bool> Before = FStore->ComesBeforeKey(FIds.At(Mid), Key);
        if (!Before) return std::nullopt;
        if (*Before) Lo = Mid + 1;
        else Hi = Mid;
    }
    // A place found by comparing with the store becomes no anchor: a record compared with may
    // have been written by another session since this one last took in the log, and an anchor
    // must agree with the view's order.
    if (Compared) {
        FIds.Insert(Lo, Key.Id);
    } else {
        AnsiString Packed = PackKey(Key.Values);
        FIds.Insert(Lo, Key.Id, &Packed, LeadOf(Key.Values));
    }
    return Lo;
}

std::optional<std::int64_t> TSessionView::PlaceBetweenNeighbours(const TRecordKey& Key, std::int64_t Lo, std::int64_t Hi,
                                                                 bool InStep, std::int64_t Before)
{
    // The place is in [Lo, Hi]: the record before it stands in [Lo - 1, Hi - 1]. In step with
    // the store, every record of the view stands at its stored key, and the place is right
    // after the record before. Otherwise a record written by another session and not taken in
    // yet still stands at its old key here: the record after is asked for too, and the two
    // must stand side by side; one of them at its stored key is enough to make the place right
    // for every record that stands at its stored key.
    std::int64_t After = 0;
    if (Before < 0 || !InStep) {
        if (!FStore->ReadNeighbours(Key, Before, InStep ? nullptr : &After)) return std::nullopt;
    }
    std::int64_t Place = 0;
    if (Before) {
        std::int64_t BeforePos = FIds.FindBetween(Before, Lo - 1, Hi);
        if (BeforePos < 0) return std::nullopt;
        Place = BeforePos + 1;
    } else if (Lo > 0) {
        return std::nullopt;
    }
    if (InStep) return Place;
    bool AfterFits = After ? Place < FIds.Count() && FIds.At(Place) == After : Place == FIds.Count();
    if (!AfterFits) return std::nullopt;
    return Place;
}

}  // namespace RecordServer
