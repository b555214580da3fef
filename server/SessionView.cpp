// A session's view kept in step with the change log: others' writes taken in, its own placed.
// The purpose, states and invariants are at the top of SessionView.h.
#include "server/SessionView.h"

#include <unordered_map>

#include "framework/core/Invariants.h"
#include "server/KeyOrder.h"
#include "server/KeySummary.h"

namespace RecordServer {

void TSessionView::Open(TRecordStore& Store, const TTableSchema& Schema)
{
    FStore = &Store;
    FSchema = &Schema;
    FIds.Open(Schema, [this](const TRecordKey* From, const TRecordKey* To, std::vector<TRecordKey>& Records) {
        LoadBlock(From, To, Records);
    });
}

void TSessionView::Close()
{
    FIds.Clear();
    FStore = nullptr;
    FSchema = nullptr;
}

void TSessionView::LoadBlock(const TRecordKey* From, const TRecordKey* To, std::vector<TRecordKey>& Records)
{
    FStore->ReadRange(From, To, [&](const TRecordKey& Record) { Records.push_back(Record); });
}

void TSessionView::Read()
{
    FIds.Clear();
    if (!FFiltered) {
        FStore->ReadSummary([this](const TSummaryBlock& Block) { FIds.AddBlock(Block.Bound, Block.Count); });
        ZFD_CHECK_INVARIANTS(*this);
        return;
    }
    // Every BlockRows-th passing record bounds a block; the ids themselves are not kept.
    std::optional<TRecordKey> Bound;
    std::int64_t InBlock = 0;
    bool First = true;
    FStore->ReadOrderedIds(static_cast<int>(BlockRows), [&](std::int64_t Id, const std::vector<AnsiString>* Key) {
        if (InBlock == BlockRows) {
            FIds.AddBlock(First ? std::nullopt : std::move(Bound), InBlock);
            First = false;
            Bound = TRecordKey{Key ? *Key : std::vector<AnsiString>{}, FSchema->HasKey() ? 0 : Id};
            InBlock = 0;
        }
        ++InBlock;
    });
    FIds.AddBlock(First ? std::nullopt : std::move(Bound), InBlock);
    ZFD_CHECK_INVARIANTS(*this);
}

TSessionView::TTakenIn TSessionView::TakeIn(const std::vector<TChange>& Changes,
                                                           std::optional<std::int64_t> Marked, std::int64_t MarkedPos)
{
    // The first change of a record since the last look tells where it stands in this view:
    // nowhere when it was inserted since, else at its key before that change. Its last change
    // tells where it goes.
    std::vector<const TChange*> Firsts;
    std::unordered_map<std::int64_t, const TChange*> Lasts;  // each record's last change
    for (const TChange& Change : Changes) {
        auto [Last, New] = Lasts.try_emplace(Change.Id, &Change);
        if (New) Firsts.push_back(&Change);
        else Last->second = &Change;
    }
    // The marked record is found again afterwards by its key.
    std::optional<TRecordKey> MarkedKey;
    if (Marked && MarkedPos >= 0 && MarkedPos < FIds.Count()) {
        const TRecordKey& Key = FIds.RecordAt(MarkedPos);
        if (Key.Id == *Marked) MarkedKey = Key;
    }
    // A filtered view reads a block before it changes it: only its records tell whether the
    // record written was in the view.
    const bool Load = FFiltered;
    for (const TChange* Change : Firsts) {
        if (Change->Kind == TChangeKind::Inserted) continue;
        std::int64_t Pos = -1;
        FIds.Take(TRecordKey{Change->OldKey, Change->Id}, Load, Pos);
    }
    for (const TChange* Change : Firsts) {
        const TChange* Last = Lasts[Change->Id];
        bool IsMarked = MarkedKey && Change->Id == *Marked;
        if (IsMarked) MarkedKey.reset();
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
        FIds.Put(Key, Load);
        if (IsMarked) MarkedKey = Key;
    }
    // In step with the log now: every block read so far holds no commit still to come.
    FIds.Settle();
    std::int64_t Current = MarkedKey ? FIds.Locate(*MarkedKey) : -1;
    ZFD_CHECK_INVARIANTS(*this);
    return TTakenIn{Current, Marked && Lasts.count(*Marked) > 0};
}

std::int64_t TSessionView::Find(std::int64_t Id)
{
    TStoredRecord Stored;
    if (!FStore->Read(Id, Stored)) return -1;
    std::int64_t Pos = FIds.Locate(TRecordKey{KeyOf(Stored.Values), Id});
    // Another process may have moved it since this session last took in the log.
    return Pos >= 0 ? Pos : FIds.FindCached(Id);
}

std::int64_t TSessionView::LocateOwn(std::int64_t Id, const std::vector<AnsiString>& ValuesRead)
{
    std::int64_t Pos = FIds.Locate(TRecordKey{KeyOf(ValuesRead), Id});
    return Pos >= 0 ? Pos : FIds.FindCached(Id);
}

TSessionView::TWritePlaced TSessionView::PlaceWrite(std::int64_t Id, const std::vector<AnsiString>& Values,
                                                    std::int64_t OldPos, bool Reorder)
{
    // Commits of other sessions since the last look are taken in by the next operation; here
    // only this session's own write is placed.
    if (!Reorder && !FFiltered && OldPos >= 0) return {TWritePlaced::Placed, OldPos};
    if (OldPos >= 0) TakeOut(OldPos, Id);
    // The record does not pass the filter: it is not in the view.
    if (FFiltered && !FStore->PassesFilter(Id)) return {TWritePlaced::Out, -1};
    // Its block is read when not cached: the write is in it already, and is put there once.
    std::int64_t Pos = FIds.Put(TRecordKey{KeyOf(Values), Id}, true);
    ZFD_CHECK_INVARIANTS(*this);
    return {TWritePlaced::Placed, Pos};
}

void TSessionView::RemoveDeleted(std::int64_t Pos, std::int64_t Id)
{
    TakeOut(Pos, Id);
    ZFD_CHECK_INVARIANTS(*this);
}

void TSessionView::TakeOut(std::int64_t Pos, std::int64_t Id)
{
    // A block read after the write (it had left the cache) no longer holds the record there.
    if (Pos < FIds.Count() && FIds.At(Pos) == Id) FIds.RemoveAt(Pos);
}

AnsiString TSessionView::CheckInvariants() const
{
    if (!FStore != !FSchema) return "the view's store and schema are not set together";
    if (!FStore && !FIds.IsEmpty()) return "a closed view holds records";
    return FIds.CheckInvariants();
}

std::vector<AnsiString> TSessionView::KeyOf(const std::vector<AnsiString>& Values) const
{
    return KeyValues(*FSchema, Values);
}

}  // namespace RecordServer
