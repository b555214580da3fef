// The record view: its blocks against a plain array, and its anchors bracketing every key,
// through inserts, removes and splits, with its invariants checked after every step.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "server/KeyOrder.h"
#include "server/RecordView.h"
#include "server/Schema.h"

namespace {

using namespace RecordServer;

TEST(RecordView, BlockedViewMatchesAPlainArrayThroughInsertsRemovesAndReads)
{
    TRecordView View;
    std::vector<std::int64_t> Model;
    std::mt19937 Random(7);
    std::int64_t NextId = 1;
    for (int Step = 0; Step < 6000; ++Step) {
        bool Grow = Model.size() < 10 || Random() % 3 != 0;
        if (Grow) {
            // Mostly at the end, as posts with rising keys come, sometimes anywhere.
            std::size_t Pos = Random() % 2 ? Model.size() : Random() % (Model.size() + 1);
            View.Insert(static_cast<std::int64_t>(Pos), NextId);
            Model.insert(Model.begin() + static_cast<std::ptrdiff_t>(Pos), NextId++);
        } else {
            std::size_t Pos = Random() % Model.size();
            View.Remove(static_cast<std::int64_t>(Pos));
            Model.erase(Model.begin() + static_cast<std::ptrdiff_t>(Pos));
        }
        ASSERT_EQ(View.CheckInvariants(), "") << "step " << Step;
    }
    ASSERT_GT(Model.size(), 2048u);  // several blocks were split
    ASSERT_EQ(View.Count(), static_cast<std::int64_t>(Model.size()));
    for (std::size_t I = 0; I < Model.size(); ++I) ASSERT_EQ(View.At(static_cast<std::int64_t>(I)), Model[I]) << I;
    for (std::size_t I = Model.size(); I-- > 0;) ASSERT_EQ(View.At(static_cast<std::int64_t>(I)), Model[I]) << I;
    EXPECT_EQ(View.Find(Model[1500]), 1500);
    EXPECT_EQ(View.Find(-5), -1);
    EXPECT_THROW(View.At(View.Count()), std::out_of_range);

    View.Clear();
    for (std::int64_t Id : Model) View.Append(Id);
    ASSERT_EQ(View.Count(), static_cast<std::int64_t>(Model.size()));
    View.Insert(View.Count(), -1);  // after appending, inserts and removes still find their block
    Model.push_back(-1);
    View.Insert(1025, -2);
    Model.insert(Model.begin() + 1025, -2);
    while (!Model.empty()) {  // emptied from the front, block by block
        ASSERT_EQ(View.At(0), Model.front());
        View.Remove(0);
        Model.erase(Model.begin());
    }
    EXPECT_TRUE(View.IsEmpty());
    View.Insert(0, 99);
    EXPECT_EQ(View.At(0), 99);
}

// Records with even keys, ordered; a key looked for falls between two anchors, and a
// record's own key brackets it exactly or between the anchors around it. With a key kept for
// one record in Every, and for every record. Keys are negative and positive, and one in five
// is written as a decimal ("-20.0"), which has no lead: anchors and keys looked for with and
// without leads meet.

// Records with even keys, ordered; a key looked for falls between two anchors, and a
// record's own key brackets it exactly or between the anchors around it. With a key kept for
// one record in Every, and for every record. Keys are negative and positive, and one in five
// is written as a decimal ("-20.0"), which has no lead: anchors and keys looked for with and
// without leads meet.
class RecordViewAnchors : public ::testing::TestWithParam<int> {};

TEST_P(RecordViewAnchors, BracketEveryKeyThroughInsertsRemovesAndSplits)
{
    TRecordView View;
    View.SetAnchorEvery(GetParam());
    std::vector<std::pair<std::int64_t, std::int64_t>> Model;  // (key, id) in order
    TTableSchema Schema = ParseSchema("[Table]\nName = T\n[Fields]\nK, Number, 20, Key\n", "t.SFD");
    auto Text = [](std::int64_t Key) { return std::to_string(Key) + (Key % 5 == 0 ? ".0" : ""); };
    auto Packed = [&](std::int64_t Key) { return PackKey({Text(Key)}); };
    auto Lead = [&](std::int64_t Key) { return KeyLead(Schema, {Text(Key)}).value_or(TRecordView::NoLead); };
    for (std::int64_t I = 0; I < 3000; ++I) {
        std::int64_t Key = 2 * I - 3000;
        Model.emplace_back(Key, I + 1);
        AnsiString P = Packed(Key);
        View.Append(I + 1, I % View.AnchorEvery() == 0 ? &P : nullptr, Lead(Key));
    }
    std::mt19937 Random(11);
    std::int64_t NextId = 5000;
    auto Place = [&](std::int64_t Key, std::int64_t Id) {
        return static_cast<std::int64_t>(std::lower_bound(Model.begin(), Model.end(), std::make_pair(Key, Id)) - Model.begin());
    };
    auto BracketOf = [&](std::int64_t Key, std::int64_t Id) {
        TRecordKey Sought{{Text(Key)}, Id};
        return View.Bracket([&](std::string_view P, std::int64_t AnchorId) { return ComparePackedKey(Schema, P, AnchorId, Sought); },
                            Lead(Key));
    };
    for (int Step = 0; Step < 20000; ++Step) {
        if (Random() % 5 < 3 || Model.size() < 100) {
            // Odd keys, some after the last: a place between records, or at the end.
            std::int64_t Key = (static_cast<std::int64_t>(Random() % (2 * Model.size() + 40)) | 1) - 3000;
            std::int64_t Pos = Place(Key, NextId);
            TRecordView::TBracket B = BracketOf(Key, NextId);
            ASSERT_EQ(B.Exact, -1);
            ASSERT_LE(B.Lo, Pos);
            ASSERT_GE(B.Hi, Pos);
            AnsiString P = Packed(Key);
            View.Insert(Pos, NextId, Random() % 4 ? &P : nullptr, Lead(Key));  // some placed without a key
            Model.insert(Model.begin() + Pos, {Key, NextId++});
        } else {
            std::size_t Pos = Random() % Model.size();
            auto [Key, Id] = Model[Pos];
            TRecordView::TBracket B = BracketOf(Key, Id);
            if (B.Exact >= 0) {
                ASSERT_EQ(B.Exact, static_cast<std::int64_t>(Pos));
            } else {
                ASSERT_EQ(View.FindBetween(Id, B.Lo, B.Hi), static_cast<std::int64_t>(Pos));
            }
            View.Remove(static_cast<std::int64_t>(Pos));
            Model.erase(Model.begin() + static_cast<std::ptrdiff_t>(Pos));
        }
        ASSERT_EQ(View.CheckInvariants(), "") << "step " << Step;
        if (Step % 50 != 0) continue;
        // The anchors are records of the model at their places, with their keys, in order.
        std::size_t Wrong = 0;
        std::pair<std::int64_t, std::int64_t> Previous{INT64_MIN, 0};
        View.ForEachAnchor([&](std::int64_t Pos, std::int64_t Id, std::string_view Key, std::int64_t) {
            const auto& Record = Model[static_cast<std::size_t>(Pos)];
            if (Id != Record.second || Key != Packed(Record.first) || !(Previous < Record)) ++Wrong;
            Previous = Record;
        });
        ASSERT_EQ(Wrong, 0u) << "step " << Step;
    }
    ASSERT_EQ(View.Count(), static_cast<std::int64_t>(Model.size()));
    for (std::size_t I = 0; I < Model.size(); ++I) ASSERT_EQ(View.At(static_cast<std::int64_t>(I)), Model[I].second);
    // Placing with keys keeps the anchors sparse: no more than two in AnchorEvery records,
    // and yet the brackets stay narrow.
    EXPECT_LE(View.AnchorCount(), 2 * Model.size() / View.AnchorEvery() + 2 * View.Count() / 1024 + 2);
    std::int64_t Widest = 0;
    for (int Probe = 0; Probe < 200; ++Probe) {
        TRecordView::TBracket B = BracketOf((static_cast<std::int64_t>(Random() % (2 * Model.size())) | 1) - 3000, 1);
        Widest = std::max(Widest, B.Hi - B.Lo);
    }
    EXPECT_LE(Widest, 8 * std::max(View.AnchorEvery(), 4));

    // A view without anchors brackets the whole of it.
    TRecordView Bare;
    for (std::int64_t Id = 1; Id <= 50; ++Id) Bare.Append(Id);
    TRecordView::TBracket Whole = Bare.Bracket([](std::string_view, std::int64_t) { return -1; });
    EXPECT_EQ(Whole.Lo, 0);
    EXPECT_EQ(Whole.Hi, 50);
}

INSTANTIATE_TEST_SUITE_P(OneInSixteenAndAll, RecordViewAnchors, ::testing::Values(16, 1));

// The watch answers "nothing committed" only while no connection (this one or another)
// committed since the last look: after each kind of commit, also one into a WAL that a
// checkpoint emptied, it sees a change once and then none.

}  // namespace
