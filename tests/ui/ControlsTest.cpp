#include <gtest/gtest.h>

#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <string>
#include <vector>

#include "framework/core/TStrings.h"
#include "framework/ui/TBitBtn.h"
#include "framework/ui/TBitmap.h"
#include "framework/ui/TCanvas.h"
#include "framework/ui/TComboBox.h"
#include "framework/ui/TEdit.h"
#include "framework/ui/TFont.h"
#include "framework/ui/TForm.h"
#include "framework/ui/TLabel.h"
#include "framework/ui/TPanel.h"
#include "framework/ui/TScrollingWinControl.h"
#include "tests/support/UiTestSupport.h"

namespace {

// Counts the notify events it receives.
struct TEventLog : TObject {
    std::vector<std::string> Events;
    void Changed(TObject*) { Events.push_back("change"); }
    void Resized(TObject*) { Events.push_back("resize"); }
};

TEST(Controls, AControlWithoutParentNeverBecomesAWindow)
{
    TForm Form(nullptr);
    TPanel* Panel = new TPanel(&Form);
    EXPECT_TRUE(Panel->Visible());
    EXPECT_TRUE(Panel->Widget()->isHidden()) << "no parent: the widget stays hidden";
    Panel->SetParent(&Form);
    EXPECT_FALSE(Panel->Widget()->isHidden());
    EXPECT_EQ(Panel->Widget()->parentWidget(), Form.ClientWidget());
    Panel->Hide();
    EXPECT_TRUE(Panel->Widget()->isHidden());
    Panel->SetParent(nullptr);
    Panel->Show();
    EXPECT_TRUE(Panel->Visible()) << "Visible is the control's own flag";
    EXPECT_TRUE(Panel->Widget()->isHidden());
    EXPECT_FALSE(Panel->Widget()->isWindow() && Panel->Widget()->isVisible());
    EXPECT_EQ(Form.ControlCount(), 0);
    TPanel* Inner = new TPanel(&Form);
    Inner->SetParent(&Form);
    EXPECT_THROW(Form.SetParent(Inner), EInvalidOperation) << "a container cannot go inside its own child";
}

TEST(Controls, ParentFontAndColourFollowTheParentUntilSetOwnValues)
{
    TForm Form(nullptr);
    TPanel* Panel = new TPanel(&Form);
    Panel->SetParent(&Form);
    TLabel* Inner = new TLabel(&Form);
    Inner->SetParent(Panel);
    TLabel* Own = new TLabel(&Form);
    Own->SetParent(Panel);
    Own->Font()->SetColor(clRed);
    EXPECT_FALSE(Own->ParentFont());

    Form.Font()->SetHeight(-15);
    Form.Font()->SetName("Arial");
    EXPECT_EQ(Panel->Font()->Height(), -15);
    EXPECT_EQ(Inner->Font()->Height(), -15) << "reaches grandchildren";
    EXPECT_EQ(Inner->Font()->Name(), "Arial");
    EXPECT_TRUE(Inner->ParentFont());
    EXPECT_EQ(Own->Font()->Height(), -11) << "a font of its own stays";
    EXPECT_EQ(Own->Font()->Color(), clRed);

    Panel->SetColor(clYellow);
    EXPECT_FALSE(Panel->ParentColor());
    EXPECT_EQ(Inner->Color(), clYellow) << "labels take their parent's colour";
    Own->SetColor(clAqua);
    Panel->SetColor(clLime);
    EXPECT_EQ(Inner->Color(), clLime);
    EXPECT_EQ(Own->Color(), clAqua);
    Own->SetParentColor(true);
    EXPECT_EQ(Own->Color(), clLime);

    // A container that takes its parent's colour passes it on to its own children.
    TPanel* Nested = new TPanel(&Form);
    Nested->SetParent(Panel);
    Nested->SetParentColor(true);
    TLabel* Deep = new TLabel(&Form);
    Deep->SetParent(Nested);
    Panel->SetColor(clFuchsia);
    EXPECT_EQ(Nested->Color(), clFuchsia);
    EXPECT_EQ(Deep->Color(), clFuchsia) << "reaches grandchildren";
}

TEST(Controls, ClientCoordinatesAreThoseTheChildrenArePlacedIn)
{
    // A scroll box places its children in a viewport inside its frame: its client
    // coordinates are the viewport's, not its outer widget's.
    TForm Form(nullptr);
    Form.SetBounds(0, 0, 400, 300);
    TPanel* Panel = new TPanel(&Form);
    Panel->SetBounds(5, 5, 150, 100);
    Panel->SetParent(&Form);
    TScrollBox* Box = new TScrollBox(&Form);
    Box->SetBounds(170, 5, 150, 100);
    Box->SetParent(&Form);
    ShowActive(&Form);
    for (TWinControl* Parent : {static_cast<TWinControl*>(&Form), static_cast<TWinControl*>(Panel),
                                static_cast<TWinControl*>(Box)}) {
        TLabel* Child = new TLabel(&Form);
        Child->SetBounds(12, 17, 30, 20);
        Child->SetParent(Parent);
        const TPoint Origin = Child->ClientToScreen(TPoint{0, 0});
        const TPoint FromParent = Parent->ClientToScreen(TPoint{12, 17});
        EXPECT_EQ(Origin.X, FromParent.X) << Parent->ClassName();
        EXPECT_EQ(Origin.Y, FromParent.Y) << Parent->ClassName();
        const TPoint Back = Parent->ScreenToClient(Origin);
        EXPECT_EQ(Back.X, 12) << Parent->ClassName();
        EXPECT_EQ(Back.Y, 17) << Parent->ClassName();
    }
}

TEST(Controls, AlignmentLaysOutTopBottomLeftRightThenClient)
{
    TForm Form(nullptr);
    TPanel* Host = new TPanel(&Form);
    Host->SetParent(&Form);
    Host->SetBounds(0, 0, 300, 200);
    auto Make = [&](TAlign A, int W, int H) {
        TPanel* P = new TPanel(&Form);
        P->SetBounds(50, 50, W, H);
        P->SetParent(Host);
        P->SetAlign(A);
        return P;
    };
    TPanel* Top = Make(alTop, 10, 30);
    TPanel* Bottom = Make(alBottom, 10, 20);
    TPanel* Left = Make(alLeft, 40, 10);
    TPanel* Right = Make(alRight, 25, 10);
    TPanel* Client = Make(alClient, 1, 1);
    EXPECT_EQ(Top->BoundsRect(), Bounds(0, 0, 300, 30));
    EXPECT_EQ(Bottom->BoundsRect(), Bounds(0, 180, 300, 20));
    EXPECT_EQ(Left->BoundsRect(), Bounds(0, 30, 40, 150));
    EXPECT_EQ(Right->BoundsRect(), Bounds(275, 30, 25, 150));
    EXPECT_EQ(Client->BoundsRect(), Bounds(40, 30, 235, 150));
    Host->SetWidth(400);
    EXPECT_EQ(Right->Left(), 375) << "a resized container realigns";
    EXPECT_EQ(Client->Width(), 335);
    Top->Hide();
    EXPECT_EQ(Client->Top(), 0) << "a hidden control takes no room";
}

TEST(Controls, ResizeRunsAfterEverySizeChangeAndMayCorrectIt)
{
    // As a bar that keeps its own height does.
    class TBar : public TPanel {
    public:
        using TPanel::TPanel;
        int Calls = 0;
        void Resize() override
        {
            ++Calls;
            SetHeight(31);
        }
    };
    TBar Bar(nullptr);
    TEventLog Log;
    Bar.OnResize = TNotifyEvent(&Log, &TEventLog::Resized);
    Bar.SetHeight(100);
    EXPECT_EQ(Bar.Height(), 31);
    Bar.SetWidth(700);
    EXPECT_EQ(Bar.Width(), 700);
    EXPECT_EQ(Bar.Height(), 31);
    EXPECT_GE(Bar.Calls, 2);
    EXPECT_TRUE(Log.Events.empty()) << "the override did not call the inherited Resize";
    Bar.SetLeft(5);  // a move is not a resize
    const int Calls = Bar.Calls;
    Bar.SetTop(9);
    EXPECT_EQ(Bar.Calls, Calls);
}

TEST(Controls, LabelSizesItselfToItsCaptionUnlessAutoSizeIsOff)
{
    TForm Form(nullptr);
    TLabel* Auto = new TLabel(&Form);
    Auto->SetParent(&Form);
    Auto->SetCaption("Record Count : ");
    const int Width1 = Auto->Width();
    TCanvas Measure;
    Measure.SetFont(Auto->Font());
    EXPECT_EQ(Auto->Width(), Measure.TextWidth("Record Count : "));
    EXPECT_EQ(Auto->Height(), Measure.TextHeight("R"));
    Auto->Font()->SetHeight(-20);
    EXPECT_GT(Auto->Width(), Width1) << "a bigger font widens it";
    TLabel* Fixed = new TLabel(&Form);
    Fixed->SetAutoSize(false);
    Fixed->SetBounds(12, 119, 49, 16);
    Fixed->SetCaption("a much longer caption than fits");
    EXPECT_EQ(Fixed->BoundsRect(), Bounds(12, 119, 49, 16));
    EXPECT_EQ(static_cast<QLabel*>(Fixed->Widget())->text().toStdString(), "a much longer caption than fits");
}

TEST(Controls, EditChangeFiresOnEveryTextChange)
{
    TForm Form(nullptr);
    TEdit* Edit = new TEdit(&Form);
    Edit->SetParent(&Form);
    TEventLog Log;
    Edit->OnChange = TNotifyEvent(&Log, &TEventLog::Changed);
    Edit->SetText("ab");
    EXPECT_EQ(Log.Events.size(), 1u);
    Edit->SetText("ab");  // same text: no change
    EXPECT_EQ(Log.Events.size(), 1u);
    ShowActive(&Form);
    Edit->SetFocus();
    Edit->SetSelStart(2);
    QTest::keyClicks(Edit->LineEdit(), "cd");
    EXPECT_EQ(Edit->Text(), "abcd");
    EXPECT_EQ(Log.Events.size(), 3u);
    EXPECT_EQ(Edit->SelStart(), 4);
    Edit->SetMaxLength(5);
    QTest::keyClicks(Edit->LineEdit(), "xyz");
    EXPECT_EQ(Edit->Text(), "abcdx");
    Edit->SetImeName("Chinese (Traditional) - Phonetic");
    EXPECT_EQ(Edit->ImeName(), "Chinese (Traditional) - Phonetic");
}

TEST(Controls, ComboBoxChangeFiresOnlyForTheUsersTypingOrChoosing)
{
    TForm Form(nullptr);
    TComboBox* Combo = new TComboBox(&Form);
    Combo->SetParent(&Form);
    TEventLog Log;
    Combo->OnChange = TNotifyEvent(&Log, &TEventLog::Changed);
    Combo->Items()->Add("Kaohsiung");
    Combo->Items()->Add("Taipei");
    Combo->SetText("Tai");
    Combo->SetItemIndex(1);
    EXPECT_EQ(Combo->Text(), "Taipei");
    EXPECT_EQ(Combo->ItemIndex(), 1);
    Combo->SetItemIndex(-1);
    EXPECT_EQ(Combo->Text(), "");
    EXPECT_TRUE(Log.Events.empty()) << "nothing done from code fires OnChange";

    ShowActive(&Form);
    Combo->SetFocus();
    QTest::keyClicks(Combo->ComboBox()->lineEdit(), "Ka");
    EXPECT_EQ(Combo->Text(), "Ka");
    EXPECT_EQ(Log.Events.size(), 2u);
    Combo->ComboBox()->activated(0);  // the user picks an entry from the list
    EXPECT_EQ(Log.Events.size(), 3u);
    Combo->Items()->Clear();
    EXPECT_EQ(Combo->ComboBox()->count(), 0);
    EXPECT_EQ(Log.Events.size(), 3u);
}

TEST(Controls, BitBtnShowsTheFirstGlyphHalfWhenEnabledAndTheSecondWhenDisabled)
{
    TForm Form(nullptr);
    TBitBtn* Button = new TBitBtn(&Form);
    Button->SetParent(&Form);
    Button->SetBounds(0, 0, 60, 28);
    TBitmap Glyph;
    Glyph.SetSize(32, 16);
    Glyph.Canvas()->Brush()->SetColor(clRed);
    Glyph.Canvas()->FillRect(Rect(0, 0, 16, 16));
    Glyph.Canvas()->Brush()->SetColor(clBlue);
    Glyph.Canvas()->FillRect(Rect(16, 0, 32, 16));
    Glyph.Canvas()->SetPixel(0, 15, clWhite);  // bottom-left: the transparent colour
    Button->SetGlyph(&Glyph);
    Button->SetNumGlyphs(2);
    Glyph.Canvas()->Brush()->SetColor(clLime);  // the button keeps its own copy
    Glyph.Canvas()->FillRect(Rect(0, 0, 32, 16));

    auto CountPixels = [](const QImage& Image, QColor Color) {
        int N = 0;
        for (int Y = 0; Y < Image.height(); ++Y)
            for (int X = 0; X < Image.width(); ++X)
                if (Image.pixelColor(X, Y) == Color) ++N;
        return N;
    };
    QImage Enabled = GrabControl(Button);
    EXPECT_GT(CountPixels(Enabled, Qt::red), 100);
    EXPECT_EQ(CountPixels(Enabled, Qt::blue), 0);
    EXPECT_EQ(CountPixels(Enabled, Qt::green), 0);
    Button->SetEnabled(false);
    QImage Disabled = GrabControl(Button);
    EXPECT_GT(CountPixels(Disabled, Qt::blue), 100);
    EXPECT_EQ(CountPixels(Disabled, Qt::red), 0);
    // Drawing into the button's own glyph changes the button.
    Button->SetEnabled(true);
    Button->Glyph()->Canvas()->Brush()->SetColor(clLime);
    Button->Glyph()->Canvas()->FillRect(Rect(0, 0, 16, 15));
    EXPECT_GT(CountPixels(GrabControl(Button), QColor(0, 255, 0)), 100);
}

}  // namespace
