// The session's view on its own: it opens from the store's summary and reads a block only when
// a position in it is visited; and it checks what it holds where it changes, so that a store
// that answers out of order stops a debug build where the block is read.
#include <gtest/gtest.h>

#include <utility>

#include "server/Schema.h"
#include "server/SessionView.h"
#include "tests/server/ListStore.h"

namespace {

using namespace RecordServer;

TTableSchema KeyedSchema()
{
    return ParseSchema("[Table]\nName = T\n[Fields]\nK, Number, 8, Key\nV, Text, 8\n", "t.SFD");
}

TEST(SessionView, OpeningReadsTheSummaryAloneAndAPositionReadsOnlyItsBlock)
{
    TTableSchema Schema = KeyedSchema();
    TListStore Store = TListStore::Numbered(5000);  // summary blocks of 1024
    TSessionView View;
    View.Open(Store, Schema);
    View.Read();
    EXPECT_EQ(View.Count(), 5000);
    EXPECT_EQ(Store.Ranges, 0);
    EXPECT_EQ(View.At(4999), 5000);  // the last block alone
    EXPECT_EQ(View.At(4100), 4101);
    EXPECT_EQ(Store.Ranges, 1);
    EXPECT_EQ(View.At(1500), 1501);
    EXPECT_EQ(Store.Ranges, 2);
    EXPECT_EQ(View.Find(2), 1);
    EXPECT_EQ(Store.Ranges, 3);
    EXPECT_EQ(View.Find(9999), -1);
    EXPECT_EQ(View.CheckInvariants(), "");
    View.Close();
    EXPECT_TRUE(View.IsEmpty());
}

TEST(SessionView, ABlockWhoseKeysDoNotRiseIsCaughtWhereItIsRead)
{
    TTableSchema Schema = KeyedSchema();
    TListStore Store = TListStore::Numbered(5);
    TSessionView View;
    View.Open(Store, Schema);
    View.Read();
    EXPECT_EQ(View.At(2), 3);
    EXPECT_EQ(View.CheckInvariants(), "");

    std::swap(Store.Records[1], Store.Records[3]);  // keys 1 4 3 2 5
    View.Read();
#ifdef NDEBUG
    View.At(0);
    EXPECT_NE(View.CheckInvariants().find("record 3 does not come after the one before it"), AnsiString::npos)
        << View.CheckInvariants();
#else
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(View.At(0), "an invariant is broken: block 0: record 3 does not come after the one before it");
#endif
    View.Close();
    EXPECT_EQ(View.CheckInvariants(), "");
    EXPECT_TRUE(View.IsEmpty());
}

}  // namespace
