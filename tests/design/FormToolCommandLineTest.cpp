// The form tool's command line (help, version, usage errors) and its pictures of forms.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QString>

#include <filesystem>
#include <set>

#include <sys/stat.h>

#include "app/UMain.h"
#include "components/UZopFileDataSet.h"
#include "framework/core/FormReader.h"
#include "tests/design/FormToolFixture.h"

namespace {

TEST_F(FormTool, TheCommandLineAnswersHelpAndVersionAndRefusesWhatItCannotReadWithItsUsage)
{
    const std::string Form = Dir.File("UMain.form");
    const std::string Before = ReadText(Form);
    struct TCase {
        std::vector<std::string> Args;
        int Code;
        const char* Says;  // on the output for 0, else on the error output
    };
    const TCase Cases[] = {
        {{"--help"}, 0, "  render FORM PNG"},
        {{"-h"}, 0, "--output <FILE>"},
        {{"fields", Form, "ZopFileDBEdit1", "--help"}, 0, "Commands:"},
        {{"--version"}, 0, "zopfiledb-form " ZOPFILEDB_VERSION "\n"},
        {{}, 2, "no command given"},
        {{"frobnicate"}, 2, "unknown command 'frobnicate'"},
        {{"fields", Form}, 2, "fields takes FORM COMPONENT"},
        {{"palette", "extra"}, 2, "palette takes no arguments"},
        {{"render", Form}, 2, "render takes FORM PNG"},
        {{"fields", Form, "ZopFileDBEdit1", "--bogus"}, 2, "Unknown option 'bogus'"},
        {{"set-field", Form, "ZopFileDBEdit1", "Company", "--label"}, 2, "Missing value after '--label'"},
        {{"set-field", Form, "ZopFileDBEdit1", "Company", "--label", "maybe"}, 2, "--label takes yes or no, not 'maybe'"},
        {{"fields", Form, "ZopFileDBEdit1", "--output", "x.form"}, 2, "--output is an option of set-field only"},
    };
    for (const TCase& Case : Cases) {
        std::string Line;
        for (const std::string& Arg : Case.Args) Line += Arg + " ";
        EXPECT_EQ(Run(Case.Args), Case.Code) << Line << Err.str();
        const std::string Said = Case.Code == 0 ? Out.str() : Err.str();
        EXPECT_NE(Said.find(Case.Says), std::string::npos) << Line << ": " << Said;
        if (Case.Code == 2) {
            EXPECT_NE(Said.find("usage: zopfiledb-form"), std::string::npos) << Line;
            EXPECT_NE(Said.find("Try 'zopfiledb-form --help'"), std::string::npos) << Line;
            EXPECT_TRUE(Out.str().empty()) << Line;
        }
    }
    EXPECT_EQ(ReadText(Form), Before) << "nothing refused wrote the form";

    // Options go anywhere and take their value after '=' as well.
    ASSERT_EQ(Run({"set-field", "--label=yes", Form, "--caption=Co.", "ZopFileDBEdit1", "Company"}), 0) << Err.str();
    TForm1 Loaded(nullptr);
    ReadFormFile(Form, &Loaded);
    EXPECT_EQ(Loaded.ZopFileDBEdit1->GetDataField(), "Company");
}

TEST_F(FormTool, RenderSavesAPictureOfTheFormAsItShows)
{
    const std::string Png = Dir.File("UMain.png");
    ASSERT_EQ(Run({"render", Dir.File("UMain.form"), Png}), 0) << Err.str();
    EXPECT_NE(Out.str().find(Png), std::string::npos);
    const QImage Image(QString::fromStdString(Png), "PNG");
    ASSERT_FALSE(Image.isNull());
    TForm1 Form(nullptr);
    ReadFormFile(Dir.File("UMain.form"), &Form);
    EXPECT_EQ(Image.width(), Form.ClientWidth());
    EXPECT_EQ(Image.height(), Form.ClientHeight());

    // The navigator's colour (16366188, 0x00BBGGRR) shows at its top left, below its buttons'
    // row's edge, and the grid's clGray around its cells; the picture is of the form's controls.
    std::set<QRgb> Colours;
    for (int Y = 0; Y < Image.height(); Y += 7)
        for (int X = 0; X < Image.width(); X += 7) Colours.insert(Image.pixel(X, Y));
    EXPECT_GT(Colours.size(), 8u) << "a picture of many controls";
    const QColor Navigator = Image.pixelColor(Form.ZopFileDBNavigator1->Left() + 1, Form.ZopFileDBNavigator1->Top() + 1);
    EXPECT_NE(Navigator, Image.pixelColor(2, Form.ClientHeight() - 2)) << "the navigator stands out of the form";
    std::filesystem::create_directories(TEST_SCREENSHOT_DIR);
    std::filesystem::copy_file(Png, std::string(TEST_SCREENSHOT_DIR) + "/form_tool_render.png",
                               std::filesystem::copy_options::overwrite_existing);

    // The picture is written as the forms are: never into a FIFO.
    const std::string Fifo = Dir.File("Fifo.png");
    ASSERT_EQ(::mkfifo(Fifo.c_str(), 0600), 0);
    EXPECT_EQ(Run({"render", Dir.File("UMain.form"), Fifo}), 1);
    EXPECT_NE(Err.str().find("is a FIFO (named pipe), not a regular file"), std::string::npos) << Err.str();
}

}  // namespace
