#include "server/RecordView.h"

#include <algorithm>
#include <stdexcept>

#include "framework/core/TextUtils.h"
#include "framework/core/Invariants.h"

namespace RecordServer {

void TRecordView::Clear()
{
    FBlocks.clear();
    FAnchors.clear();
    FBlocks.emplace_back();
    FAnchors.emplace_back();
    FCount = 0;
    FTreeStale = true;
    FHeadsStale = true;
    Changed();
    ZFD_CHECK_INVARIANTS(*this);
}

void TRecordView::Append(TId Id, const AnsiString* PackedKey, std::int64_t Lead)
{
    if (FBlocks.back().size() >= FBlockSize) {
        FBlocks.emplace_back();
        FAnchors.emplace_back();
        FTreeStale = true;
        FHeadsStale = true;
    } else if (!FTreeStale) {
        AddToTree(FBlocks.size() - 1, 1);
    }
    std::vector<TId>& Last = FBlocks.back();
    if (Last.empty()) Reserve(FBlocks.size() - 1);
    Last.push_back(Id);
    ++FCount;
    if (PackedKey) {
        FAnchors.back().push_back({static_cast<std::int32_t>(Last.size() - 1), Id, Lead, *PackedKey});
        if (FAnchors.back().size() == 1) HeadChanged(FBlocks.size() - 1);
    }
}

void TRecordView::Reserve(std::size_t Block)
{
    // Room for a few more than a full block's ids and anchors: records put in later seldom
    // make a block grow (a grown block is a new allocation and a copy, first touched pages).
    FBlocks[Block].reserve(FBlockSize + FBlockSize / 16);
    FAnchors[Block].reserve(FBlockSize / static_cast<std::size_t>(FAnchorEvery) + 8);
}

void TRecordView::RebuildTree() const
{
    std::size_t N = FBlocks.size();
    FTree.assign(N + 1, 0);
    for (std::size_t I = 1; I <= N; ++I) {
        FTree[I] += static_cast<std::int64_t>(FBlocks[I - 1].size());
        std::size_t Parent = I + (I & (~I + 1));
        if (Parent <= N) FTree[Parent] += FTree[I];
    }
    FTreeStale = false;
}

void TRecordView::AddToTree(std::size_t Block, std::int64_t Delta)
{
    for (std::size_t I = Block + 1; I < FTree.size(); I += I & (~I + 1)) FTree[I] += Delta;
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
    if (FLastValid) {
        std::size_t B = FLastBlock;
        std::int64_t Size = static_cast<std::int64_t>(FBlocks[B].size());
        if (Pos >= FLastStart && Pos < FLastStart + Size) {
            Start = FLastStart;
            return B;
        }
        if (Pos >= FLastStart + Size && B + 1 < FBlocks.size() &&
            Pos < FLastStart + Size + static_cast<std::int64_t>(FBlocks[B + 1].size())) {
            FLastBlock = B + 1;
            Start = FLastStart += Size;
            return FLastBlock;
        }
        if (Pos < FLastStart && B > 0 && Pos >= FLastStart - static_cast<std::int64_t>(FBlocks[B - 1].size())) {
            FLastBlock = B - 1;
            Start = FLastStart -= static_cast<std::int64_t>(FBlocks[B - 1].size());
            return FLastBlock;
        }
    }
    // Down the tree: the last block whose start is at or before Pos.
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
    // Index blocks end at or before Pos; Pos is in block Index (past the end: the last).
    Index = std::min(Index, N - 1);
    FLastBlock = Index;
    FLastStart = Start = BlockStart(Index);
    FLastValid = true;
    return Index;
}

TRecordView::TId TRecordView::At(std::int64_t Pos) const
{
    if (Pos < 0 || Pos >= FCount) throw std::out_of_range("record view position out of range");
    std::int64_t Start = 0;
    std::size_t B = BlockOf(Pos, Start);
    return FBlocks[B][static_cast<std::size_t>(Pos - Start)];
}

std::int64_t TRecordView::Find(TId Id) const
{
    std::int64_t Start = 0;
    for (std::size_t B = 0; B < FBlocks.size(); ++B) {
        auto It = std::find(FBlocks[B].begin(), FBlocks[B].end(), Id);
        if (It != FBlocks[B].end()) return Start + (It - FBlocks[B].begin());
        Start += static_cast<std::int64_t>(FBlocks[B].size());
    }
    return -1;
}

std::int64_t TRecordView::FindBetween(TId Id, std::int64_t From, std::int64_t To) const
{
    From = std::max<std::int64_t>(From, 0);
    To = std::min(To, FCount);
    if (From >= To) return -1;
    std::int64_t Start = 0;
    for (std::size_t B = BlockOf(From, Start); B < FBlocks.size() && Start < To; ++B) {
        const std::vector<TId>& Block = FBlocks[B];
        auto First = Block.begin() + std::max<std::int64_t>(From - Start, 0);
        auto Last = Block.begin() + std::min<std::int64_t>(To - Start, static_cast<std::int64_t>(Block.size()));
        auto It = std::find(First, Last, Id);
        if (It != Last) return Start + (It - Block.begin());
        Start += static_cast<std::int64_t>(Block.size());
    }
    return -1;
}

void TRecordView::Insert(std::int64_t Pos, TId Id, const AnsiString* PackedKey, std::int64_t Lead)
{
    if (Pos < 0 || Pos > FCount) throw std::out_of_range("record view position out of range");
    // At the very end the last block takes it; elsewhere the block holding Pos.
    std::int64_t Start = 0;
    std::size_t B = Pos == FCount ? FBlocks.size() - 1 : BlockOf(Pos, Start);
    if (Pos == FCount) Start = FCount - static_cast<std::int64_t>(FBlocks[B].size());
    std::vector<TId>& Block = FBlocks[B];
    auto Offset = static_cast<std::int32_t>(Pos - Start);
    Block.insert(Block.begin() + Offset, Id);
    for (TAnchor& Anchor : FAnchors[B])
        if (Anchor.Offset >= Offset) ++Anchor.Offset;
    if (PackedKey) AddAnchor(B, Offset, Id, *PackedKey, Lead);
    ++FCount;
    Changed();
    if (!FTreeStale) AddToTree(B, 1);
    if (Block.size() >= 2 * FBlockSize) SplitBlock(B);
    ZFD_CHECK_INVARIANTS(*this);
}

void TRecordView::AddAnchor(std::size_t B, std::int32_t Offset, TId Id, const AnsiString& Key, std::int64_t Lead)
{
    std::vector<TAnchor>& Anchors = FAnchors[B];
    auto It = std::lower_bound(Anchors.begin(), Anchors.end(), Offset,
                               [](const TAnchor& A, std::int32_t O) { return A.Offset < O; });
    It = Anchors.insert(It, TAnchor{Offset, Id, Lead, Key});
    auto K = static_cast<std::size_t>(It - Anchors.begin());
    if (K == 0) HeadChanged(B);
    // Two anchors apart span more than AnchorEvery records: a neighbour closer than that is
    // dropped, so that the anchors stay as sparse as when the view was read. At the block's
    // end the anchor before the new one stays too, so that the last record but one keeps its
    // key when the last goes again (records added at the end find their place in memory).
    if (K + 2 < Anchors.size() && Anchors[K + 2].Offset - Offset <= FAnchorEvery)
        Anchors.erase(Anchors.begin() + static_cast<std::ptrdiff_t>(K) + 1);
    std::size_t Middle = K + 1 == Anchors.size() && K >= 1 ? K - 1 : K;
    if (Middle >= 2 && Anchors[Middle].Offset - Anchors[Middle - 2].Offset <= FAnchorEvery)
        Anchors.erase(Anchors.begin() + static_cast<std::ptrdiff_t>(Middle) - 1);
}

void TRecordView::SplitBlock(std::size_t B)
{
    FBlocks.emplace(FBlocks.begin() + static_cast<std::ptrdiff_t>(B) + 1);
    FAnchors.emplace(FAnchors.begin() + static_cast<std::ptrdiff_t>(B) + 1);
    Reserve(B + 1);
    std::vector<TId>& Block = FBlocks[B];
    std::size_t Half = Block.size() / 2;
    FBlocks[B + 1].assign(Block.begin() + static_cast<std::ptrdiff_t>(Half), Block.end());
    Block.resize(Half);
    std::vector<TAnchor>& Anchors = FAnchors[B];
    auto Split = std::lower_bound(Anchors.begin(), Anchors.end(), static_cast<std::int32_t>(Half),
                                  [](const TAnchor& A, std::int32_t O) { return A.Offset < O; });
    std::vector<TAnchor>& TailAnchors = FAnchors[B + 1];
    TailAnchors.assign(std::make_move_iterator(Split), std::make_move_iterator(Anchors.end()));
    Anchors.erase(Split, Anchors.end());
    for (TAnchor& Anchor : TailAnchors) Anchor.Offset -= static_cast<std::int32_t>(Half);
    FTreeStale = true;
    FHeadsStale = true;
    Changed();
}

void TRecordView::Remove(std::int64_t Pos)
{
    if (Pos < 0 || Pos >= FCount) throw std::out_of_range("record view position out of range");
    std::int64_t Start = 0;
    std::size_t B = BlockOf(Pos, Start);
    std::vector<TId>& Block = FBlocks[B];
    auto Offset = static_cast<std::int32_t>(Pos - Start);
    Block.erase(Block.begin() + Offset);
    std::vector<TAnchor>& Anchors = FAnchors[B];
    bool WasHead = !Anchors.empty() && Anchors.front().Offset == Offset;
    Anchors.erase(std::remove_if(Anchors.begin(), Anchors.end(), [&](const TAnchor& A) { return A.Offset == Offset; }),
                  Anchors.end());
    if (WasHead) HeadChanged(B);
    for (TAnchor& Anchor : Anchors)
        if (Anchor.Offset > Offset) --Anchor.Offset;
    --FCount;
    Changed();
    if (!FTreeStale) AddToTree(B, -1);
    if (Block.empty() && FBlocks.size() > 1) {
        FBlocks.erase(FBlocks.begin() + static_cast<std::ptrdiff_t>(B));
        FAnchors.erase(FAnchors.begin() + static_cast<std::ptrdiff_t>(B));
        FTreeStale = true;
        FHeadsStale = true;
    }
    ZFD_CHECK_INVARIANTS(*this);
}

std::size_t TRecordView::NextAnchoredBlock(std::size_t Block) const
{
    if (FHeadsStale) RebuildHeads();
    while (Block < FHeads.size() && FHeads[Block].Offset < 0) ++Block;
    return Block;
}

TRecordView::TAnchor TRecordView::HeadOf(std::size_t Block) const
{
    return FAnchors[Block].empty() ? TAnchor{-1, 0, NoLead, {}} : FAnchors[Block].front();
}

void TRecordView::RebuildHeads() const
{
    FHeads.resize(FAnchors.size());
    for (std::size_t B = 0; B < FAnchors.size(); ++B) FHeads[B] = HeadOf(B);
    FHeadsStale = false;
}

void TRecordView::HeadChanged(std::size_t Block)
{
    if (!FHeadsStale) FHeads[Block] = HeadOf(Block);
}

namespace {

// A binary search over a large view waits on memory at each probe: the two places the next
// probe may be (the middles of [Lo, Mid] and [Mid, Hi]) are fetched while Mid is compared.
template <class T>
void FetchBothNext(const std::vector<T>& Items, std::size_t Lo, std::size_t Mid, std::size_t Hi)
{
    __builtin_prefetch(Items.data() + Lo + (Mid - Lo) / 2);
    if (std::size_t Upper = Mid + (Hi - Mid) / 2; Upper < Items.size()) __builtin_prefetch(Items.data() + Upper);
}

}  // namespace

TRecordView::TBracket TRecordView::Bracket(const TAnchorCompare& Compare, std::int64_t Lead) const
{
    auto Order = [&](const TAnchor& A) {
        if (Lead != NoLead && A.Lead != NoLead && A.Lead != Lead) return A.Lead < Lead ? -1 : 1;
        return Compare(A.Key, A.Id);
    };
    auto Anchor = [&](std::size_t B, std::size_t K) { return Order(FAnchors[B][K]); };
    // The last block whose first anchor comes before the key or is at it (blocks without
    // anchors are passed over), found among the blocks' heads.
    std::size_t N = FBlocks.size(), Lo = 0, Hi = N, Found = N;
    if (FHeadsStale) RebuildHeads();
    while (Lo < Hi) {
        std::size_t Mid = Lo + (Hi - Lo) / 2;
        FetchBothNext(FHeads, Lo, Mid, Hi);
        std::size_t M = NextAnchoredBlock(Mid);
        if (M >= Hi) {
            Hi = Mid;
        } else if (Order(FHeads[M]) <= 0) {
            Found = M;
            Lo = M + 1;
        } else {
            Hi = Mid;
        }
    }
    TBracket Result;
    Result.Hi = FCount;
    std::size_t After = 0;  // the block of the first anchor after the key, and its index there
    std::size_t AfterIndex = 0;
    if (Found < N) {
        // Within it, the last anchor before the key or at it.
        const std::vector<TAnchor>& Anchors = FAnchors[Found];
        std::size_t L = 0, H = Anchors.size();
        int LastCompare = 0;
        while (H - L > 1) {
            std::size_t M = L + (H - L) / 2;
            FetchBothNext(Anchors, L, M, H);
            int C = Anchor(Found, M);
            if (C <= 0) {
                L = M;
                LastCompare = C;
            } else {
                H = M;
            }
        }
        if (L == 0) LastCompare = Anchor(Found, 0);
        std::int64_t Pos = BlockStart(Found) + Anchors[L].Offset;
        if (LastCompare == 0) {
            Result.Exact = Result.Lo = Result.Hi = Pos;
            return Result;
        }
        Result.Lo = Pos + 1;
        After = L + 1 < Anchors.size() ? Found : NextAnchoredBlock(Found + 1);
        AfterIndex = L + 1 < Anchors.size() ? L + 1 : 0;
    } else {
        After = NextAnchoredBlock(0);
    }
    if (After < N) Result.Hi = BlockStart(After) + FAnchors[After][AfterIndex].Offset;
    return Result;
}

std::size_t TRecordView::AnchorCount() const
{
    std::size_t Count = 0;
    for (const std::vector<TAnchor>& Anchors : FAnchors) Count += Anchors.size();
    return Count;
}

void TRecordView::ForEachAnchor(const TAnchorVisit& Visit) const
{
    std::int64_t Start = 0;
    for (std::size_t B = 0; B < FBlocks.size(); ++B) {
        for (const TAnchor& Anchor : FAnchors[B]) Visit(Start + Anchor.Offset, Anchor.Id, Anchor.Key, Anchor.Lead);
        Start += static_cast<std::int64_t>(FBlocks[B].size());
    }
}

AnsiString TRecordView::CheckInvariants() const
{
    auto Number = [](std::int64_t N) { return IntToStr(N); };
    std::size_t N = FBlocks.size();
    if (N == 0) return "the view has no block";
    if (FAnchors.size() != N)
        return "the view has " + Number(static_cast<std::int64_t>(N)) + " blocks and anchors for " +
               Number(static_cast<std::int64_t>(FAnchors.size()));
    std::int64_t Sum = 0;
    std::vector<std::int64_t> Starts(N);
    for (std::size_t B = 0; B < N; ++B) {
        const std::vector<TId>& Block = FBlocks[B];
        auto Size = static_cast<std::int64_t>(Block.size());
        AnsiString Where = "block " + Number(static_cast<std::int64_t>(B)) + ": ";
        if (Block.empty() && N > 1) return Where + "empty, beside other blocks";
        if (Block.size() >= 2 * FBlockSize) return Where + "holds " + Number(Size) + " ids, more than it is split at";
        std::int32_t Previous = -1;
        for (const TAnchor& Anchor : FAnchors[B]) {
            if (Anchor.Offset <= Previous || Anchor.Offset >= Size)
                return Where + "an anchor at offset " + Number(Anchor.Offset) + " after one at " + Number(Previous) +
                       " in " + Number(Size) + " ids";
            if (Block[static_cast<std::size_t>(Anchor.Offset)] != Anchor.Id)
                return Where + "the anchor at offset " + Number(Anchor.Offset) + " is of record " + Number(Anchor.Id) +
                       ", which stands elsewhere";
            Previous = Anchor.Offset;
        }
        if (!FHeadsStale) {
            if (FHeads.size() != N) return "the blocks' heads are not one per block";
            // A head's offset tells only whether the block has an anchor.
            TAnchor Head = HeadOf(B);
            const TAnchor& Kept = FHeads[B];
            if ((Kept.Offset < 0) != (Head.Offset < 0) || Kept.Id != Head.Id || Kept.Lead != Head.Lead || Kept.Key != Head.Key)
                return Where + "its head is not its first anchor";
        }
        if (!FTreeStale && BlockStart(B) != Sum) return Where + "the Fenwick tree puts its start elsewhere";
        Starts[B] = Sum;
        Sum += Size;
    }
    if (Sum != FCount) return "the view counts " + Number(FCount) + " ids and holds " + Number(Sum);
    if (FLastValid && (FLastBlock >= N || FLastStart != Starts[FLastBlock]))
        return "the block used last is remembered at the wrong start";
    return {};
}

}  // namespace RecordServer
