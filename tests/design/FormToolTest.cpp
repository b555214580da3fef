// The form tool on a copy of the demo form: palette, field list, and setting a DataField
// with a caption label, written back and loaded again.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/DemoProgram.h"
#include "app/UMain.h"
#include "components/UZopFileDataSet.h"
#include "design/FormTool.h"
#include "design/ZopFileDBReg.h"
#include "framework/core/DateTime.h"
#include "framework/core/FormReader.h"
#include "framework/design/DesignRegistry.h"
#include "framework/ui/TLabel.h"
#include "server/RegisterFileDataSetServer.h"
#include "tests/support/TempDir.h"
#include "tests/support/UiTestSupport.h"

namespace {

namespace fs = std::filesystem;

std::string ReadText(const std::string& Path)
{
    std::ifstream File(Path, std::ios::binary);
    std::stringstream Text;
    Text << File.rdbuf();
    return Text.str();
}

class FormTool : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterFileDataSetServer();
        RegisterDemoClasses();
        ClearDesignRegistry();
        Register();
        DropAllMemoryTables();
        fs::copy_file(DEMO_FORM, Dir.File("UMain.form"));
        fs::copy_file(DEMO_SCHEMA, Dir.File("customer.SFD"));
    }
    void TearDown() override { DropAllMemoryTables(); }
    int Run(std::vector<std::string> Args, const std::string& Typed = "")
    {
        std::istringstream In(Typed);
        Out.str("");
        Err.str("");
        return RunFormTool(Args, In, Out, Err);
    }

    TempDir Dir;
    std::ostringstream Out, Err;
};

TEST_F(FormTool, ListsThePaletteAndTheFieldsOfADataFieldWithoutTouchingTheForm)
{
    EXPECT_EQ(Run({"palette"}), 0);
    EXPECT_EQ(Out.str().rfind("ZopFileDBSuit\n  TZopFileDataSet\n  TZopFileDataSource\n", 0), 0u) << Out.str();
    const std::string Before = ReadText(Dir.File("UMain.form"));
    EXPECT_EQ(Run({"fields", Dir.File("UMain.form"), "ZopFileDBEdit1"}), 0) << Err.str();
    EXPECT_EQ(Out.str().rfind("CustNo\nCompany\nAddr1\n", 0), 0u) << Out.str();
    EXPECT_EQ(ReadText(Dir.File("UMain.form")), Before);
}

TEST_F(FormTool, SetsADataFieldWithACaptionLabelAndTheWrittenFormLoadsAgain)
{
    // The label question and the caption asked on the terminal.
    ASSERT_EQ(Run({"set-field", Dir.File("UMain.form"), "ZopFileDBEdit1", "Company"}, "y\n公司名稱\n"), 0) << Err.str();
    EXPECT_NE(Out.str().find("是否要產生標題(TLabel)??"), std::string::npos);

    TForm1 Form(nullptr);
    ReadFormFile(Dir.File("UMain.form"), &Form);
    EXPECT_EQ(Form.ZopFileDBEdit1->GetDataField(), "Company");
    EXPECT_EQ(Form.ZopFileDBEdit1->MaxLength(), 40);
    EXPECT_EQ(Form.ZopFileDBEdit1->Color(), static_cast<TColor>(0x00FFFFFF));
    TLabel* Label = nullptr;
    for (int I = 0; I < Form.ComponentCount(); ++I)
        if (Form.Components(I)->Name().rfind("Lb_", 0) == 0 && Form.Components(I) != Form.Lb_30073719)
            Label = dynamic_cast<TLabel*>(Form.Components(I));
    ASSERT_NE(Label, nullptr);
    EXPECT_EQ(Label->Caption(), "公司名稱");
    EXPECT_EQ(Label->Left() + Label->Width() + 24, Form.ZopFileDBEdit1->Left());
    EXPECT_EQ(Label->Top(), Form.ZopFileDBEdit1->Top() + 6);
    EXPECT_EQ(Form.Button1->OnClick.Assigned(), true) << "handlers are written back by name";
    SaveScreenshot(&Form, "form_tool_new_label");
}

TEST_F(FormTool, FailuresAreReportedAndLeaveTheFormFileUnchanged)
{
    const std::string Before = ReadText(Dir.File("UMain.form"));
    EXPECT_EQ(Run({"set-field", Dir.File("UMain.form"), "NoSuchEdit", "Company"}), 1);
    EXPECT_NE(Err.str().find("no component named NoSuchEdit"), std::string::npos) << Err.str();
    EXPECT_EQ(Run({"set-field", Dir.File("UMain.form")}), 2);
    EXPECT_EQ(Run({"set-field", Dir.File("UMain.form"), "ZopFileDBEdit1", "Company", "--label", "maybe"}), 1);

    // A caption label whose name is already taken on the form (two in the same second).
    const AnsiString Start = FormatDateTime("ss", Now());
    while (FormatDateTime("ss", Now()) == Start) {
    }
    std::string Taken = Before;
    Taken.insert(Taken.rfind("end"), "  object Lb_" + FormatDateTime("ddhhnnss", Now()) + ": TLabel\n  end\n");
    std::ofstream(Dir.File("UMain.form"), std::ios::binary | std::ios::trunc) << Taken;
    EXPECT_EQ(Run({"set-field", Dir.File("UMain.form"), "ZopFileDBEdit1", "Company", "--label", "yes"}), 1);
    EXPECT_NE(Err.str().find("already exists"), std::string::npos) << Err.str();
    EXPECT_EQ(ReadText(Dir.File("UMain.form")), Taken);
}

}  // namespace
