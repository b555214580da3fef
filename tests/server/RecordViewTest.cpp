// The record view as a list of blocks read when visited: against a plain ordered array through
// records put in and taken out, with small blocks and a small cache so that blocks split, go
// and leave the cache and are read again; and a block read ahead of the log, whose commit is
// then taken in once.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "server/KeyOrder.h"
#include "server/RecordView.h"
#include "server/Schema.h"

namespace {

using namespace RecordServer;

struct TModelStore {
    // (key, id), ordered by key then id: what the store holds.
    std::vector<std::pair<std::int64_t, std::int64_t>> Records;
    int Loads = 0;

    static TRecordKey Key(std::int64_t K, std::int64_t Id)
    {
        // One key in five is written as a decimal: the order is numeric, not by text.
        return TRecordKey{{std::to_string(K) + (K % 5 == 0 ? ".0" : "")}, Id};
    }
    void Load(const TTableSchema& Schema, const TRecordKey* From, const TRecordKey* To, std::vector<TRecordKey>& Out)
    {
        ++Loads;
        for (const auto& [K, Id] : Records) {
            TRecordKey R = Key(K, Id);
            if (From && CompareRecordKeys(Schema, R, *From) < 0) continue;
            if (To && CompareRecordKeys(Schema, R, *To) >= 0) continue;
            Out.push_back(R);
        }
    }
    std::int64_t IndexOf(std::int64_t Id) const
    {
        auto It = std::find_if(Records.begin(), Records.end(), [&](const auto& R) { return R.second == Id; });
        return It == Records.end() ? -1 : It - Records.begin();
    }
};

class RecordViewBlocks : public ::testing::Test {
protected:
    TTableSchema Schema = ParseSchema("[Table]\nName = T\n[Fields]\nK, Number, 20, Key\n", "t.SFD");
    TModelStore Store;
    TRecordView View;

