#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/core/FormReader.h"
#include "tests/framework/FormTestClasses.h"
#include "tests/support/TempDir.h"

using namespace FormTest;

namespace {

using Log = std::vector<std::string>;

class FormReaderTest : public ::testing::Test {
protected:
    void SetUp() override { ResetFormTest(); }
};

TMethodItem* MethodAt(TRecComp* C, int I)
{
    return static_cast<TMethodItem*>(C->Methods->GetItem(I));
}

TParamItem* ParamAt(TMethodItem* M, int I)
{
    return static_cast<TParamItem*>(M->ProcParams->GetItem(I));
}

TEST_F(FormReaderTest, LoadsInTheFrameworkOrder)
{
    TTestForm Form(nullptr);
    ReadFormText(SampleFormText, &Form, "sample.form");

    // Each creation tells the components created before it (the one being read is still
    // csReading, and so is a box whose children are being read); references and handlers
    // are assigned afterwards, in the order read, while everything is still loading; then
    // Loaded runs in creation order, Root first.
    Log Expected{
        "MainForm [LR] told of insert #0",
        "Table1 [L] told of insert #1",
        "MainForm [LR] told of insert #1",
        "Table1 [L] told of insert #2",
        "Panel1 [LR] told of insert #2",
        "MainForm [LR] told of insert #2",
        "Table1 [L] told of insert #3",
        "Panel1 [L] told of insert #3",
        "Inner [L] told of insert #3",
        "MainForm [LR] told of insert #3",
        "MainForm.OnFire set (all loading)",
        "Table1.Link = Later (all loading)",
        "Table1.OnFire set (all loading)",
        "Panel1.Link = Table1 (all loading)",
        "Inner.Link = MainForm (all loading)",
        "Loaded MainForm [-]",
        "Loaded Table1 [-]",
        "Loaded Panel1 [-]",
        "Loaded Inner [-]",
        "Loaded Later [-]",
    };
    EXPECT_EQ(EventLog(), Expected);

    ASSERT_EQ(Form.ComponentCount(), 4);
    auto* Table1 = dynamic_cast<TRecComp*>(Form.Components(0));
    auto* Panel1 = dynamic_cast<TBox*>(Form.Components(1));
    auto* Inner = dynamic_cast<TBox*>(Form.Components(2));
    auto* Later = dynamic_cast<TRecComp*>(Form.Components(3));
    ASSERT_TRUE(Table1 && Panel1 && Inner && Later);
    EXPECT_EQ(Form.Name(), "MainForm");
    EXPECT_EQ(Form.Table1, Table1);
    EXPECT_EQ(Form.Panel1, Panel1);

    // Parents follow the nesting; plain components have none.
    EXPECT_EQ(Panel1->FParent, &Form);
    EXPECT_EQ(Inner->FParent, Panel1);
    EXPECT_EQ(Panel1->FChildren, std::vector<TBox*>{Inner});

    EXPECT_EQ(Table1->Link, Later);
    EXPECT_EQ(Panel1->Link, Table1);
    EXPECT_EQ(Inner->Link, &Form);
    EXPECT_TRUE(Form.OnFire == TNotifyEvent(&Form, &TTestForm::FormCreate));
    EXPECT_TRUE(Table1->OnFire == TNotifyEvent(&Form, &TTestForm::ButtonClick));

    ASSERT_EQ(Table1->Methods->Count(), 2);
    TMethodItem* M = MethodAt(Table1, 0);
    EXPECT_EQ(M->TriggerTime, trgAfterPost);
    EXPECT_EQ(M->Target, Later);
    ASSERT_TRUE(M->OnExecuteProc.Assigned());
    EXPECT_EQ(M->OnExecuteProc.Data(), &Form);
    EXPECT_TRUE(M->OnExecuteProc(nullptr, 1));
    ASSERT_EQ(M->ProcParams->Count(), 2);
    EXPECT_EQ(ParamAt(M, 0)->Descrip, "參數1");
    EXPECT_EQ(ParamAt(M, 1)->Value, 2);
    EXPECT_EQ(MethodAt(Table1, 1)->TriggerTime, trgNone);
    EXPECT_EQ(MethodAt(Table1, 1)->ProcParams->Count(), 0);

    EXPECT_EQ(Form.Count, -5);
    EXPECT_EQ(Form.Color, 123);
    EXPECT_FALSE(Table1->Enabled);
    EXPECT_EQ(Panel1->Styles, (TFontStyles{fsItalic, fsUnderline}));
    EXPECT_EQ(Inner->Data, (std::vector<std::uint8_t>{0x00, 0xFF}));
    EXPECT_EQ(Later->Color, clRed);
    EXPECT_EQ(Later->Kind, kdPlainer);
    EXPECT_EQ(Later->Styles, (TFontStyles{fsBold, fsUnderline}));
    EXPECT_EQ(Later->FLines->GetLines(), (std::vector<AnsiString>{"line 1", "", "b's\t"}));
    EXPECT_EQ(Later->Font->Height, -11);
    EXPECT_EQ(Later->Font->Style, TFontStyles{fsItalic});
    EXPECT_EQ(Later->Font->Name, "Sans");
    for (int I = 0; I < Form.ComponentCount(); ++I)
        EXPECT_TRUE(Form.Components(I)->ComponentState().Empty()) << Form.Components(I)->Name();
    EXPECT_TRUE(Form.ComponentState().Empty());
}

TEST_F(FormReaderTest, ReadsEveryKindOfValue)
{
    // CRLF line ends, a byte-order mark, character codes, doubled quotes and concatenation.
    const std::string Text =
        "\xEF\xBB\xBF"
        "object F: TTestForm\r\n"
        "  object C: TRecComp\r\n"
        "    Caption = #36039#26009'x'#$41 + 'It''s'\r\n"
        "      + ' ok'\r\n"
        "    Count = $FF\r\n"
        "    Color = CLBTNFACE\r\n"
        "    Enabled = false\r\n"
        "    Styles = []\r\n"
        "    Data = {\r\n"
        "      0A0b 0C\r\n"
        "      0D}\r\n"
        "    Lines = ('a' 'b'#9'c')\r\n"
        "    Font.Color = -16\r\n"
        "    Font.Name = ''\r\n"
        "    Methods = <\r\n"
        "      item\r\n"
        "        ProcParams = <>\r\n"
        "      end>\r\n"
        "  end\r\n"
        "end\r\n";
    TTestForm Form(nullptr);
    ReadFormText(Text, &Form, "kinds.form");
    auto* C = dynamic_cast<TRecComp*>(Form.Components(0));
    ASSERT_NE(C, nullptr);
    EXPECT_EQ(C->Caption, "資料xAIt's ok");
    EXPECT_EQ(C->Count, 255);
    EXPECT_EQ(C->Color, clBtnFace);
    EXPECT_FALSE(C->Enabled);
    EXPECT_TRUE(C->Styles.Empty());
    EXPECT_EQ(C->Data, (std::vector<std::uint8_t>{0x0A, 0x0B, 0x0C, 0x0D}));
    EXPECT_EQ(C->FLines->Text(), "a\nb\tc\n");
    EXPECT_EQ(C->Font->Color, -16);
    EXPECT_EQ(C->Methods->Count(), 1);
}

// Strings hold characters only, as values that arrive in variants do: an unpaired
// surrogate code or bytes that are not UTF-8 become U+FFFD; a surrogate pair is a character.
TEST_F(FormReaderTest, UnpairedSurrogatesAndBytesThatAreNotUtf8BecomeTheReplacementCharacter)
{
    struct TCase {
        const char* Literal;
        const char* Caption;
    };
    const TCase Cases[] = {
        {"#55357#56832", "\xF0\x9F\x98\x80"},                        // a pair: U+1F600
        {"'a'#$D83D#$DE00'b'", "a\xF0\x9F\x98\x80" "b"},
        {"#55296", "\xEF\xBF\xBD"},                                   // a lone high surrogate
        {"#56320'x'", "\xEF\xBF\xBD" "x"},                           // a lone low surrogate
        {"#55357#65", "\xEF\xBF\xBD" "A"},                           // high, then no low
        {"#56832#55357", "\xEF\xBF\xBD\xEF\xBF\xBD"},             // the wrong order
        {"'\xED\xA0\x80'", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // an encoded surrogate
        {"'M\xFCller'", "M\xEF\xBF\xBDller"},                        // Latin-1
    };
    for (const TCase& Case : Cases) {
        TTestForm Form(nullptr);
        ReadFormText(std::string("object F: TTestForm\n  object C: TRecComp\n    Caption = ") + Case.Literal +
                         "\n  end\nend\n",
                     &Form, "codes.form");
        EXPECT_EQ(static_cast<TRecComp*>(Form.Components(0))->Caption, Case.Caption) << Case.Literal;
    }
}

TEST_F(FormReaderTest, CollectionValueReplacesTheItemsAndDropsTheirPendingReferences)
{
    // The second Methods value frees the items of the first; the reference recorded inside
    // them must not be assigned into a freed item.
    const char* Text = R"(object F: TTestForm
  object C: TRecComp
    Methods = <
      item
        Target = C
        OnExecuteProc = RunProc
      end
      item
      end>
    Methods = <
      item
        TriggerTime = trgBeforePost
      end>
  end
end
)";
    TTestForm Form(nullptr);
    ReadFormText(Text, &Form, "twice.form");
    auto* C = dynamic_cast<TRecComp*>(Form.Components(0));
    ASSERT_EQ(C->Methods->Count(), 1);
    EXPECT_EQ(MethodAt(C, 0)->TriggerTime, trgBeforePost);
    EXPECT_EQ(MethodAt(C, 0)->Target, nullptr);
    EXPECT_FALSE(MethodAt(C, 0)->OnExecuteProc.Assigned());
}

TEST_F(FormReaderTest, DesigningPutsRootAndCreatedComponentsInDesignState)
{
    TTestForm Form(nullptr);
    TFormReadOptions Options;
    Options.Designing = true;
    ReadFormText("object F: TTestForm\n object A: TRecComp\n end\nend", &Form, "d.form", Options);
    EXPECT_TRUE(Form.ComponentState().Contains(csDesigning));
    EXPECT_TRUE(Form.Components(0)->ComponentState().Contains(csDesigning));
    EXPECT_FALSE(Form.Components(0)->ComponentState().Contains(csLoading));

    TTestForm Failed(nullptr);
    EXPECT_THROW(ReadFormText("object F: TTestForm\n Count = 'x'\nend", &Failed, "d.form", Options), EReadError);
    EXPECT_FALSE(Failed.ComponentState().Contains(csDesigning)) << "a failed load gives back the state it found";
}

TEST_F(FormReaderTest, RootMayBeDescribedByAnAncestorClassAndUnnamedObjectsAreAllowed)
{
    TTestForm Form(nullptr);
    ReadFormText("object F: TBox\n  object TRecComp\n  end\nend", &Form, "a.form");
    EXPECT_EQ(Form.Name(), "F");
    ASSERT_EQ(Form.ComponentCount(), 1);
    EXPECT_EQ(Form.Components(0)->Name(), "");
}

struct TBadForm {
    const char* Title;
    std::string Text;
    int Line;
    std::string Problem;  // a part of the message after "bad.form, line N: "
};

// Every refusal names the file and the line, leaves no component behind, clears the
// form's fields and takes the form out of the loading state.
TEST_F(FormReaderTest, BadFormsAreRefusedWithFileLineAndProblemAndLeaveNothingBehind)
{
    const std::string Head = "object F: TTestForm\n  object Table1: TRecComp\n    Caption = 'made'\n  end\n";
    const std::vector<TBadForm> Cases{
        {"unknown class", Head + "  object X: TNoSuchThing\n  end\nend\n", 5, "Class TNoSuchThing not found"},
        {"unknown property", Head + "  object B: TRecComp\n    Colour = clRed\n  end\nend\n", 6,
         "property B.Colour does not exist in TRecComp"},
        {"unknown sub-property", Head + "  object B: TRecComp\n    Font.Size = 3\n  end\nend\n", 6,
         "property B.Font.Size does not exist in TTestFont"},
        {"string for an integer", Head + "  object B: TRecComp\n    Count = '12'\n  end\nend\n", 6,
         "invalid value for B.Count: expected an integer, found a string"},
        {"identifier outside the enumeration", Head + "  object B: TRecComp\n    Kind = kdOdd\n  end\nend\n", 6,
         "'kdOdd' is not a TKind value"},
        {"unknown colour name", Head + "  object B: TRecComp\n    Color = clPink\n  end\nend\n", 6,
         "'clPink' is not a TColor value"},
        {"integer for a boolean", Head + "  object B: TRecComp\n    Enabled = 1\n  end\nend\n", 6,
         "expected True or False, found the integer 1"},
        {"unknown set element", Head + "  object B: TRecComp\n    Styles = [fsBold, fsHuge]\n  end\nend\n", 6,
         "'fsHuge' is not a TFontStyle value"},
        {"number in a string list", Head + "  object B: TRecComp\n    Lines.Strings = ('a' 2)\n  end\nend\n", 6,
         "expected a string in the list, found the integer 2"},
        {"unterminated string", Head + "  object B: TRecComp\n    Caption = 'open\n  end\nend\n", 6,
         "unterminated string"},
        {"unterminated object", Head + "  object B: TRecComp\n    Count = 1\n", 5,
         "object B: TRecComp is not terminated (missing 'end')"},
        {"missing equals sign", Head + "  object B: TRecComp\n    Count 1\n  end\nend\n", 6,
         "expected '=' but found number 1"},
        {"duplicate component name", Head + "  object TABLE1: TRecComp\n  end\nend\n", 5,
         "A component named TABLE1 already exists"},
        {"field of another class", Head + "  object Panel1: TRecComp\n  end\nend\n", 5,
         "the field Panel1 of TTestForm cannot hold a TRecComp"},
        {"missing component", Head + "  object B: TRecComp\n    Link = Nobody\n  end\nend\n", 6,
         "B.Link refers to a component named Nobody that does not exist"},
        {"reference of the wrong class",
         Head + "  object O: TOtherForm\n  end\n  object B: TRecComp\n    Link = O\n  end\nend\n", 8,
         "B.Link cannot refer to O: it is a TOtherForm, not a TRecComp"},
        {"handler not published", Head + "  object B: TRecComp\n    OnFire = Clicked\n  end\nend\n", 6,
         "B.OnFire names the handler Clicked, which TTestForm does not publish"},
        {"handler of the wrong type", Head + "  object B: TRecComp\n    OnFire = RunProc\n  end\nend\n", 6,
         "the handler RunProc of TTestForm has the wrong type for B.OnFire"},
        {"read-only property", Head + "  object B: TRecComp\n    ItemCount = 3\n  end\nend\n", 6,
         "property B.ItemCount is read-only"},
        {"scalar for a sub-object", Head + "  object B: TRecComp\n    Font = 3\n  end\nend\n", 6,
         "invalid value for B.Font: it is an object"},
        {"setter raises", Head + "  object B: TRecComp\n    Failing = 7\n  end\nend\n", 6,
         "error setting B.Failing: failing on purpose with 7"},
        {"parent refuses", Head + "  object Table2: TRecComp\n    object Box: TBox\n    end\n  end\nend\n", 6,
         "cannot set the parent of Box: Box can only be placed in a box"},
        {"error inside a nested collection item",
         Head + "  object B: TRecComp\n    Methods = <\n      item\n        ProcParams = <\n          item\n"
                "            Value = 'x'\n          end>\n      end>\n  end\nend\n",
         10, "invalid value for B.Methods[0].ProcParams[0].Value"},
        {"Loaded raises", Head + "  object B: TRecComp\n    FailInLoaded = True\n  end\nend\n", 5,
         "error finishing B: B cannot start"},
        {"root of another class", "object F: TOtherForm\nend\n", 1,
         "the form describes a TOtherForm, but it is loaded into a TTestForm"},
        {"text after the top object", Head + "end\nend\n", 6, "unexpected 'end' after the end of the top object"},
        {"odd binary data", Head + "  object B: TRecComp\n    Data = {ABC}\n  end\nend\n", 6,
         "odd number of hex digits"},
        {"too deeply nested", [] {
             std::string T = "object F: TTestForm\n";
             for (int I = 0; I < 300; ++I) T += "object TBox\n";
             return T;
         }(),
         202, "form nested too deeply"},
    };
    for (const TBadForm& Case : Cases) {
        SCOPED_TRACE(Case.Title);
        ResetFormTest();
        TTestForm Form(nullptr);
        Form.SetName("Before");
        const int LiveBefore = LiveComponents();
        try {
            ReadFormText(Case.Text, &Form, "bad.form");
            ADD_FAILURE() << "no exception";
        } catch (const EReadError& E) {
            const std::string Message = E.Message();
            const std::string Where = "bad.form, line " + std::to_string(Case.Line) + ": ";
            EXPECT_EQ(Message.rfind(Where, 0), 0u) << Message;
            EXPECT_NE(Message.find(Case.Problem), std::string::npos) << Message;
        }
        EXPECT_EQ(Form.ComponentCount(), 0);
        EXPECT_EQ(LiveComponents(), LiveBefore) << "a failed load leaves components alive";
        EXPECT_EQ(Form.Table1, nullptr);
        EXPECT_EQ(Form.Panel1, nullptr);
        EXPECT_FALSE(Form.ComponentState().Contains(csLoading));
        EXPECT_FALSE(Form.ComponentState().Contains(csReading));
        EXPECT_EQ(Form.Name(), "Before");
    }
}

TEST_F(FormReaderTest, FilesAreReadByPathAndNamedInErrors)
{
    TempDir Dir;
    TTestForm Form(nullptr);
    const std::string Missing = Dir.File("missing.form");
    try {
        ReadFormFile(Missing, &Form);
        FAIL() << "no exception";
    } catch (const EFOpenError& E) {
        EXPECT_EQ(E.Message(), "Cannot open file " + Missing);
    }
    EXPECT_THROW(ReadFormFile(Dir.Path().string(), &Form), EFOpenError);

    const std::string Good = Dir.WriteFile("good.form", "object G: TTestForm\n  Count = 3\nend\n");
    ReadFormFile(Good, &Form);
    EXPECT_EQ(Form.Name(), "G");
    EXPECT_EQ(Form.Count, 3);

    const std::string Bad = Dir.WriteFile("bad.form", "object G: TTestForm\n  Count = x\nend\n");
    TTestForm Other(nullptr);
    try {
        ReadFormFile(Bad, &Other);
        FAIL() << "no exception";
    } catch (const EReadError& E) {
        EXPECT_EQ(E.Message().rfind(Bad + ", line 2: ", 0), 0u) << E.Message();
    }
}

TEST(FormTextClassName, NamesTheTopObjectsClassOrNothing)
{
    EXPECT_EQ(FormTextClassName("object Form1: TForm1\n  Left = 'broken"), "TForm1");
    EXPECT_EQ(FormTextClassName("\xEF\xBB\xBF  object TForm2\nend"), "TForm2");
    EXPECT_EQ(FormTextClassName("inherited Form1: TForm1\nend"), "");
    EXPECT_EQ(FormTextClassName(""), "");
    EXPECT_EQ(FormTextClassName("object Form1:"), "");
}

}  // namespace
