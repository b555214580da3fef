// TComponent and TPersistent: ownership, notifications, names, loading, assigning.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/core/TComponent.h"
#include "framework/core/TStrings.h"

namespace {

// Records every notification it receives as "op:Name".
class TRecorder : public TComponent {
public:
    explicit TRecorder(TComponent* Owner, std::vector<std::string>* Log = nullptr) : TComponent(Owner), FLog(Log) {}
    void Notification(TComponent* Component, TOperation Operation) override
    {
        TComponent::Notification(Component, Operation);
        Seen.push_back((Operation == opInsert ? "insert:" : "remove:") + Component->Name());
        if (FLog) FLog->push_back(Name() + " saw " + Seen.back());
    }
    std::vector<std::string> Seen;
    std::vector<std::string>* FLog;  // not owned
};

TEST(Component, InsertionNotifiesTheComponentsAlreadyOwned)
{
    TComponent Owner(nullptr);
    auto* A = new TRecorder(&Owner);
    A->SetName("A");
    auto* B = new TComponent(&Owner);
    B->SetName("B");  // named after insertion: the notification carried the empty name
    auto* C = new TRecorder(&Owner);
    C->SetName("C");
    EXPECT_EQ(A->Seen, (std::vector<std::string>{"insert:", "insert:"}));
    EXPECT_TRUE(C->Seen.empty()) << "a component is not told of its own insertion";
    EXPECT_EQ(Owner.ComponentCount(), 3);
    EXPECT_EQ(Owner.Components(1), B);
    EXPECT_EQ(B->ComponentIndex(), 1);
    EXPECT_THROW(Owner.Components(3), EListError);
}

TEST(Component, FreeingTellsSiblingsAndFreeNotificationSubscribers)
{
    TComponent Owner(nullptr), Elsewhere(nullptr);
    auto* A = new TRecorder(&Owner);
    A->SetName("A");
    auto* B = new TComponent(&Owner);
    B->SetName("B");
    auto* Watcher = new TRecorder(&Elsewhere);
    B->FreeNotification(Watcher);
    B->Free();
    EXPECT_EQ(A->Seen.back(), "remove:B");
    EXPECT_EQ(Watcher->Seen, (std::vector<std::string>{"remove:B"}));
    EXPECT_EQ(Owner.ComponentCount(), 1);
}

// Raises while it hears of an insertion, as a dataset whose opening fails does when the
// next component of its form is created.
class TRaisingOnInsert : public TRecorder {
public:
    using TRecorder::TRecorder;
    void Notification(TComponent* Component, TOperation Operation) override
    {
        TRecorder::Notification(Component, Operation);
        if (Operation == opInsert && Raise) throw EInvalidOperation("cannot open");
    }
    bool Raise = false;
};

TEST(Component, ANotificationThatRaisesDuringAnInsertionLeavesTheOwnerAsItWas)
{
    for (bool RaiserFirst : {true, false}) {
        auto Owner = std::make_unique<TComponent>(nullptr);
        TComponent Elsewhere(nullptr);
        TRecorder* Before = nullptr;
        if (!RaiserFirst) Before = new TRecorder(Owner.get());
        auto* Raiser = new TRaisingOnInsert(Owner.get());
        Raiser->SetName("Raiser");
        auto* Watcher = new TRecorder(&Elsewhere);
        Raiser->Raise = true;
        EXPECT_THROW(new TComponent(Owner.get()), EInvalidOperation);
        EXPECT_EQ(Owner->ComponentCount(), RaiserFirst ? 1 : 2) << "the abandoned component is not kept";
        EXPECT_EQ(Raiser->Seen, (std::vector<std::string>{"insert:", "remove:"}))
            << "what heard of the insertion hears of the removal";
        if (Before) {
            EXPECT_EQ(Before->Seen, (std::vector<std::string>{"insert:", "insert:", "remove:"}));
        }
        // The owner stays usable: another component joins and leaves, then all are freed.
        Raiser->Raise = false;
        auto* Later = new TComponent(Owner.get());
        Later->FreeNotification(Watcher);
        Later->Free();
        EXPECT_EQ(Watcher->Seen, (std::vector<std::string>{"remove:"}));
        Owner.reset();
    }
}

TEST(Component, OwnerFreesOwnedComponentsLastFirst)
{
    std::vector<std::string> Log;
    auto* Owner = new TComponent(nullptr);
    auto* Watcher = new TRecorder(nullptr, &Log);
    Watcher->SetName("W");
    auto* A = new TComponent(Owner);
    A->SetName("A");
    auto* B = new TComponent(Owner);
    B->SetName("B");
    A->FreeNotification(Watcher);
    B->FreeNotification(Watcher);
    Owner->Free();
    EXPECT_EQ(Log, (std::vector<std::string>{"W saw remove:B", "W saw remove:A"}));
    Watcher->Free();
}

TEST(Component, NamesAreIdentifiersUniqueAmongSiblings)
{
    TComponent Owner(nullptr);
    auto* A = new TComponent(&Owner);
    A->SetName("Button1");
    auto* B = new TComponent(&Owner);
    EXPECT_THROW(B->SetName("button1"), EComponentError);
    EXPECT_THROW(B->SetName("1abc"), EComponentError);
    EXPECT_THROW(B->SetName("Lb 1"), EComponentError);
    B->SetName("Button2");
    EXPECT_EQ(Owner.FindComponent("BUTTON2"), B);
    A->SetName("Button1");  // renaming to its own name is fine
    TComponent Unowned(nullptr);
    Unowned.SetName("Button1");  // no owner: nothing to clash with
    EXPECT_EQ(Owner.FindComponent("Missing"), nullptr);
}

TEST(Component, LoadedClearsLoadingAndDesigningSpreadsToOwnedComponents)
{
    TComponent Owner(nullptr);
    auto* A = new TComponent(&Owner);
    A->SetStateFlag(csLoading, true);
    EXPECT_TRUE(A->ComponentState().Contains(csLoading));
    A->Loaded();
    EXPECT_FALSE(A->ComponentState().Contains(csLoading));
    Owner.SetDesigning(true);
    EXPECT_TRUE(A->ComponentState().Contains(csDesigning));
    auto* Late = new TComponent(&Owner);
    EXPECT_TRUE(Late->ComponentState().Contains(csDesigning)) << "inserted into a designed owner";
}

TEST(Persistent, AssignBetweenUnrelatedClassesRaisesConvertError)
{
    TStringList Lines;
    TComponent C(nullptr);
    try {
        Lines.Assign(&C);
        FAIL() << "no exception";
    } catch (const EConvertError& E) {
        EXPECT_EQ(E.Message(), "Cannot assign a TComponent to a TStringList");
    }
    EXPECT_THROW(C.Assign(nullptr), EConvertError);
}

}  // namespace
