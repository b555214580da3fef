#include "server/RecordView.h"

#include <algorithm>
#include <stdexcept>

namespace RecordServer {

void TRecordView::Clear()
{
    FBlocks.clear();
    FFirstKeys.clear();
    FBlocks.emplace_back();
    FFirstKeys.emplace_back();
    FCount = 0;
    FTreeStale = true;
    Changed();
}

void TRecordView::Append(TId Id)
{
    if (FBlocks.back().size() >= BlockSize) {
        FBlocks.emplace_back();
        FFirstKeys.emplace_back();
        FTreeStale = true;
    } else if (!FTreeStale) {
        AddToTree(FBlocks.size() - 1, 1);
    }
    std::vector<TId>& Last = FBlocks.back();
    if (Last.empty()) Last.reserve(BlockSize);
    Last.push_back(Id);
    ++FCount;
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

void TRecordView::Insert(std::int64_t Pos, TId Id)
{
    if (Pos < 0 || Pos > FCount) throw std::out_of_range("record view position out of range");
    // At the very end the last block takes it; elsewhere the block holding Pos.
    std::int64_t Start = 0;
    std::size_t B = Pos == FCount ? FBlocks.size() - 1 : BlockOf(Pos, Start);
    if (Pos == FCount) Start = FCount - static_cast<std::int64_t>(FBlocks[B].size());
    std::vector<TId>& Block = FBlocks[B];
    if (Pos == Start) FFirstKeys[B].reset();
    Block.insert(Block.begin() + (Pos - Start), Id);
    ++FCount;
    Changed();
    if (!FTreeStale) AddToTree(B, 1);
    if (Block.size() >= 2 * BlockSize) SplitBlock(B);
}

void TRecordView::SplitBlock(std::size_t B)
{
    std::vector<TId>& Block = FBlocks[B];
    std::size_t Half = Block.size() / 2;
    std::vector<TId> Tail(Block.begin() + static_cast<std::ptrdiff_t>(Half), Block.end());
    Block.resize(Half);
    FBlocks.insert(FBlocks.begin() + static_cast<std::ptrdiff_t>(B) + 1, std::move(Tail));
    FFirstKeys.insert(FFirstKeys.begin() + static_cast<std::ptrdiff_t>(B) + 1, std::nullopt);
    FTreeStale = true;
    Changed();
}

void TRecordView::Remove(std::int64_t Pos)
{
    if (Pos < 0 || Pos >= FCount) throw std::out_of_range("record view position out of range");
    std::int64_t Start = 0;
    std::size_t B = BlockOf(Pos, Start);
    std::vector<TId>& Block = FBlocks[B];
    if (Pos == Start) FFirstKeys[B].reset();
    Block.erase(Block.begin() + (Pos - Start));
    --FCount;
    Changed();
    if (!FTreeStale) AddToTree(B, -1);
    if (Block.empty() && FBlocks.size() > 1) {
        FBlocks.erase(FBlocks.begin() + static_cast<std::ptrdiff_t>(B));
        FFirstKeys.erase(FFirstKeys.begin() + static_cast<std::ptrdiff_t>(B));
        FTreeStale = true;
    }
}

const std::vector<AnsiString>* TRecordView::FirstKey(std::size_t Block) const
{
    return FFirstKeys[Block] ? &*FFirstKeys[Block] : nullptr;
}

void TRecordView::SetFirstKey(std::size_t Block, std::vector<AnsiString> Key)
{
    FFirstKeys[Block] = std::move(Key);
}

}  // namespace RecordServer
