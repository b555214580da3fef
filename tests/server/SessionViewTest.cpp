// The session's view on its own: it checks what it holds where it changes, so that a store
// that answers out of order, or a placing gone wrong, stops a debug build where it happens.
#include <gtest/gtest.h>

#include <utility>

#include "server/Schema.h"
#include "server/SessionView.h"
#include "tests/server/ListStore.h"

namespace {

using namespace RecordServer;

TEST(SessionView, AViewWhoseKeysDoNotRiseWithTheirPlacesIsCaughtWhereItIsRead)
{
    TTableSchema Schema = ParseSchema("[Table]\nName = T\n[Fields]\nK, Number, 8, Key\nV, Text, 8\n", "t.SFD");
    TListStore Store = TListStore::Numbered(5);
    Store.Every = 1;  // every record keeps its key
    TSessionView View;
    View.Open(Store, Schema);
    View.Read();
    EXPECT_EQ(View.CheckInvariants(), "");
    EXPECT_EQ(View.Count(), 5);

    std::swap(Store.Records[1], Store.Records[3]);  // keys 1 4 3 2 5
#ifdef NDEBUG
    View.Read();
    EXPECT_NE(View.CheckInvariants().find("the anchor at 2 (record 3) does not come after the anchor at 1"),
              AnsiString::npos)
        << View.CheckInvariants();
#else
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(View.Read(), "an invariant is broken: the anchor at 2 \\(record 3\\) does not come after");
#endif
    View.Close();
    EXPECT_EQ(View.CheckInvariants(), "");
    EXPECT_TRUE(View.IsEmpty());
}

}  // namespace
