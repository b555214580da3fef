#include "server/RecordView.h"

#include <algorithm>
#include <stdexcept>

namespace RecordServer {

void TRecordView::Clear()
{
    FBlocks.clear();
    FStarts.clear();
    FFirstKeys.clear();
    FBlocks.emplace_back();
    FStarts.push_back(0);
    FFirstKeys.emplace_back();
    FCount = 0;
    FLastBlock = 0;
}

void TRecordView::Append(TId Id)
{
    if (FBlocks.back().size() >= BlockSize) {
        FBlocks.emplace_back();
        FStarts.push_back(FCount);
        FFirstKeys.emplace_back();
    }
    std::vector<TId>& Last = FBlocks.back();
    if (Last.empty()) Last.reserve(BlockSize);
    Last.push_back(Id);
    ++FCount;
}

std::size_t TRecordView::BlockOf(std::int64_t Pos) const
{
    auto Holds = [&](std::size_t B) {
        return Pos >= FStarts[B] && Pos < FStarts[B] + static_cast<std::int64_t>(FBlocks[B].size());
    };
    for (std::size_t B : {FLastBlock, FLastBlock + 1, FLastBlock - 1})
        if (B < FBlocks.size() && Holds(B)) return FLastBlock = B;
    auto It = std::upper_bound(FStarts.begin(), FStarts.end(), Pos);
    return FLastBlock = static_cast<std::size_t>(It - FStarts.begin()) - 1;
}

TRecordView::TId TRecordView::At(std::int64_t Pos) const
{
    if (Pos < 0 || Pos >= FCount) throw std::out_of_range("record view position out of range");
    std::size_t B = BlockOf(Pos);
    return FBlocks[B][static_cast<std::size_t>(Pos - FStarts[B])];
}

std::int64_t TRecordView::Find(TId Id) const
{
    for (std::size_t B = 0; B < FBlocks.size(); ++B) {
        auto It = std::find(FBlocks[B].begin(), FBlocks[B].end(), Id);
        if (It != FBlocks[B].end()) return FStarts[B] + (It - FBlocks[B].begin());
    }
    return -1;
}

void TRecordView::Insert(std::int64_t Pos, TId Id)
{
    if (Pos < 0 || Pos > FCount) throw std::out_of_range("record view position out of range");
    // At the very end the last block takes it; elsewhere the block holding Pos.
    std::size_t B = Pos == FCount ? FBlocks.size() - 1 : BlockOf(Pos);
    std::vector<TId>& Block = FBlocks[B];
    if (Pos == FStarts[B]) FFirstKeys[B].reset();
    Block.insert(Block.begin() + (Pos - FStarts[B]), Id);
    for (std::size_t I = B + 1; I < FStarts.size(); ++I) ++FStarts[I];
    ++FCount;
    if (Block.size() >= 2 * BlockSize) SplitBlock(B);
}

void TRecordView::SplitBlock(std::size_t B)
{
    std::vector<TId>& Block = FBlocks[B];
    std::size_t Half = Block.size() / 2;
    std::vector<TId> Tail(Block.begin() + static_cast<std::ptrdiff_t>(Half), Block.end());
    Block.resize(Half);
    std::int64_t TailStart = FStarts[B] + static_cast<std::int64_t>(Half);
    FBlocks.insert(FBlocks.begin() + static_cast<std::ptrdiff_t>(B) + 1, std::move(Tail));
    FStarts.insert(FStarts.begin() + static_cast<std::ptrdiff_t>(B) + 1, TailStart);
    FFirstKeys.insert(FFirstKeys.begin() + static_cast<std::ptrdiff_t>(B) + 1, std::nullopt);
}

void TRecordView::Remove(std::int64_t Pos)
{
    if (Pos < 0 || Pos >= FCount) throw std::out_of_range("record view position out of range");
    std::size_t B = BlockOf(Pos);
    std::vector<TId>& Block = FBlocks[B];
    if (Pos == FStarts[B]) FFirstKeys[B].reset();
    Block.erase(Block.begin() + (Pos - FStarts[B]));
    for (std::size_t I = B + 1; I < FStarts.size(); ++I) --FStarts[I];
    --FCount;
    if (Block.empty() && FBlocks.size() > 1) {
        FBlocks.erase(FBlocks.begin() + static_cast<std::ptrdiff_t>(B));
        FStarts.erase(FStarts.begin() + static_cast<std::ptrdiff_t>(B));
        FFirstKeys.erase(FFirstKeys.begin() + static_cast<std::ptrdiff_t>(B));
        FLastBlock = 0;
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
