#include "tests/design/FormToolFixture.h"

#include <fstream>

#include "app/DemoProgram.h"
#include "design/FormTool.h"
#include "design/ZopFileDBReg.h"
#include "framework/design/DesignRegistry.h"
#include "server/RegisterFileDataSetServer.h"

std::string ReadText(const std::string& Path)
{
    std::ifstream File(Path, std::ios::binary);
    std::stringstream Text;
    Text << File.rdbuf();
    return Text.str();
}

std::vector<std::string> TextLines(const std::string& Text)
{
    std::vector<std::string> Lines;
    std::istringstream In(Text);
    for (std::string Line; std::getline(In, Line);) Lines.push_back(Line);
    return Lines;
}

void FormTool::SetUp()
{
    RegisterFileDataSetServer();
    RegisterDemoClasses();
    ClearDesignRegistry();
    Register();
    DropAllMemoryTables();
    std::filesystem::copy_file(DEMO_FORM, Dir.File("UMain.form"));
    std::filesystem::copy_file(DEMO_SCHEMA, Dir.File("customer.SFD"));
}

void FormTool::TearDown()
{
    DropAllMemoryTables();
}

int FormTool::Run(std::vector<std::string> Args, const std::string& Typed)
{
    std::istringstream In(Typed);
    Out.str("");
    Err.str("");
    return RunFormTool(Args, In, Out, Err);
}
