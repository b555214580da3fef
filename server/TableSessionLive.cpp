// The session's live view: the descriptor that wakes a watcher when another session may have
// committed, and the look that takes those commits in between the caller's operations, so that
// the caller can show them (IFileDataSetWatch). States and invariants: TableSession.h.
#include "server/CommitWake.h"
#include "server/TableSession.h"

namespace RecordServer {

int TTableSession::CommitDescriptor()
{
    if (!Active()) return -1;
    TCommitWake* Wake = FStore->Wake();
    return Wake ? Wake->Descriptor() : -1;
}

bool TTableSession::TakeOthersCommits(bool TakeIn, std::vector<int>& RecNos)
{
    if (!Active()) return false;
    if (TCommitWake* Wake = FStore->Wake()) Wake->Drain();
    // A pending record keeps the view as it was: its post takes the commits in first.
    if (!TakeIn || FState != TSessionState::Browse) return false;
    std::vector<std::int64_t> Ids(RecNos.size(), 0);
    for (std::size_t I = 0; I < RecNos.size(); ++I)
        if (RecNos[I] >= 1 && RecNos[I] <= FView.Count()) Ids[I] = FView.At(RecNos[I] - 1);
    // What woke the caller (a notice, a ring, a write to the WAL) is what the store knows
    // without asking: a look that asked the storage would cost every wake a round trip.
    if (!Sync(TLook::Known)) return false;
    for (std::size_t I = 0; I < RecNos.size(); ++I) {
        std::int64_t Pos = Ids[I] ? FView.Find(Ids[I]) : -1;
        RecNos[I] = Pos >= 0 ? static_cast<int>(Pos + 1) : -1;
    }
    // The caller shows the record under the cursor as it is now: an edit based on that is not
    // one based on values another user changed since. A record that could not be read (gone a
    // moment ago) stays as it was: its edit is refused.
    if (HasCurrent() && FCurrent.Version != 0) {
        FReadVersion = FCurrent.Version;
        FCurrentDeletedByOther = false;
    }
    return true;
}

}  // namespace RecordServer
