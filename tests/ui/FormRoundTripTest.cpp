// Saving and reloading a form changes nothing: written, read back and written again, a form
// gives the same text and every published property the same value, for forms whose every
// published property is set away from its default, and for the font and tab-order cases
// that once came back changed (the showcase form is in FormFileTest, the demo form in the
// demo's tests). Geometry and font values that would overflow are refused, in code and in
// a form file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/core/ClassRegistry.h"
#include "framework/core/TypeInfo.h"
#include "framework/ui/TFont.h"
#include "framework/ui/TForm.h"
#include "framework/ui/TLabel.h"
#include "framework/ui/TMenus.h"
#include "framework/ui/TPanel.h"
#include "tests/ui/FormRoundTrip.h"

namespace {

// A form class with one handler for the events that take only the sender.
class TRoundTripForm : public TForm {
    DECLARE_CLASSINFO()
public:
    explicit TRoundTripForm(TComponent* Owner) : TForm(Owner) {}
    void Clicked(TObject*) {}
};

const TClassInfo* TRoundTripForm::StaticClassInfo()
{
    static const TClassInfo Info =
        TClassBuilder<TRoundTripForm, TForm>("TRoundTripForm").Handler("Clicked", &TRoundTripForm::Clicked).Build();
    return &Info;
}

// The classes a form file can hold, each once with every property set away from its
// default and once as created, on a panel that holds a nested form in the middle of its
// tab order.
TEST(FormRoundTrip, EveryPublishedPropertySetAwayFromItsDefaultComesBackAsItWas)
{
    TFreedForm<TRoundTripForm> Freed;
    TRoundTripForm& Form = *Freed.get();
    Form.SetName("RoundTrip");
    auto* Host = new TPanel(&Form);
    Host->SetName("Host");
    Host->SetParent(&Form);
    std::vector<TComponent*> Changed;
    int Number = 0;
    for (const char* Class : {"TPopupMenu", "TPanel", "TEdit", "TLabel", "TComboBox", "TButton", "TBitBtn", "TGroupBox",
                              "TScrollBox", "TForm", "TButton", "TMenuItem"}) {
        for (bool Away : {false, true}) {
            TComponent* C = GetClass(Class)->CreateComponent(&Form);
            C->SetName(AnsiString(Class + 1) + std::to_string(++Number));
            if (auto* Control = dynamic_cast<TControl*>(C)) Control->SetParent(Host);
            if (auto* Item = dynamic_cast<TMenuItem*>(C)) static_cast<TPopupMenu*>(Form.Components(1))->Items()->Add(Item);
            if (Away) Changed.push_back(C);
        }
    }
    for (TComponent* C : Changed) SetEveryPropertyAway(C, &Form, C->Name());
    SetEveryPropertyAway(&Form, &Form, "RoundTrip");
    ExpectRoundTrip(&Form);
}

TEST(FormRoundTrip, AControlWithItsOwnFontKeepsItWhateverItsParentsFont)
{
    struct TCase {
        const char* FormFontName;
        int FormFontHeight;
        const char* LabelFontName;
        int LabelFontHeight;
    };
    const TCase Cases[] = {
        {"Arial", -11, "MS Sans Serif", -11},  // the label's font is the class default
        {"MS Sans Serif", -16, "MS Sans Serif", -11},
        {"Arial", -16, "MS Sans Serif", -11},
        {"Arial", -16, "Arial", -11},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(std::string(Case.FormFontName) + " " + std::to_string(Case.FormFontHeight));
        TRoundTripForm Form(nullptr);
        Form.SetName("Fonts");
        Form.Font()->SetName(Case.FormFontName);
        Form.Font()->SetHeight(Case.FormFontHeight);
        auto* Label = new TLabel(&Form);
        Label->SetName("Label1");
        Label->SetParent(&Form);
        Label->SetParentFont(false);
        Label->Font()->SetName(Case.LabelFontName);
        Label->Font()->SetHeight(Case.LabelFontHeight);
        Label->Font()->SetStyle(TFontStyles{});
        ExpectRoundTrip(&Form);
    }
}

TEST(FormRoundTrip, ANestedFormKeepsItsTabOrderAndItsLaterSiblingsTheirs)
{
    TRoundTripForm Form(nullptr);
    Form.SetName("Tabs");
    std::vector<TWinControl*> Order;
    for (const char* Class : {"TButton", "TForm", "TEdit", "TButton"}) {
        auto* C = static_cast<TWinControl*>(GetClass(Class)->CreateComponent(&Form));
        C->SetName(AnsiString(Class + 1) + std::to_string(Order.size()));
        C->SetParent(&Form);
        Order.push_back(C);
    }
    Order[3]->SetTabOrder(0);  // the last created goes first: 3, 0, 1 (the form), 2
    const AnsiString Text = WriteFormText(&Form);
    TRoundTripForm Copy(nullptr);
    ReadFormText(Text, &Copy, "tabs");
    for (TWinControl* C : Order)
        EXPECT_EQ(static_cast<TWinControl*>(Copy.FindComponent(C->Name()))->TabOrder(), C->TabOrder()) << C->Name();
    EXPECT_EQ(WriteFormText(&Copy), Text);
}

AnsiString ReadProblem(const AnsiString& Body)
{
    TRoundTripForm Form(nullptr);
    try {
        ReadFormText("object Big: TRoundTripForm\n" + Body + "end\n", &Form, "big.form");
    } catch (const EReadError& E) {
        return E.Message();
    }
    return "(read)";
}

TEST(FormRoundTrip, GeometryAndFontValuesThatWouldOverflowAreRefusedInCodeAndInFiles)
{
    struct TCase {
        const char* Body;  // the lines inside a form
        const char* Problem;
    };
    const TCase Cases[] = {
        {"  object P: TPanel\n    Top = 1\n    Height = 2147483647\n  end\n",
         "big.form, line 4: error setting P.Height: Height 2147483647 is out of range"},
        {"  Left = -2147483648\n", "big.form, line 2: error setting Big.Left: Left -2147483648 is out of range"},
        {"  ClientWidth = 2147483647\n", "big.form, line 2: error setting Big.ClientWidth: ClientWidth"},
        {"  ClientHeight = -2147483647\n", "big.form, line 2: error setting Big.ClientHeight: ClientHeight"},
        {"  Font.Height = -2147483648\n", "big.form, line 2: error setting Big.Font.Height: Font height -2147483648 is out of range"},
        {"  Font.Height = 40000\n", "big.form, line 2: error setting Big.Font.Height: Font height 40000"},
    };
    for (const TCase& Case : Cases) EXPECT_NE(ReadProblem(Case.Body).find(Case.Problem), AnsiString::npos) << ReadProblem(Case.Body);
    // The largest values that are taken still read.
    EXPECT_EQ(ReadProblem("  Font.Height = -32767\n  object P: TPanel\n    Top = -16777215\n    Height = 16777215\n  end\n"),
              "(read)");

    TRoundTripForm Form(nullptr);
    auto* Panel = new TPanel(&Form);
    Panel->SetParent(&Form);
    Panel->SetTop(1);
    EXPECT_THROW(Panel->SetHeight(2147483647), EInvalidArgument);
    EXPECT_THROW(Panel->SetBounds(2147483647, 0, 10, 10), EInvalidArgument);
    EXPECT_THROW(Form.SetClientWidth(2147483647), EInvalidArgument);
    EXPECT_THROW(Form.Font()->SetHeight(-2147483647 - 1), EInvalidArgument);
    EXPECT_THROW(Form.Font()->SetSize(2147483647), EInvalidArgument);
    EXPECT_EQ(Panel->BoundsRect(), Bounds(0, 1, 185, 41)) << "a refused value changes nothing";
    EXPECT_EQ(Form.Font()->Height(), -11);
    Panel->SetBounds(-16777215, 16777215, 16777215, 16777215);
    EXPECT_EQ(Panel->Top() + Panel->Height(), 2 * 16777215);
}

}  // namespace
