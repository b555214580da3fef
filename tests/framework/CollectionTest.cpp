// TCollection and TCollectionItem: indexes, freed items, assigning.
#include <gtest/gtest.h>

#include "framework/core/TCollection.h"
#include "framework/core/TStrings.h"
#include "framework/core/TypeInfo.h"

namespace {

class TPoint3 : public TCollectionItem {
    DECLARE_CLASSINFO()
public:
    explicit TPoint3(TCollection* C) : TCollectionItem(C) {}
    void Assign(TPersistent* Source) override
    {
        if (auto* P = dynamic_cast<TPoint3*>(Source)) {
            X = P->X;
            return;
        }
        TCollectionItem::Assign(Source);
    }
    int X = 0;
};

const TClassInfo* TPoint3::StaticClassInfo()
{
    static const TClassInfo Info =
        TClassBuilder<TPoint3, TCollectionItem>("TPoint3").Property("X", &TPoint3::X).Build();
    return &Info;
}

TEST(Collection, ItemsKnowTheirIndexAndFreedItemsLeave)
{
    TCollection C(TPoint3::StaticClassInfo());
    auto* A = static_cast<TPoint3*>(C.Add());
    auto* B = static_cast<TPoint3*>(C.Add());
    auto* D = static_cast<TPoint3*>(C.Add());
    EXPECT_EQ(B->Index(), 1);
    delete B;
    EXPECT_EQ(C.Count(), 2);
    EXPECT_EQ(D->Index(), 1);
    D->SetIndex(0);
    EXPECT_EQ(C.GetItem(0), D);
    EXPECT_EQ(A->Collection(), &C);
    EXPECT_THROW(C.GetItem(2), EListError);
    EXPECT_THROW(C.Delete(-1), EListError);
}

TEST(Collection, SetItemAssignsIntoTheExistingItemAndAssignCopiesAll)
{
    TCollection C(TPoint3::StaticClassInfo()), Other(TPoint3::StaticClassInfo());
    auto* A = static_cast<TPoint3*>(C.Add());
    TPoint3 Loose(nullptr);
    Loose.X = 42;
    C.SetItem(0, &Loose);
    EXPECT_EQ(C.GetItem(0), A);
    EXPECT_EQ(A->X, 42);
    Other.Add();
    Other.Assign(&C);
    ASSERT_EQ(Other.Count(), 1);
    EXPECT_EQ(static_cast<TPoint3*>(Other.GetItem(0))->X, 42);
    TStringList NotACollection;
    EXPECT_THROW(Other.Assign(&NotACollection), EConvertError);
}

}  // namespace
