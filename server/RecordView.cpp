// The view as a list of blocks with a bounded cache of their records. The design, states and
// invariants are at the top of RecordView.h.
#include "server/RecordView.h"

#include <algorithm>
#include <atomic>
#include <stdexcept>

#include "framework/core/Invariants.h"
#include "framework/core/TextUtils.h"
#include "server/KeyOrder.h"

namespace RecordServer {

namespace {

std::atomic<std::int64_t> OpeningSplit{0};
std::atomic<std::size_t> OpeningCache{0};

}  // namespace

void TRecordView::SetOpeningSizes(std::int64_t Split, std::size_t Cache)
{
    OpeningSplit = Split;
    OpeningCache = Cache;
}

void TRecordView::Open(const TTableSchema& Schema, TLoader Loader)
{
    FSplit = OpeningSplit ? OpeningSplit.load() : SplitRows;
    FCache = OpeningCache ? OpeningCache.load() : CacheBlocks;
    FSchema = &Schema;
    FLoader = std::move(Loader);
    Clear();
}

void TRecordView::Clear()
{
    FBlocks.assign(1, TBlock{});
    FSlots.clear();
    FFree.clear();
    FCount = 0;
    FTreeStale = true;
}

void TRecordView::SetSizes(std::int64_t Split, std::size_t Cache)
{
    FSplit = std::max<std::int64_t>(Split, 2);
    FCache = std::max<std::size_t>(Cache, 1);
}

void TRecordView::AddBlock(std::optional<TRecordKey> Bound, std::int64_t Count)
{
    if (!Bound) {
        if (FBlocks.size() != 1 || FBlocks[0].Count != 0 || FBlocks[0].Slot >= 0)
            throw std::logic_error("only the view's first block has no bound");
        FBlocks[0].Count = Count;
    } else if (Count > 0) {
        FBlocks.push_back(TBlock{std::move(Bound), Count, -1});
    }
    FCount += Count;
    FTreeStale = true;
}

int TRecordView::Compare(const TRecordKey& A, const TRecordKey& B) const
{
    return CompareRecordKeys(*FSchema, A, B);
}

std::size_t TRecordView::BlockOfKey(const TRecordKey& Key) const
{
    // Blocks 1.. have rising bounds: the first whose bound comes after Key, less one.
    auto It = std::upper_bound(FBlocks.begin() + 1, FBlocks.end(), Key,
                               [this](const TRecordKey& K, const TBlock& B) { return Compare(K, *B.Bound) < 0; });
    return static_cast<std::size_t>(It - FBlocks.begin()) - 1;
}

void TRecordView::RebuildTree() const
{
    std::size_t N = FBlocks.size();
    FTree.assign(N + 1, 0);
    for (std::size_t I = 1; I <= N; ++I) {
        FTree[I] += FBlocks[I - 1].Count;
        std::size_t Parent = I + (I & (~I + 1));
        if (Parent <= N) FTree[Parent] += FTree[I];
    }
    FTreeStale = false;
}

std::int64_t TRecordView::BlockStart(std::size_t Block) const
{
    if (FTreeStale) RebuildTree();
    std::int64_t Sum = 0;
    for (std::size_t I = Block; I > 0; I -= I & (~I + 1)) Sum += FTree[I];
    return Sum;
}

std::size_t TRecordView::BlockOf(std::int64_t Pos, std::int64_t& Start) const
{
    // Down the tree: the blocks that end at or before Pos.
    if (FTreeStale) RebuildTree();
    std::size_t N = FBlocks.size(), Index = 0;
    std::int64_t Rest = Pos;
    std::size_t Step = 1;
    while (Step * 2 <= N) Step *= 2;
    for (; Step > 0; Step /= 2) {
        if (Index + Step <= N && FTree[Index + Step] <= Rest) {
            Index += Step;
            Rest -= FTree[Index];
        }
    }
    Index = std::min(Index, N - 1);
    Start = Pos - Rest;
    if (Index == N - 1) Start = BlockStart(Index);
    return Index;
}

void TRecordView::SetCount(std::size_t Block, std::int64_t Count)
{
    std::int64_t Delta = Count - FBlocks[Block].Count;
    if (Delta == 0) return;
    FBlocks[Block].Count = Count;
    FCount += Delta;
    if (!FTreeStale)
        for (std::size_t I = Block + 1; I < FTree.size(); I += I & (~I + 1)) FTree[I] += Delta;
}

std::vector<TRecordKey>& TRecordView::Records(std::size_t Block)
{
    if (FBlocks[Block].Slot < 0) Load(Block);
    TSlot& Slot = FSlots[static_cast<std::size_t>(FBlocks[Block].Slot)];
    Slot.Used = ++FClock;
    return Slot.Records;
}

void TRecordView::Load(std::size_t Block)
{
    Trim(1);
    int Index;
    if (!FFree.empty()) {
        Index = FFree.back();
        FFree.pop_back();
    } else {
        Index = static_cast<int>(FSlots.size());
        FSlots.emplace_back();
    }
    TSlot& Slot = FSlots[static_cast<std::size_t>(Index)];
    Slot.Records.clear();
    const TRecordKey* To = Block + 1 < FBlocks.size() ? &*FBlocks[Block + 1].Bound : nullptr;
    try {
        FLoader(FBlocks[Block].Bound ? &*FBlocks[Block].Bound : nullptr, To, Slot.Records);
    } catch (...) {
        FFree.push_back(Index);
        throw;
    }
    Slot.Block = Block;
    Slot.Used = ++FClock;
    Slot.Fresh = true;
    FBlocks[Block].Slot = Index;
    // What the store holds now is the block's count (see the header: it may be ahead).
    SetCount(Block, static_cast<std::int64_t>(Slot.Records.size()));
    if (FBlocks[Block].Count >= FSplit) Split(Block);
    else if (FBlocks[Block].Count == 0 && Block > 0) RemoveBlock(Block);
    ZFD_CHECK_INVARIANTS(*this);
}

void TRecordView::Trim(std::size_t Room)
{
    // Room more blocks that are not fresh: the ones used longest ago go.
    std::size_t Kept = 0;
    for (const TSlot& Slot : FSlots)
        if (!Slot.Fresh && Slot.Used) ++Kept;
    while (Kept > 0 && Kept + Room > FCache) {
        int Oldest = -1;
        for (std::size_t I = 0; I < FSlots.size(); ++I)
            if (FSlots[I].Used && !FSlots[I].Fresh &&
                (Oldest < 0 || FSlots[I].Used < FSlots[static_cast<std::size_t>(Oldest)].Used))
                Oldest = static_cast<int>(I);
        TSlot& Slot = FSlots[static_cast<std::size_t>(Oldest)];
        FBlocks[Slot.Block].Slot = -1;
        Slot.Used = 0;
        std::vector<TRecordKey>().swap(Slot.Records);
        FFree.push_back(Oldest);
        --Kept;
    }
}

void TRecordView::Settle()
{
    for (TSlot& Slot : FSlots) Slot.Fresh = false;
    Trim(0);  // back to the bound, now that every block may go
}

void TRecordView::Split(std::size_t Block)
{
    // Loaded, or grown by records put in: its second half becomes a block of its own, bounded
    // by its first record's key, and stays cached beside it.
    std::vector<TRecordKey>& Full = FSlots[static_cast<std::size_t>(FBlocks[Block].Slot)].Records;
    std::size_t Half = Full.size() / 2;
    TBlock New;
    // A bound is a key alone in a keyed table (id 0 comes before every record with that key), as
    // the store reads a block by the key fields alone.
    New.Bound = TRecordKey{Full[Half].Values, FSchema->HasKey() ? 0 : Full[Half].Id};
    New.Count = static_cast<std::int64_t>(Full.size() - Half);
    TSlot Tail;
    Tail.Records.assign(std::make_move_iterator(Full.begin() + static_cast<std::ptrdiff_t>(Half)),
                        std::make_move_iterator(Full.end()));
    Full.resize(Half);
    FBlocks[Block].Count = static_cast<std::int64_t>(Half);
    for (TSlot& Slot : FSlots)
        if (Slot.Used && Slot.Block > Block) ++Slot.Block;
    FBlocks.insert(FBlocks.begin() + static_cast<std::ptrdiff_t>(Block) + 1, std::move(New));
    Tail.Block = Block + 1;
    Tail.Used = ++FClock;
    Tail.Fresh = FSlots[static_cast<std::size_t>(FBlocks[Block].Slot)].Fresh;
    int Index;
    if (!FFree.empty()) {
        Index = FFree.back();
        FFree.pop_back();
        FSlots[static_cast<std::size_t>(Index)] = std::move(Tail);
    } else {
        Index = static_cast<int>(FSlots.size());
        FSlots.push_back(std::move(Tail));
    }
    FBlocks[Block + 1].Slot = Index;
    FTreeStale = true;
    // Halves of a block far above the split (an uncached one that grew much) split again.
    if (FBlocks[Block + 1].Count >= FSplit) Split(Block + 1);
    if (FBlocks[Block].Count >= FSplit) Split(Block);
}

void TRecordView::RemoveBlock(std::size_t Block)
{
    // Only an empty block goes: its key range joins the block before, which holds nothing of it.
    if (int Index = FBlocks[Block].Slot; Index >= 0) {
        FSlots[static_cast<std::size_t>(Index)].Used = 0;
        std::vector<TRecordKey>().swap(FSlots[static_cast<std::size_t>(Index)].Records);
        FFree.push_back(Index);
    }
    FCount -= FBlocks[Block].Count;
    FBlocks.erase(FBlocks.begin() + static_cast<std::ptrdiff_t>(Block));
    for (TSlot& Slot : FSlots)
        if (Slot.Used && Slot.Block > Block) --Slot.Block;
    FTreeStale = true;
}

TRecordView::TId TRecordView::At(std::int64_t Pos)
{
    return RecordAt(Pos).Id;
}

const TRecordKey& TRecordView::RecordAt(std::int64_t Pos)
{
    if (Pos < 0 || Pos >= FCount) throw std::out_of_range("record view position out of range");
    std::int64_t Start = 0;
    std::size_t B = BlockOf(Pos, Start);
    if (FBlocks[B].Slot < 0) {
        Load(B);  // its count may change, or it may split: find the position again
        return RecordAt(std::min(Pos, FCount - 1));
    }
    std::vector<TRecordKey>& Block = Records(B);
    return Block[static_cast<std::size_t>(Pos - Start)];
}

std::int64_t TRecordView::Locate(const TRecordKey& Key)
{
    std::size_t B = BlockOfKey(Key);
    if (FBlocks[B].Slot < 0) {
        Load(B);
        B = BlockOfKey(Key);
    }
    std::vector<TRecordKey>& Block = Records(B);
    auto It = std::lower_bound(Block.begin(), Block.end(), Key,
                               [this](const TRecordKey& A, const TRecordKey& K) { return Compare(A, K) < 0; });
    if (It == Block.end() || It->Id != Key.Id) {
        // Written by another session and not taken in yet: at another key in this block.
        It = std::find_if(Block.begin(), Block.end(), [&](const TRecordKey& R) { return R.Id == Key.Id; });
        if (It == Block.end()) return -1;
    }
    return BlockStart(B) + (It - Block.begin());
}

std::int64_t TRecordView::FindCached(TId Id) const
{
    for (const TSlot& Slot : FSlots) {
        if (!Slot.Used) continue;
        auto It = std::find_if(Slot.Records.begin(), Slot.Records.end(), [&](const TRecordKey& R) { return R.Id == Id; });
        if (It != Slot.Records.end()) return BlockStart(Slot.Block) + (It - Slot.Records.begin());
    }
    return -1;
}

std::int64_t TRecordView::Put(const TRecordKey& Key, bool LoadFirst)
{
    std::size_t B = BlockOfKey(Key);
    if (FBlocks[B].Slot < 0) {
        if (!LoadFirst) {
            SetCount(B, FBlocks[B].Count + 1);
            return -1;
        }
        Load(B);
        B = BlockOfKey(Key);
    }
    std::vector<TRecordKey>& Block = Records(B);
    // A load may have seen this record already, at this key or, written again since, another.
    auto Old = std::find_if(Block.begin(), Block.end(), [&](const TRecordKey& R) { return R.Id == Key.Id; });
    if (Old != Block.end()) Block.erase(Old);
    auto It = std::lower_bound(Block.begin(), Block.end(), Key,
                               [this](const TRecordKey& A, const TRecordKey& K) { return Compare(A, K) < 0; });
    std::int64_t Offset = It - Block.begin();
    Block.insert(It, Key);
    SetCount(B, static_cast<std::int64_t>(Block.size()));
    if (FBlocks[B].Count >= FSplit) {
        Split(B);
        Trim(0);
        return Locate(Key);
    }
    ZFD_CHECK_INVARIANTS(*this);
    return BlockStart(B) + Offset;
}

bool TRecordView::Take(const TRecordKey& Key, bool LoadFirst, std::int64_t& Pos)
{
    Pos = -1;
    std::size_t B = BlockOfKey(Key);
    if (FBlocks[B].Slot < 0) {
        if (!LoadFirst) {
            if (FBlocks[B].Count == 0) return false;
            SetCount(B, FBlocks[B].Count - 1);
            if (FBlocks[B].Count == 0 && B > 0) RemoveBlock(B);
            return true;
        }
        Load(B);
        B = BlockOfKey(Key);
    }
    std::vector<TRecordKey>& Block = Records(B);
    auto It = std::lower_bound(Block.begin(), Block.end(), Key,
                               [this](const TRecordKey& A, const TRecordKey& K) { return Compare(A, K) < 0; });
    if (It == Block.end() || It->Id != Key.Id)
        It = std::find_if(Block.begin(), Block.end(), [&](const TRecordKey& R) { return R.Id == Key.Id; });
    if (It == Block.end()) return false;
    Pos = BlockStart(B) + (It - Block.begin());
    Block.erase(It);
    SetCount(B, static_cast<std::int64_t>(Block.size()));
    if (Block.empty() && B > 0) RemoveBlock(B);
    ZFD_CHECK_INVARIANTS(*this);
    return true;
}

void TRecordView::RemoveAt(std::int64_t Pos)
{
    const TRecordKey Key = RecordAt(Pos);
    std::int64_t Taken = -1;
    Take(Key, true, Taken);
}

AnsiString TRecordView::CheckInvariants() const
{
    auto Number = [](std::int64_t N) { return IntToStr(N); };
    std::size_t N = FBlocks.size();
    if (N == 0) return "the view has no block";
    if (FBlocks[0].Bound) return "the view's first block has a bound";
    std::int64_t Sum = 0;
    std::size_t Kept = 0;
    for (std::size_t B = 0; B < N; ++B) {
        const TBlock& Block = FBlocks[B];
        AnsiString Where = "block " + Number(static_cast<std::int64_t>(B)) + ": ";
        if (B > 0) {
            if (!Block.Bound) return Where + "has no bound";
            if (B > 1 && Compare(*FBlocks[B - 1].Bound, *Block.Bound) >= 0) return Where + "its bound does not rise";
            if (Block.Count <= 0) return Where + "counts " + Number(Block.Count) + " records";
        }
        if (!FTreeStale && BlockStart(B) != Sum) return Where + "the Fenwick tree puts its start elsewhere";
        Sum += Block.Count;
        if (Block.Slot < 0) continue;
        if (static_cast<std::size_t>(Block.Slot) >= FSlots.size()) return Where + "its slot is out of range";
        const TSlot& Slot = FSlots[static_cast<std::size_t>(Block.Slot)];
        if (!Slot.Used || Slot.Block != B) return Where + "its slot is not its own";
        if (!Slot.Fresh) ++Kept;
        if (static_cast<std::int64_t>(Slot.Records.size()) != Block.Count)
            return Where + "holds " + Number(static_cast<std::int64_t>(Slot.Records.size())) + " records and counts " +
                   Number(Block.Count);
        if (Block.Count >= FSplit) return Where + "holds " + Number(Block.Count) + " records, more than it is split at";
        for (std::size_t I = 0; I < Slot.Records.size(); ++I) {
            const TRecordKey& R = Slot.Records[I];
            if (I > 0 && Compare(Slot.Records[I - 1], R) >= 0)
                return Where + "record " + Number(R.Id) + " does not come after the one before it";
            if ((Block.Bound && Compare(R, *Block.Bound) < 0) || (B + 1 < N && Compare(R, *FBlocks[B + 1].Bound) >= 0))
                return Where + "record " + Number(R.Id) + " lies outside the block's bounds";
        }
    }
    for (std::size_t I = 0; I < FSlots.size(); ++I)
        if (FSlots[I].Used && (FSlots[I].Block >= N || FBlocks[FSlots[I].Block].Slot != static_cast<int>(I)))
            return "slot " + Number(static_cast<std::int64_t>(I)) + " is of no block";
    if (Sum != FCount) return "the view counts " + Number(FCount) + " records and its blocks " + Number(Sum);
    if (Kept > FCache) return "the cache holds " + Number(static_cast<std::int64_t>(Kept)) + " blocks, more than its bound";
    return {};
}

}  // namespace RecordServer
