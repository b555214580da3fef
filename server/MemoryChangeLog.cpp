#include "server/MemoryChangeLog.h"

namespace RecordServer {

std::int64_t TMemoryChangeLog::Append(std::int64_t Id, int What, AnsiString OldKey, AnsiString NewKey)
{
    std::int64_t Seq = 0;
    {
        std::lock_guard Guard(FLock);
        Seq = FEnd.load(std::memory_order_relaxed) + 1;
        FEntries.push_back({Seq, Id, What, std::move(OldKey), std::move(NewKey)});
        if (FEntries.size() > KeepEntries) FEntries.pop_front();
        FEnd.store(Seq, std::memory_order_release);
    }
    // Readers of the entries need not wait for the listeners' wake-ups.
    FBell->Ring();
    return Seq;
}

std::vector<TMemoryChangeLog::TEntry> TMemoryChangeLog::After(std::int64_t Seq) const
{
    std::lock_guard Guard(FLock);
    std::vector<TEntry> Result;
    if (FEntries.empty()) return Result;
    // Sequences are consecutive: the first entry after Seq is found by arithmetic.
    std::int64_t First = FEntries.front().Seq;
    std::size_t From = Seq < First ? 0 : static_cast<std::size_t>(Seq - First + 1);
    for (std::size_t I = From; I < FEntries.size(); ++I) Result.push_back(FEntries[I]);
    return Result;
}

}  // namespace RecordServer
