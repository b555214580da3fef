#include <gtest/gtest.h>

#include <QScrollBar>
#include <QTest>

#include <string>
#include <vector>

#include "framework/ui/TButton.h"
#include "framework/ui/TEdit.h"
#include "framework/ui/TForm.h"
#include "framework/ui/TGroupBox.h"
#include "framework/ui/TPanel.h"
#include "framework/ui/TScrollingWinControl.h"
#include "tests/support/UiTestSupport.h"

namespace {

template <class T>
T* Make(TForm& Form, TWinControl* Parent, const char* Name, int TabOrder = -1)
{
    T* C = new T(&Form);
    C->SetName(Name);
    C->SetParent(Parent);
    if (TabOrder >= 0) C->SetTabOrder(TabOrder);
    return C;
}

std::vector<std::string> Names(const TWinControlList& List)
{
    std::vector<std::string> Result;
    for (TWinControl* C : List) Result.push_back(C->Name());
    return Result;
}

TEST(Focus, TabOrderListFollowsTabOrderThroughNestedContainers)
{
    TForm Form(nullptr);
    auto* E1 = Make<TEdit>(Form, &Form, "E1");
    auto* Group = Make<TGroupBox>(Form, &Form, "Group");
    auto* G1 = Make<TEdit>(Form, Group, "G1");
    auto* G2 = Make<TButton>(Form, Group, "G2");
    auto* Inner = Make<TPanel>(Form, Group, "Inner");
    Make<TEdit>(Form, Inner, "I1");
    Make<TEdit>(Form, &Form, "E2");
    Inner->SetTabOrder(0);
    G1->SetTabOrder(2);
    Group->SetTabOrder(0);
    TWinControlList List;
    Form.GetTabOrderList(List);
    EXPECT_EQ(Names(List), (std::vector<std::string>{"Group", "Inner", "I1", "G2", "G1", "E1", "E2"}));
    // Tab orders stay contiguous: out-of-range values clamp to the end.
    E1->SetTabOrder(99);
    EXPECT_EQ(E1->TabOrder(), 2);
    EXPECT_EQ(Group->TabOrder(), 0);
    EXPECT_EQ(G2->TabOrder(), 1);
    TWinControlList Sub;
    Group->GetTabOrderList(Sub);
    EXPECT_EQ(Names(Sub), (std::vector<std::string>{"Inner", "I1", "G2", "G1"}));
}

TEST(Focus, CanFocusIsFalseForDisabledOrHiddenControlsAndTheirChildren)
{
    TForm Form(nullptr);
    auto* Group = Make<TGroupBox>(Form, &Form, "Group");
    auto* Inside = Make<TEdit>(Form, Group, "Inside");
    auto* Alone = Make<TEdit>(Form, &Form, "Alone");
    EXPECT_TRUE(Inside->CanFocus());
    Group->SetEnabled(false);
    EXPECT_FALSE(Group->CanFocus());
    EXPECT_FALSE(Inside->CanFocus()) << "child of a disabled container";
    Group->SetEnabled(true);
    Group->Hide();
    EXPECT_FALSE(Inside->CanFocus()) << "child of a hidden container";
    Group->Show();
    Alone->SetEnabled(false);
    EXPECT_FALSE(Alone->CanFocus());
    EXPECT_THROW(Alone->SetFocus(), EInvalidOperation);
    TEdit Orphan(nullptr);
    EXPECT_FALSE(Orphan.CanFocus()) << "on no form";
}

TEST(Focus, SetFocusTabAndEnterExitEventsFollowTheTabOrder)
{
    TForm Form(nullptr);
    auto* A = Make<TEdit>(Form, &Form, "A");
    auto* Off = Make<TEdit>(Form, &Form, "Off");
    auto* B = Make<TButton>(Form, &Form, "B");
    auto* C = Make<TEdit>(Form, &Form, "C");
    Off->SetEnabled(false);
    C->SetTabStop(false);
    struct TLog : TObject {
        std::vector<std::string> Events;
        void Enter(TObject* S) { Events.push_back("enter " + static_cast<TComponent*>(S)->Name()); }
        void Exit(TObject* S) { Events.push_back("exit " + static_cast<TComponent*>(S)->Name()); }
    } Log;
    for (TWinControl* W : {static_cast<TWinControl*>(A), static_cast<TWinControl*>(B)}) {
        W->OnEnter = TNotifyEvent(&Log, &TLog::Enter);
        W->OnExit = TNotifyEvent(&Log, &TLog::Exit);
    }
    ShowActive(&Form);
    A->SetFocus();
    EXPECT_TRUE(A->Focused());
    EXPECT_EQ(Form.ActiveControl(), A);
    QTest::keyClick(A->Widget(), Qt::Key_Tab);  // skips the disabled edit
    EXPECT_TRUE(B->Focused());
    QTest::keyClick(B->Widget(), Qt::Key_Tab);  // C has no tab stop: wraps to A
    EXPECT_TRUE(A->Focused());
    QTest::keyClick(A->Widget(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(B->Focused());
    EXPECT_EQ(Log.Events, (std::vector<std::string>{"enter A", "exit A", "enter B", "exit B", "enter A", "exit A",
                                                    "enter B"}));
    EXPECT_EQ(Form.FindNextControl(B, true, false), C);
}

class ScrollTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Box = new TScrollBox(&Form);
        Box->SetParent(&Form);
        Box->SetBounds(0, 0, 200, 120);
        for (int I = 0; I < 6; ++I) {
            auto* P = new TPanel(&Form);
            P->SetBounds(1 + I * 100, 1, 100, 26);
            P->SetParent(Box);
            Cells.push_back(P);
        }
    }
    TForm Form{nullptr};
    TScrollBox* Box = nullptr;  // not owned: the form owns it
    std::vector<TPanel*> Cells;
};

TEST_F(ScrollTest, ScrollingMovesTheChildrenAndScrollByStepsBack)
{
    EXPECT_TRUE(Box->HorzScrollBarVisible());
    EXPECT_FALSE(Box->VertScrollBarVisible());
    EXPECT_EQ(Box->HorzScrollMax(), 601 - Box->ClientWidth()) << "range follows the children's extent";
    Box->SetHorzScrollPos(100);
    EXPECT_EQ(Cells[0]->Left(), -99);
    EXPECT_EQ(Cells[1]->Left(), 1);
    Box->ScrollBy(1, 0);
    EXPECT_EQ(Cells[0]->Left(), -98);
    EXPECT_EQ(Box->HorzScrollPos(), 99);
    EXPECT_EQ(Box->HorzScrollBar()->value(), 99);
    Box->SetHorzScrollPos(100000);
    EXPECT_EQ(Box->HorzScrollPos(), Box->HorzScrollMax()) << "clamped to the range";
}

TEST_F(ScrollTest, ScrollInViewBringsAHiddenChildIntoView)
{
    TPanel* Last = Cells.back();
    EXPECT_GT(Last->Left() + Last->Width(), Box->ClientWidth());
    Box->ScrollInView(Last);
    EXPECT_EQ(Last->Left() + Last->Width(), Box->ClientWidth());
    Box->ScrollInView(Cells[0]);
    EXPECT_EQ(Cells[0]->Left(), 0) << "brought to the edge of the client area";
    EXPECT_EQ(Box->HorzScrollPos(), 1);
    // As a grid does to return to its leftmost position: into view, then pixel by pixel.
    Box->SetHorzScrollPos(250);
    Box->ScrollInView(Cells[0]);
    while (Cells[0]->Left() < 1) Box->ScrollBy(1, 0);
    EXPECT_EQ(Cells[0]->Left(), 1);
}

TEST_F(ScrollTest, DraggingAScrollBarMovesTheChildrenAndBarsFollowTheExtent)
{
    ShowActive(&Form);
    QScrollBar* Bar = Box->HorzScrollBar();
    Bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(Cells[0]->Left(), 1 - Bar->value());
    EXPECT_GT(Bar->value(), 0);
    // Drag the handle with the mouse back to the start.
    const QPoint Handle(Bar->width() / 2, Bar->height() / 2);
    QTest::mousePress(Bar, Qt::LeftButton, Qt::NoModifier, QPoint(Bar->width() - 2, Handle.y()));
    QTest::mouseRelease(Bar, Qt::LeftButton, Qt::NoModifier, QPoint(Bar->width() - 2, Handle.y()));
    EXPECT_EQ(Cells[0]->Left(), 1 - Bar->value());
    // A tall child brings the vertical bar; removing the extent takes the bars away.
    Cells[2]->SetHeight(400);
    EXPECT_TRUE(Box->VertScrollBarVisible());
    Box->SetWidth(700);
    Cells[2]->SetHeight(26);
    EXPECT_FALSE(Box->HorzScrollBarVisible());
    EXPECT_FALSE(Box->VertScrollBarVisible());
    EXPECT_EQ(Cells[0]->Left(), 1) << "content scrolled past its new end comes back";
}

}  // namespace
