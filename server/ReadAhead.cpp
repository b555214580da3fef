// The records a session reads ahead of its cursor, by the access pattern. The patterns, and
// the invariants, are at the top of ReadAhead.h.
#include "server/ReadAhead.h"

#include <algorithm>
#include <utility>

namespace RecordServer {

bool TReadAhead::Note(std::int64_t Pos)
{
    std::int64_t Previous = std::exchange(FLastReadPos, -1);
    bool Has = Pos >= 0;
    if (Has && Pos == Previous + 1) {
        ++FStepRun;
        return false;
    }
    if (FStepRun > 0) FLastStepRun = FStepRun;
    else if (FJumpReadAhead) FLastStepRun = 0;
    FStepRun = 0;
    FJumpReadAhead = false;
    // A jump past the next record or the one before, unless it goes back to where the last
    // jump came from: a grid goes to the top of its page, fills the page step by step, and
    // goes back to its current record.
    if (!Has || Previous < 0 || (Pos <= Previous + 1 && Pos >= Previous - 1)) return false;
    bool PageJump = Pos != FJumpedFrom;
    FJumpedFrom = Previous;
    return PageJump;
}

bool TReadAhead::Read(TRecordStore& Store, std::int64_t Pos, std::int64_t Id, TStoredRecord& Record)
{
    bool PageJump = Note(Pos);
    FLastReadPos = Pos;
    if (Take(Id, Record)) return true;
    int Ahead = FStepRun >= 2 ? ReadAheadCount : (FStepRun == 1 ? std::min(FLastStepRun, 4 * ReadAheadCount) : 0);
    if (PageJump && FLastStepRun > 0) {
        Ahead = 1 + std::min(FLastStepRun, 4 * ReadAheadCount);
        FJumpReadAhead = true;
    }
    if (Ahead > 1) {
        // The records that follow are read with this one; one is taken only while the view has
        // its id.
        Store.ReadPage(Id, Ahead, FAhead);
        if (Take(Id, Record)) return true;
    }
    return Store.Read(Id, Record);
}

bool TReadAhead::Take(std::int64_t Id, TStoredRecord& Record)
{
    auto Ahead = std::find_if(FAhead.begin(), FAhead.end(), [&](const TStoredRecord& R) { return R.Id == Id; });
    if (Ahead == FAhead.end()) return false;
    std::swap(Record, *Ahead);  // the next page is read into the room of the record left
    Ahead->Id = 0;               // taken
    return true;
}

void TReadAhead::Forget(std::int64_t Id)
{
    for (TStoredRecord& Ahead : FAhead)
        if (Ahead.Id == Id) Ahead.Id = 0;
}

}  // namespace RecordServer