    void SetUp() override
    {
        View.Open(Schema, [this](const TRecordKey* From, const TRecordKey* To, std::vector<TRecordKey>& Out) {
            Store.Load(Schema, From, To, Out);
        });
    }
    // The view made as a summary of blocks of Size records would give it.
    void ReadAsSummary(std::size_t Size)
    {
        View.Clear();
        for (std::size_t N = 0; N < Store.Records.size() || N == 0; N += Size) {
            std::optional<TRecordKey> Bound;
            if (N) Bound = TModelStore::Key(Store.Records[N].first, 0);
            View.AddBlock(Bound, static_cast<std::int64_t>(std::min(Size, Store.Records.size() - N)));
        }
    }
    void ExpectSameAsStore(const char* When)
    {
        ASSERT_EQ(View.Count(), static_cast<std::int64_t>(Store.Records.size())) << When;
        for (std::size_t I = 0; I < Store.Records.size(); ++I)
            ASSERT_EQ(View.At(static_cast<std::int64_t>(I)), Store.Records[I].second) << When << " at " << I;
        ASSERT_EQ(View.CheckInvariants(), "") << When;
    }
};

TEST_F(RecordViewBlocks, PositionsPutsTakesAndLocatesMatchAPlainArrayWithBlocksSplitEvictedAndReadAgain)
{
    std::mt19937 Random(5);
    std::int64_t NextId = 1;
    for (int I = 0; I < 300; ++I) Store.Records.emplace_back(3 * I, NextId++);
    ReadAsSummary(20);
    View.SetSizes(16, 3);
    EXPECT_EQ(View.CachedCount(), 0u);  // nothing read at the start
    ASSERT_EQ(View.Count(), 300);
    for (int Step = 0; Step < 4000; ++Step) {
        int What = static_cast<int>(Random() % 10);
        if (What < 4 || Store.Records.size() < 5) {
            // A new record (a key not taken yet), put in by this view or told of by the log.
            std::int64_t K;
            do K = static_cast<std::int64_t>(Random() % 2000) - 500;
            while (std::any_of(Store.Records.begin(), Store.Records.end(), [&](const auto& R) { return R.first == K; }));
            std::pair<std::int64_t, std::int64_t> Record{K, NextId++};
            Store.Records.insert(std::lower_bound(Store.Records.begin(), Store.Records.end(), Record), Record);
            std::int64_t Pos = View.Put(TModelStore::Key(K, Record.second), Random() % 2 == 0);
            if (Pos >= 0) {
                ASSERT_EQ(Pos, Store.IndexOf(Record.second)) << "step " << Step;
            }
        } else if (What < 7) {
            std::size_t Index = Random() % Store.Records.size();
            auto [K, Id] = Store.Records[Index];
            Store.Records.erase(Store.Records.begin() + static_cast<std::ptrdiff_t>(Index));
            std::int64_t Pos = -1;
            bool Load = Random() % 2 == 0;
            // A block read now no longer holds it (the store is ahead): nothing to take then.
            bool Taken = View.Take(TModelStore::Key(K, Id), Load, Pos);
            if (!Load) {
                ASSERT_TRUE(Taken) << "step " << Step;
            }
            if (Pos >= 0) {
                ASSERT_EQ(Pos, static_cast<std::int64_t>(Index)) << "step " << Step;
            }
        } else if (What < 9) {
            std::size_t Index = Random() % Store.Records.size();
            ASSERT_EQ(View.At(static_cast<std::int64_t>(Index)), Store.Records[Index].second) << "step " << Step;
        } else {
            std::size_t Index = Random() % Store.Records.size();
            auto [K, Id] = Store.Records[Index];
            ASSERT_EQ(View.Locate(TModelStore::Key(K, Id)), static_cast<std::int64_t>(Index)) << "step " << Step;
            ASSERT_EQ(View.Locate(TModelStore::Key(K, Id + 100000)), -1) << "step " << Step;
        }
        View.Settle();
        ASSERT_EQ(View.Count(), static_cast<std::int64_t>(Store.Records.size())) << "step " << Step;
        ASSERT_EQ(View.CheckInvariants(), "") << "step " << Step;
        ASSERT_LE(View.CachedCount(), 3u) << "step " << Step;
    }
    EXPECT_GT(View.BlockCount(), 20u);  // blocks were split
    EXPECT_GT(Store.Loads, 500);        // and read again after leaving the cache
    ExpectSameAsStore("at the end");
    for (std::int64_t Pos = View.Count(); Pos-- > 0;) ASSERT_EQ(View.At(Pos), Store.Records[static_cast<std::size_t>(Pos)].second);
    EXPECT_THROW(View.At(View.Count()), std::out_of_range);
    EXPECT_THROW(View.At(-1), std::out_of_range);
    while (!Store.Records.empty()) {  // emptied from the front: blocks go, block 0 stays
        ASSERT_EQ(View.At(0), Store.Records.front().second);
        View.RemoveAt(0);
        Store.Records.erase(Store.Records.begin());
        ASSERT_EQ(View.CheckInvariants(), "");
    }
    EXPECT_TRUE(View.IsEmpty());
    EXPECT_EQ(View.BlockCount(), 1u);
}

TEST_F(RecordViewBlocks, OnlyTheBlocksVisitedAreReadAndTheirCountsBecomeWhatTheStoreHolds)
{
    for (int I = 0; I < 100; ++I) Store.Records.emplace_back(10 * I, I + 1);
    ReadAsSummary(10);
    View.SetSizes(32, 4);
    EXPECT_EQ(View.At(55), 56);
    EXPECT_EQ(View.At(99), 100);  // Last: one more block
    EXPECT_EQ(Store.Loads, 2);
    EXPECT_EQ(View.CachedCount(), 2u);

    // Records another writer added to block 2 (its summary said 10) and took from block 7:
    // reading a block sets its count to what it holds.
    Store.Records.emplace_back(205, 1000);
    Store.Records.emplace_back(206, 1001);
    std::sort(Store.Records.begin(), Store.Records.end());
    Store.Records.erase(Store.Records.begin() + 75);  // key 730
    EXPECT_EQ(View.Count(), 100);
    EXPECT_EQ(View.At(20), 21);
    EXPECT_EQ(View.Count(), 102);
    EXPECT_EQ(View.At(75), 75);  // block 7 starts at 72 now: 700 710 720 740
    EXPECT_EQ(View.Count(), 101);
    ExpectSameAsStore("after reading blocks others wrote to");
}

TEST_F(RecordViewBlocks, ACommitABlockWasReadWithIsTakenInOnceEvenAfterOtherBlocksFillTheCache)
{
    for (int I = 0; I < 60; ++I) Store.Records.emplace_back(10 * I, I + 1);
    ReadAsSummary(10);
    View.SetSizes(64, 1);
    // Another session inserts key 105 and deletes key 110 (record 12); the view reads block 1
    // before it takes that commit in.
    Store.Records.insert(Store.Records.begin() + 11, {105, 500});
    Store.Records.erase(Store.Records.begin() + 12);
    EXPECT_EQ(View.At(11), 500);
    // Other blocks visited meanwhile do not push out the block read ahead of the log.
    EXPECT_EQ(View.At(45), 46);
    EXPECT_EQ(View.At(5), 6);
    // The commit taken in: the block read ahead holds it already, and changes nothing twice.
    std::int64_t Pos = -1;
    EXPECT_FALSE(View.Take(TModelStore::Key(110, 12), false, Pos));
    EXPECT_EQ(View.Put(TModelStore::Key(105, 500), false), 11);
    View.Settle();
    EXPECT_LE(View.CachedCount(), 1u);
    ExpectSameAsStore("after taking in the commit a block was read with");
}

}  // namespace
