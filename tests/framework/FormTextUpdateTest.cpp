// A changed form written back over its own text: only the lines of what changed differ.
#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <utility>
#include <string>

#include "framework/core/FormReader.h"
#include "framework/core/FormTextUpdate.h"
#include "framework/core/FormWriter.h"
#include "tests/framework/FormTestClasses.h"

using namespace FormTest;

namespace {

class FormTextUpdateTest : public ::testing::Test {
protected:
    void SetUp() override { ResetFormTest(); }
};

const char* const Original = R"(object F: TTestForm
  Caption = 'Main'
  Color = 255
  object Panel1: TBox
    object Inner: TBox
      Kind = kdFancy
    end
  end
  object Table1: TRecComp
    Enabled = False
    Methods = <
      item
        TriggerTime = trgAfterPost
      end
      item
      end>
  end
end
)";

// Loads Text, makes the change, and writes it back in place ("<whole>" when it cannot be).
std::string ChangedText(const std::string& Text, const std::function<void(TTestForm&)>& Change)
{
    TTestForm Form(nullptr);
    ReadFormText(Text, &Form, "F.form");
    const TWrittenObject Before = DescribeForm(&Form);
    Change(Form);
    std::optional<AnsiString> Updated = UpdateFormText(Text, Before, DescribeForm(&Form));
    return Updated ? *Updated : "<whole>";
}

TMethodItem* MethodItem(TTestForm& Form, int Index)
{
    return static_cast<TMethodItem*>(Form.Table1->Methods->GetItem(Index));
}

// Original with each piece of text replaced by its replacement (each piece is there once).
std::string Edited(std::initializer_list<std::pair<std::string, std::string>> Replacements)
{
    std::string Text = Original;
    for (const auto& [From, To] : Replacements) {
        const std::size_t At = Text.find(From);
        EXPECT_TRUE(At != std::string::npos && Text.find(From, At + 1) == std::string::npos) << From;
        if (At != std::string::npos) Text.replace(At, From.size(), To);
    }
    return Text;
}

TEST_F(FormTextUpdateTest, OnlyTheLinesOfWhatChangedDifferAndTheRestKeepsItsSpelling)
{
    struct TCase {
        const char* What;
        std::function<void(TTestForm&)> Change;
        std::string Expected;
    };
    const TCase Cases[] = {
        {"nothing changed: the text as it was, Color = 255 included (the writer says clRed)",
         [](TTestForm&) {}, Original},
        {"a changed value is rewritten where it stood", [](TTestForm& F) { F.Caption = "Renamed"; },
         Edited({{"  Caption = 'Main'\n", "  Caption = 'Renamed'\n"}})},
        {"a value back at its default is taken out, one the file lacked goes after those before it",
         [](TTestForm& F) {
             F.Table1->Enabled = true;
             F.Count = 7;
         },
         Edited({{"    Enabled = False\n", ""}, {"  Caption = 'Main'\n", "  Caption = 'Main'\n  Count = 7\n"}})},
        {"a collection keeps its items' lines and changes one item",
         [](TTestForm& F) { MethodItem(F, 1)->TriggerTime = trgBeforePost; },
         Edited({{"      item\n      end>", "      item\n        TriggerTime = trgBeforePost\n      end>"}})},
        {"a collection with another number of items is written whole in its place",
         [](TTestForm& F) { static_cast<TMethodItem*>(F.Table1->Methods->Add())->TriggerTime = trgAfterPost; },
         Edited({{"      item\n      end>",
                  "      item\n      end\n      item\n        TriggerTime = trgAfterPost\n      end>"}})},
        {"a new component goes where its parent lists it, a freed one leaves with its lines",
         [](TTestForm& F) {
             F.FindComponent("Inner")->Free();
             auto* Added = new TBox(&F);
             Added->SetName("Added");
             Added->SetParentComponent(F.Panel1);
             Added->Caption = "new";
         },
         Edited({{"    object Inner: TBox\n      Kind = kdFancy\n    end\n",
                  "    object Added: TBox\n      Caption = 'new'\n    end\n"}})},
    };
    for (const TCase& Case : Cases) EXPECT_EQ(ChangedText(Original, Case.Change), Case.Expected) << Case.What;
}

TEST_F(FormTextUpdateTest, ChangedAndAddedLinesTakeTheFilesLineEndsAndIndentation)
{
    const std::string Text = "object F: TTestForm\r\n\tCaption = 'Main'\r\n\tobject Inner: TBox\r\n\tend\r\nend\r\n";
    EXPECT_EQ(ChangedText(Text,
                          [](TTestForm& F) {
                              F.Caption = "Renamed";
                              F.Count = 7;
                          }),
              "object F: TTestForm\r\n\tCaption = 'Renamed'\r\n\tCount = 7\r\n\tobject Inner: TBox\r\n\tend\r\nend\r\n");
}

TEST_F(FormTextUpdateTest, ATextWhosePartsShareLinesIsLeftToTheWholeWriter)
{
    const char* const Shared[] = {
        "object F: TTestForm\n  Caption = 'Main' Color = 255\nend\n",
        "object F: TTestForm Caption = 'Main'\nend\n",
        "object F: TTestForm\n  object Inner: TBox end\nend\n",
        "object F: TTestForm\n  Caption = 'Main'\n  Caption = 'Again'\nend\n",
    };
    for (const char* Text : Shared)
        EXPECT_EQ(ChangedText(Text, [](TTestForm& F) { F.Caption = "Renamed"; }), "<whole>") << Text;
}

}  // namespace
