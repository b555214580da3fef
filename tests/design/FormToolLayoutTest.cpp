// What the form tool writes back: the form's own text, changed only where the change is, for
// the demo form, a grid column, and a form whose class the tool does not know.
#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "app/UMain.h"
#include "components/UZopFileDataSet.h"
#include "framework/core/FormReader.h"
#include "tests/design/FormToolFixture.h"

namespace {

// The lines of After that differ from Before at the same place, once the block of lines
// [From, To) of After is taken out; fails the test when the two do not line up then.
std::vector<std::size_t> ChangedLines(const std::vector<std::string>& Before, std::vector<std::string> After,
                                      std::size_t From = 0, std::size_t To = 0)
{
    After.erase(After.begin() + static_cast<std::ptrdiff_t>(From), After.begin() + static_cast<std::ptrdiff_t>(To));
    EXPECT_EQ(After.size(), Before.size());
    std::vector<std::size_t> Changed;
    for (std::size_t I = 0; I < std::min(Before.size(), After.size()); ++I)
        if (Before[I] != After[I]) Changed.push_back(I);
    return Changed;
}

// The index of the first line at or after From that starts with Start (the size when none does).
std::size_t Find(const std::vector<std::string>& Lines, const std::string& Start, std::size_t From = 0)
{
    while (From < Lines.size() && Lines[From].rfind(Start, 0) != 0) ++From;
    return From;
}

std::string PropertyName(const std::string& Line)
{
    const std::size_t Begin = Line.find_first_not_of(' ');
    return Line.substr(Begin, Line.find(' ', Begin) - Begin);
}

TEST_F(FormTool, SettingAFieldOnTheDemoFormChangesOnlyTheEditsLinesAndAddsItsLabel)
{
    const std::vector<std::string> Before = TextLines(ReadText(Dir.File("UMain.form")));
    ASSERT_EQ(Run({"set-field", Dir.File("UMain.form"), "ZopFileDBEdit1", "Company", "--label", "yes", "--caption",
                   "Firma"}),
              0)
        << Err.str();
    const std::vector<std::string> After = TextLines(ReadText(Dir.File("UMain.form")));

    // The new label: one block of its own, after the form's last control, where the form
    // lists its controls before its non-visual components.
    std::size_t LabelAt = Find(After, "  object Lb_");
    if (After[LabelAt] == "  object Lb_30073719: TLabel") LabelAt = Find(After, "  object Lb_", LabelAt + 1);
    ASSERT_LT(LabelAt, After.size());
    const std::size_t LabelEnd = Find(After, "  end", LabelAt) + 1;
    ASSERT_LT(LabelEnd, After.size());
    EXPECT_EQ(After[LabelEnd], "  object TbMain: TZopFileDataSet");
    const std::vector<std::string> Label(After.begin() + static_cast<std::ptrdiff_t>(LabelAt),
                                         After.begin() + static_cast<std::ptrdiff_t>(LabelEnd));
    EXPECT_NE(std::find(Label.begin(), Label.end(), "    Caption = 'Firma'"), Label.end());

    // Everything else is as it was but the edit's field, colour and length.
    const std::size_t EditAt = Find(Before, "  object ZopFileDBEdit1:");
    const std::size_t EditEnd = Find(Before, "  end", EditAt);
    std::set<std::string> Properties;
    for (std::size_t Line : ChangedLines(Before, After, LabelAt, LabelEnd)) {
        EXPECT_TRUE(Line > EditAt && Line < EditEnd) << "line " << Line + 1 << ": " << After[Line];
        Properties.insert(PropertyName(Before[Line]));
    }
    EXPECT_EQ(Properties, (std::set<std::string>{"Color", "MaxLength", "DataField"}));
    EXPECT_NE(std::find(After.begin(), After.end(), "    DataField = 'Company'"), After.end());
    EXPECT_NE(std::find(After.begin(), After.end(), "    MaxLength = 40"), After.end());
}

TEST_F(FormTool, AGridColumnsDataFieldIsListedAndSetOnItsOwnLine)
{
    const std::string Form = Dir.File("UMain.form");
    ASSERT_EQ(Run({"fields", Form, "ZopFileDBGrid1.Columns[1]"}), 0) << Err.str();
    EXPECT_EQ(Out.str().rfind("CustNo\nCompany\nAddr1\n", 0), 0u) << Out.str();

    const std::vector<std::string> Before = TextLines(ReadText(Form));
    ASSERT_EQ(Run({"set-field", Form, "ZopFileDBGrid1.Columns[1]", "City"}), 0) << Err.str();
    EXPECT_EQ(Out.str().find("TLabel"), std::string::npos) << "a column is offered no caption label";
    const std::vector<std::string> After = TextLines(ReadText(Form));
    const std::vector<std::size_t> Changed = ChangedLines(Before, After);
    ASSERT_EQ(Changed.size(), 1u);
    EXPECT_EQ(Before[Changed[0]], "        DataField = 'Company'");
    EXPECT_EQ(After[Changed[0]], "        DataField = 'City'");

    TForm1 Loaded(nullptr);
    ReadFormFile(Form, &Loaded);
    EXPECT_EQ(Loaded.ZopFileDBGrid1->GetColumns()->GeTColumnItem(1)->GetDataField(), "City");
    EXPECT_EQ(Loaded.ZopFileDBGrid1->GetColumns()->GeTColumnItem(4)->GetDataField(), "City");

    struct TCase {
        const char* Component;
        const char* Says;
    };
    const TCase Wrong[] = {
        {"ZopFileDBGrid1.Columns[13]", "ZopFileDBGrid1.Columns has no item 13 (it has 13, counted from 0)"},
        {"ZopFileDBGrid1.Rows[0]", "ZopFileDBGrid1 has no property Rows"},
        {"ZopFileDBGrid1.Columns[one]", "must be a number from 0 in brackets"},
        {"ZopFileDBGrid1.Columns", "ZopFileDBGrid1.Columns has no DataField property"},
    };
    for (const TCase& Case : Wrong) {
        EXPECT_EQ(Run({"set-field", Form, Case.Component, "City"}), 1) << Case.Component;
        EXPECT_NE(Err.str().find(Case.Says), std::string::npos) << Case.Component << ": " << Err.str();
    }
    EXPECT_EQ(TextLines(ReadText(Form)), After);
}

TEST_F(FormTool, AFormWhoseClassTheToolDoesNotKnowOpensAsAPlainFormAndKeepsItsHandlers)
{
    const std::string Text = R"(object OrdersForm: TOrdersForm
  Caption = 'Orders'
  OnCreate = FormCreate
  object CustomerEdit: TZopFileDBEdit
    Left = 120
    DataSource = Src
  end
  object PostButton: TButton
    Caption = 'Post'
    OnClick = PostClick
  end
  object DS: TZopFileDataSet
    AccessUser = 'clerk'
    SchemaFileName = 'customer.SFD'
  end
  object Src: TZopFileDataSource
    DataSet = DS
  end
end
)";
    const std::string Form = Dir.WriteFile("Orders.form", Text);
    ASSERT_EQ(Run({"fields", Form, "CustomerEdit"}), 0) << Err.str();
    EXPECT_EQ(Out.str().rfind("CustNo\nCompany\n", 0), 0u) << Out.str();

    ASSERT_EQ(Run({"set-field", Form, "CustomerEdit", "CustNo", "--label", "no"}), 0) << Err.str();
    // The edit gets its key colour, length and field among the properties it had; the rest,
    // the class and the handlers included, stays.
    std::string Expected = Text;
    const std::string Edit = "    DataSource = Src\n  end\n";
    Expected.replace(Expected.find(Edit), Edit.size(),
                     "    Color = 7779576\n    MaxLength = 8\n    DataSource = Src\n    DataField = 'CustNo'\n  end\n");
    EXPECT_EQ(ReadText(Form), Expected);

    ASSERT_EQ(Run({"render", Form, Dir.File("Orders.png")}), 0) << Err.str();
    EXPECT_GT(ReadText(Dir.File("Orders.png")).size(), 0u);
}

}  // namespace
