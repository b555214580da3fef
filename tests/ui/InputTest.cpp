#include <gtest/gtest.h>

#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpontaneKeyEvent>
#include <QTest>
#include <QWheelEvent>

#include <string>
#include <vector>

#include "framework/ui/TApplication.h"
#include "framework/ui/TButton.h"
#include "framework/ui/TEdit.h"
#include "framework/ui/TForm.h"
#include "framework/ui/TMenus.h"
#include "framework/ui/TPanel.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/UiTestSupport.h"

namespace {

// A panel that records the keys and mouse presses it receives.
class TKeyPanel : public TPanel {
public:
    using TPanel::TPanel;
    std::vector<int> Downs;
    std::vector<int> Presses;
    std::vector<std::string> Mouse;
    void KeyDown(WORD& Key, TShiftState Shift) override
    {
        TPanel::KeyDown(Key, Shift);
        Downs.push_back(Key);
    }
    void KeyPress(wchar_t& Key) override
    {
        TPanel::KeyPress(Key);
        Presses.push_back(static_cast<int>(Key));
    }
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override
    {
        TPanel::MouseDown(Button, Shift, X, Y);
        Mouse.push_back(std::to_string(Button) + "@" + std::to_string(X) + "," + std::to_string(Y) +
                        (Shift.Contains(ssShift) ? "+shift" : ""));
    }
};

// An edit that swallows one character in its KeyPress and records what its handlers saw.
class TFilterEdit : public TEdit {
public:
    using TEdit::TEdit;
    std::vector<std::string>* Log = nullptr;  // not owned
    void KeyPress(wchar_t& Key) override
    {
        TEdit::KeyPress(Key);  // the OnKeyPress handler runs first
        Log->push_back("KeyPress sees " + std::string(1, static_cast<char>(Key)) + " text=" + Text());
        if (Key == L'x') Key = 0;
    }
};

struct THandlers : TObject {
    std::vector<std::string> Log;
    TEdit* Edit = nullptr;  // not owned
    void EditKeyDown(TObject*, WORD& Key, TShiftState) { Log.push_back("OnKeyDown " + std::to_string(Key) + " text=" + Edit->Text()); }
    void EditKeyPress(TObject*, wchar_t& Key)
    {
        Log.push_back("OnKeyPress " + std::string(1, static_cast<char>(Key)) + " text=" + Edit->Text());
        if (Key == L'q') Key = L'Q';
    }
    int Clicks = 0;
    void ButtonClick(TObject*)
    {
        ++Clicks;
        if (Clicks == 1) throw EInvalidOperation("the first click fails");
    }
    std::vector<std::string> MenuCaptions;
    void MenuClick(TObject* Sender) { MenuCaptions.push_back(static_cast<TMenuItem*>(Sender)->Caption()); }
    TControl* ToFree = nullptr;  // not owned
    void FreeSender(TObject*) { ToFree->Free(); }
};

TEST(Input, RealKeyEventsArriveAsVirtualKeyCodesAndCharacters)
{
    TForm Form(nullptr);
    TKeyPanel* Panel = new TKeyPanel(&Form);
    Panel->SetParent(&Form);
    ShowActive(&Form);
    Panel->SetFocus();
    QWidget* W = Panel->Widget();
    QTest::keyClick(W, Qt::Key_Up);
    QTest::keyClick(W, Qt::Key_Down);
    QTest::keyClick(W, Qt::Key_Home);
    QTest::keyClick(W, Qt::Key_Return);
    QTest::keyClick(W, Qt::Key_F5);
    QTest::keyClick(W, 'A', Qt::ShiftModifier);
    EXPECT_EQ(Panel->Downs, (std::vector<int>{0x26, 0x28, 0x24, 13, 0x74, 0x10, 'A'})) << "Shift goes down first";
    EXPECT_EQ(Panel->Presses, (std::vector<int>{13, 'A'})) << "only keys that type something reach KeyPress";
}

TEST(Input, EditHandlersSeeTheKeyFirstAndAZeroKeyNeverReachesTheText)
{
    TForm Form(nullptr);
    auto* Edit = new TFilterEdit(&Form);
    Edit->SetParent(&Form);
    THandlers H;
    H.Edit = Edit;
    Edit->Log = &H.Log;
    Edit->OnKeyDown = TKeyEvent(&H, &THandlers::EditKeyDown);
    Edit->OnKeyPress = TKeyPressEvent(&H, &THandlers::EditKeyPress);
    ShowActive(&Form);
    Edit->SetFocus();
    QTest::keyClicks(Edit->LineEdit(), "axq");
    EXPECT_EQ(Edit->Text(), "aQ") << "x swallowed by KeyPress, q changed by OnKeyPress";
    const std::vector<std::string> Expected{
        "OnKeyDown 65 text=",     "OnKeyPress a text=",    "KeyPress sees a text=",
        "OnKeyDown 88 text=a",    "OnKeyPress x text=a",   "KeyPress sees x text=a",
        "OnKeyDown 81 text=a",    "OnKeyPress q text=a",   "KeyPress sees Q text=a",
    };
    EXPECT_EQ(H.Log, Expected);
}

TEST(Input, CommittedInputMethodTextGoesThroughKeyPressCharacterByCharacter)
{
    TForm Form(nullptr);
    TKeyPanel* Panel = new TKeyPanel(&Form);
    Panel->SetParent(&Form);
    TEdit* Edit = new TEdit(&Form);
    Edit->SetParent(&Form);
    std::vector<int> Seen;
    struct TRecorder : TObject {
        std::vector<int>* Seen;
        void Press(TObject*, wchar_t& Key)
        {
            Seen->push_back(static_cast<int>(Key));
            if (Key == L'戶') Key = 0;
        }
    } Recorder;
    Recorder.Seen = &Seen;
    Edit->OnKeyPress = TKeyPressEvent(&Recorder, &TRecorder::Press);
    ShowActive(&Form);
    Edit->SetFocus();
    QInputMethodEvent Commit;
    Commit.setCommitString(QString::fromUtf8("客戶編號"));
    QApplication::sendEvent(Edit->LineEdit(), &Commit);
    EXPECT_EQ(Seen, (std::vector<int>{L'客', L'戶', L'編', L'號'}));
    EXPECT_EQ(Edit->Text(), "客編號");
}

TEST(Input, MouseDownGetsButtonAndClientCoordinates)
{
    TForm Form(nullptr);
    TKeyPanel* Panel = new TKeyPanel(&Form);
    Panel->SetParent(&Form);
    Panel->SetBounds(30, 40, 100, 50);
    TKeyPanel* Outer = new TKeyPanel(&Form);
    Outer->SetParent(&Form);
    ShowActive(&Form);
    QTest::mouseClick(Panel->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(7, 9));
    QTest::mouseClick(Panel->Widget(), Qt::RightButton, Qt::ShiftModifier, QPoint(99, 49));
    EXPECT_EQ(Panel->Mouse, (std::vector<std::string>{"0@7,9", "1@99,49+shift"}));
    EXPECT_TRUE(Outer->Mouse.empty());
}

TEST(Input, AClickOnANestedPanelClicksItOnceAndNotItsContainer)
{
    TForm Form(nullptr);
    TKeyPanel* Outer = new TKeyPanel(&Form);
    Outer->SetParent(&Form);
    Outer->SetBounds(0, 0, 200, 100);
    TKeyPanel* Inner = new TKeyPanel(&Form);
    Inner->SetParent(Outer);
    Inner->SetBounds(20, 20, 50, 30);
    struct TClicks : TObject {
        std::vector<std::string> Seen;
        void Click(TObject* S) { Seen.push_back(static_cast<TComponent*>(S) == Sender ? "inner" : "other"); }
        TComponent* Sender = nullptr;  // not owned
    } Clicks;
    Clicks.Sender = Inner;
    Inner->OnClick = TNotifyEvent(&Clicks, &TClicks::Click);
    Outer->OnClick = TNotifyEvent(&Clicks, &TClicks::Click);
    ShowActive(&Form);
    QTest::mouseClick(Inner->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(Clicks.Seen, (std::vector<std::string>{"inner"}));
    EXPECT_EQ(Inner->Mouse, (std::vector<std::string>{"0@5,5"}));
    EXPECT_TRUE(Outer->Mouse.empty()) << "the container does not see its child's mouse";
}

// A panel that takes wheel turns when told to and records them.
class TWheelPanel : public TPanel {
public:
    using TPanel::TPanel;
    bool Takes = false;
    std::vector<std::string> Turns;
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override
    {
        Turns.push_back(std::to_string(WheelDelta) + "@" + std::to_string(MousePos.X) + "," +
                        std::to_string(MousePos.Y) + (Shift.Contains(ssCtrl) ? "+ctrl" : ""));
        return Takes;
    }
};

TEST(Input, AWheelTurnGoesToTheControlUnderThePointerAndOnToItsParentsUntilOneTakesIt)
{
    TForm Form(nullptr);
    auto* Outer = new TWheelPanel(&Form);
    Outer->SetParent(&Form);
    Outer->SetBounds(0, 0, 200, 100);
    auto* Inner = new TWheelPanel(&Form);
    Inner->SetParent(Outer);
    Inner->SetBounds(20, 30, 50, 30);
    ShowActive(&Form);
    auto Turn = [&](int Delta, Qt::KeyboardModifiers Modifiers) {
        const QPointF At(5, 6);
        QWheelEvent Event(At, Inner->Widget()->mapToGlobal(At), QPoint(), QPoint(0, Delta), Qt::NoButton, Modifiers,
                          Qt::NoScrollPhase, false);
        QSpontaneKeyEvent::setSpontaneous(&Event);  // as from the window system
        QApplication::instance()->notify(Inner->Widget(), &Event);
    };
    Outer->Takes = true;
    Turn(-120, Qt::ControlModifier);
    EXPECT_EQ(Inner->Turns, (std::vector<std::string>{"-120@5,6+ctrl"}));
    EXPECT_EQ(Outer->Turns, (std::vector<std::string>{"-120@25,36+ctrl"})) << "in the parent's coordinates";
    Inner->Takes = true;
    Turn(240, Qt::NoModifier);
    EXPECT_EQ(Inner->Turns.back(), "240@5,6");
    EXPECT_EQ(Outer->Turns.size(), 1u) << "a turn that the child takes stops there";
}

TEST(Input, AButtonThatTakesNoFocusOnClickLeavesTheFocusWhereItWas)
{
    TForm Form(nullptr);
    auto* Edit = new TEdit(&Form);
    Edit->SetParent(&Form);
    auto* Button = new TButton(&Form);
    Button->SetParent(&Form);
    Button->SetTop(40);
    ShowActive(&Form);
    int Clicks = 0;
    struct TCounter : TObject {
        int* Count;
        void Clicked(TObject*) { ++*Count; }
    } Counter;
    Counter.Count = &Clicks;
    Button->OnClick = TNotifyEvent(&Counter, &TCounter::Clicked);
    for (bool FocusOnClick : {true, false}) {
        Button->SetFocusOnClick(FocusOnClick);
        Edit->SetFocus();
        QTest::mouseClick(Button->PushButton(), Qt::LeftButton);
        EXPECT_EQ(QApplication::focusWidget(), FocusOnClick ? Button->Widget() : Edit->Widget()) << FocusOnClick;
    }
    EXPECT_EQ(Clicks, 2);
    Button->SetFocus();  // Tab and code still reach it
    EXPECT_TRUE(Button->Focused());
}

TEST(Input, AnExceptionInAClickHandlerIsShownAndTheNextClickStillWorks)
{
    TForm Form(nullptr);
    TButton* Button = new TButton(&Form);
    Button->SetParent(&Form);
    THandlers H;
    Button->OnClick = TNotifyEvent(&H, &THandlers::ButtonClick);
    ShowActive(&Form);
    TScriptedDialogs Dialogs;
    Dialogs.Answer(mrOk);
    QTest::mouseClick(Button->PushButton(), Qt::LeftButton);
    ASSERT_EQ(Dialogs.Dialogs().size(), 1u);
    EXPECT_EQ(Dialogs.Dialogs()[0].Kind, TDialogKind::Exception);
    EXPECT_EQ(Dialogs.Dialogs()[0].Text, "the first click fails");
    EXPECT_EQ(Dialogs.Dialogs()[0].Type, mtError);
    QTest::mouseClick(Button->PushButton(), Qt::LeftButton);
    EXPECT_EQ(H.Clicks, 2);
    EXPECT_EQ(Dialogs.Dialogs().size(), 1u);
}

TEST(Input, OnExceptionReplacesTheApplicationsOwnMessage)
{
    TForm Form(nullptr);
    TButton* Button = new TButton(&Form);
    Button->SetParent(&Form);
    THandlers H;
    Button->OnClick = TNotifyEvent(&H, &THandlers::ButtonClick);
    struct TCatcher : TObject {
        std::vector<std::string> Seen;
        void Caught(TObject* Sender, Exception* E) { Seen.push_back(static_cast<TComponent*>(Sender)->ClassName() + ": " + E->Message()); }
    } Catcher;
    Application->OnException = TExceptionEvent(&Catcher, &TCatcher::Caught);
    ShowActive(&Form);
    QTest::mouseClick(Button->PushButton(), Qt::LeftButton);  // no dialog is scripted: none may come
    Application->OnException = nullptr;
    EXPECT_EQ(Catcher.Seen, (std::vector<std::string>{"TButton: the first click fails"}));
}

TEST(Input, ARightClickPopsUpTheMenuWhoseItemClickReachesItsHandler)
{
    TForm Form(nullptr);
    TKeyPanel* Panel = new TKeyPanel(&Form);
    Panel->SetParent(&Form);
    Panel->SetBounds(10, 10, 200, 100);
    auto* Menu = new TPopupMenu(&Form);
    THandlers H;
    for (const char* Caption : {"First", "顯示目前資料"}) {
        auto* Item = new TMenuItem(&Form);
        Item->SetCaption(Caption);
        Item->OnClick = TNotifyEvent(&H, &THandlers::MenuClick);
        Menu->Items()->Add(Item);
    }
    Panel->SetPopupMenu(Menu);
    ShowActive(&Form);
    QTest::mouseClick(Panel->Widget(), Qt::RightButton, Qt::NoModifier, QPoint(20, 20));
    QContextMenuEvent Context(QContextMenuEvent::Mouse, QPoint(20, 20), Panel->Widget()->mapToGlobal(QPoint(20, 20)));
    QApplication::sendEvent(Panel->Widget(), &Context);
    ASSERT_NE(Menu->Menu(), nullptr);
    EXPECT_TRUE(Menu->Menu()->isVisible()) << "shown without blocking";
    EXPECT_EQ(Menu->PopupComponent(), Panel);
    const QList<QAction*> Actions = Menu->Menu()->actions();
    ASSERT_EQ(Actions.size(), 2);
    QTest::mouseClick(Menu->Menu(), Qt::LeftButton, Qt::NoModifier, Menu->Menu()->actionGeometry(Actions[1]).center());
    EXPECT_EQ(H.MenuCaptions, (std::vector<std::string>{"顯示目前資料"}));
}

TEST(Input, AControlFreedByItsOwnHandlerIsHiddenAtOnceAndDeletedAfterwards)
{
    TForm Form(nullptr);
    TButton* Button = new TButton(&Form);
    Button->SetName("Doomed");
    Button->SetParent(&Form);
    THandlers H;
    H.ToFree = Button;
    Button->OnClick = TNotifyEvent(&H, &THandlers::FreeSender);
    ShowActive(&Form);
    QTest::mouseClick(Button->PushButton(), Qt::LeftButton);
    EXPECT_EQ(Form.ControlCount(), 0) << "taken off its parent at once";
    EXPECT_NE(Form.FindComponent("Doomed"), nullptr) << "but not deleted while its handler ran";
    Application->ProcessMessages();
    EXPECT_EQ(Form.FindComponent("Doomed"), nullptr);
    // Freed outside any handler: at once.
    TPanel* Panel = new TPanel(&Form);
    Panel->SetName("Plain");
    Panel->Free();
    EXPECT_EQ(Form.FindComponent("Plain"), nullptr);
}

}  // namespace
