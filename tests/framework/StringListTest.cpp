// TStrings and TStringList: objects not owned, index errors, assigning, sorting.
#include <gtest/gtest.h>

#include "framework/core/TComponent.h"
#include "framework/core/TStrings.h"

namespace {

TEST(StringList, ObjectsAreNotOwnedAndIndexErrorsRaise)
{
    TComponent A(nullptr), B(nullptr);
    TStringList L;
    L.AddObject("a", &A);
    L.AddObject("b", &B);
    L.Add("c");
    EXPECT_EQ(L.IndexOfObject(&B), 1);
    EXPECT_EQ(L.IndexOf("C"), 2);
    EXPECT_EQ(L.Objects(2), nullptr);
    L.Delete(0);
    EXPECT_EQ(L.Strings(0), "b");
    EXPECT_THROW(L.Delete(5), EStringListError);
    EXPECT_THROW(L.Strings(-1), EListError);
    EXPECT_EQ(L.Text(), "b\nc\n");
    L.SetText("x\r\ny\nz");
    EXPECT_EQ(L.Count(), 3);
    EXPECT_EQ(L.Strings(2), "z");
}

TEST(StringList, AssignCopiesInsideOneUpdateBracket)
{
    struct TCounter : TObject {
        void Changed(TObject*) { ++Calls; }
        int Calls = 0;
    } Counter;
    TStringList Source, Dest;
    Source.Add("1");
    Source.Add("2");
    Dest.Add("old");
    Dest.OnChange = TNotifyEvent(&Counter, &TCounter::Changed);
    Dest.Assign(&Source);
    EXPECT_EQ(Counter.Calls, 1);
    EXPECT_EQ(Dest.Text(), "1\n2\n");
}

TEST(StringList, SortedListsFindAndRefuseDuplicatesWhenAsked)
{
    TStringList L;
    L.SetSorted(true);
    L.Add("pear");
    L.Add("apple");
    L.Add("fig");
    EXPECT_EQ(L.Strings(0), "apple");
    EXPECT_EQ(L.IndexOf("FIG"), 1);
    L.Add("fig");
    EXPECT_EQ(L.Count(), 3);
    L.SetDuplicates(dupError);
    EXPECT_THROW(L.Add("pear"), EStringListError);
    EXPECT_THROW(L.Insert(0, "x"), EStringListError);
}

}  // namespace
