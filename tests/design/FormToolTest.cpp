// The form tool on a copy of the demo form: palette, field list, and setting a DataField
// with a caption label, written back and loaded again.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
#include "tests/design/FormToolFixture.h"
#include "tests/support/UiTestSupport.h"

namespace {

namespace fs = std::filesystem;

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
    EXPECT_EQ(Run({"set-field", Dir.File("UMain.form"), "ZopFileDBEdit1", "Company", "--label", "maybe"}), 2);

    EXPECT_EQ(ReadText(Dir.File("UMain.form")), Before);
}

// The names, kinds and contents (hashed) of what a folder holds, one line each.
std::vector<std::string> Listing(const fs::path& Folder)
{
    std::vector<std::string> Lines;
    for (const fs::directory_entry& Entry : fs::directory_iterator(Folder)) {
        const fs::file_status Status = fs::symlink_status(Entry.path());
        std::string Line = Entry.path().filename().string() + " " + std::to_string(static_cast<int>(Status.type()));
        if (fs::is_symlink(Status)) Line += " -> " + fs::read_symlink(Entry.path()).string();
        else if (fs::is_regular_file(Status))
            Line += " " + std::to_string(std::hash<std::string>()(ReadText(Entry.path().string())));
        Lines.push_back(Line);
    }
    std::sort(Lines.begin(), Lines.end());
    return Lines;
}

// Unless it is stopped first, opens a FIFO for writing after a while and closes it again: a
// tool that blocked reading it then reads an empty file, so that it cannot hang the test.
class TFifoReleaser {
public:
    explicit TFifoReleaser(std::string Path)
        : FThread([this, Path = std::move(Path)] {
              std::unique_lock Lock(FLock);
              if (FStop.wait_for(Lock, std::chrono::seconds(2), [this] { return FStopped; })) return;
              int Fd = ::open(Path.c_str(), O_WRONLY | O_NONBLOCK);
              if (Fd >= 0) ::close(Fd);
          })
    {
    }
    ~TFifoReleaser()
    {
        {
            std::lock_guard Lock(FLock);
            FStopped = true;
        }
        FStop.notify_one();
        FThread.join();
    }

private:
    std::mutex FLock;
    std::condition_variable FStop;
    bool FStopped = false;
    std::thread FThread;  // last: it starts once the members above are made
};

TEST_F(FormTool, AFormFileThatIsNotARegularFileOfBoundedSizeIsRefusedWithoutBeingRead)
{
    const std::string Fifo = Dir.File("Fifo.form");
    ASSERT_EQ(::mkfifo(Fifo.c_str(), 0600), 0);
    const std::string Huge = Dir.File("Huge.form");
    fs::copy_file(Dir.File("UMain.form"), Huge);
    fs::resize_file(Huge, 65 * 1024 * 1024);  // sparse: no disk is used
    fs::create_directory(Dir.File("Folder.form"));

    struct TCase {
        std::string Form;
        const char* Says;
    };
    const TCase Cases[] = {
        {Fifo, "is a FIFO (named pipe), not a regular file"},
        {"/dev/zero", "is a device, not a regular file"},
        {Dir.File("Folder.form"), "is a folder, not a regular file"},
        {Huge, "is larger than the 64 MiB a form file may have"},
        {Dir.File("Missing.form"), "Cannot open the form file"},
    };
    for (const TCase& Case : Cases) {
        for (const std::vector<std::string>& Args :
             {std::vector<std::string>{"fields", Case.Form, "ZopFileDBEdit1"},
              std::vector<std::string>{"set-field", Case.Form, "ZopFileDBEdit1", "Company", "--label", "no"}}) {
            TFifoReleaser Release(Fifo);
            EXPECT_EQ(Run(Args), 1) << Args[0] << " " << Case.Form;
            EXPECT_NE(Err.str().find(Case.Says), std::string::npos) << Args[0] << " " << Case.Form << ": " << Err.str();
        }
    }
    EXPECT_TRUE(fs::is_fifo(Fifo));
    EXPECT_EQ(fs::file_size(Huge), 65u * 1024 * 1024);
}

TEST_F(FormTool, TheFormIsWrittenOnlyToARegularFileOrANewPathAndAFailedWriteLeavesNothingBehind)
{
    const std::string Fifo = Dir.File("Fifo.form");
    ASSERT_EQ(::mkfifo(Fifo.c_str(), 0600), 0);
    fs::create_symlink("/dev/null", Dir.File("Device.form"));
    fs::create_directory(Dir.File("Folder.form"));
    fs::create_symlink(Dir.File("Gone.form"), Dir.File("Dangling.form"));
    // Someone's own file that happens to have the name a careless writer would use.
    Dir.WriteFile("Folder.form.partial", "mine");
    const std::vector<std::string> Before = Listing(Dir.Path());

    struct TCase {
        std::string Output;
        const char* Says;
    };
    const TCase Refused[] = {
        {Fifo, "is a FIFO (named pipe), not a regular file"},
        {Dir.File("Device.form"), "is a device, not a regular file"},
        {Dir.File("Folder.form"), "is a folder, not a regular file"},
        {Dir.File("Dangling.form"), "is a link to nothing"},
        {Dir.File("NoSuchFolder/New.form"), "Cannot write the form file"},
    };
    for (const TCase& Case : Refused) {
        TFifoReleaser Release(Fifo);
        EXPECT_EQ(Run({"set-field", Dir.File("UMain.form"), "ZopFileDBEdit1", "Company", "--label", "no", "--output",
                       Case.Output}),
                  1)
            << Case.Output;
        EXPECT_NE(Err.str().find(Case.Says), std::string::npos) << Case.Output << ": " << Err.str();
        EXPECT_EQ(Listing(Dir.Path()), Before) << Case.Output;
    }
    EXPECT_TRUE(fs::is_character_file("/dev/null"));

    // A new path, an existing form (its permissions kept) and a link to a form (written
    // through, the link kept) take the form.
    const std::string Linked = Dir.WriteFile("Linked.form", "old");
    fs::permissions(Linked, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink(Linked, Dir.File("Link.form"));
    for (const std::string& Output : {Dir.File("New.form"), Dir.File("Link.form")}) {
        ASSERT_EQ(Run({"set-field", Dir.File("UMain.form"), "ZopFileDBEdit1", "Company", "--label", "no", "--output",
                       Output}),
                  0)
            << Err.str();
        TForm1 Form(nullptr);
        ReadFormFile(Output, &Form);
        EXPECT_EQ(Form.ZopFileDBEdit1->GetDataField(), "Company") << Output;
    }
    EXPECT_TRUE(fs::is_symlink(Dir.File("Link.form")));
    EXPECT_EQ(fs::status(Linked).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(ReadText(Dir.File("Folder.form.partial")), "mine");
    std::vector<std::string> After = Listing(Dir.Path());
    EXPECT_EQ(After.size(), Before.size() + 3) << "New.form, Linked.form and Link.form, nothing else";
}

// Waits until the clock's second changes, so that what follows runs early in a second.
void WaitForTheNextSecond()
{
    const AnsiString Start = FormatDateTime("ss", Now());
    while (FormatDateTime("ss", Now()) == Start) {
    }
}

TEST_F(FormTool, ACaptionLabelWhoseTimeNameIsTakenGetsTheNextFreeName)
{
    // Labels made this second and the next are already on the form.
    WaitForTheNextSecond();
    const TDateTime Time = Now();
    const AnsiString This = "Lb_" + FormatDateTime("ddhhnnss", Time);
    const AnsiString Next = "Lb_" + FormatDateTime("ddhhnnss", Time + 1.0 / 86400);
    std::string Taken = ReadText(Dir.File("UMain.form"));
    for (const AnsiString& Name : {This, This + "_2", Next, Next + "_2"})
        Taken.insert(Taken.rfind("end"), "  object " + Name + ": TLabel\n  end\n");
    std::ofstream(Dir.File("UMain.form"), std::ios::binary | std::ios::trunc) << Taken;

    ASSERT_EQ(Run({"set-field", Dir.File("UMain.form"), "ZopFileDBEdit1", "Company", "--label", "yes", "--caption", "Co."}),
              0)
        << Err.str();
    TForm1 Form(nullptr);
    ReadFormFile(Dir.File("UMain.form"), &Form);
    std::vector<AnsiString> Captioned;
    for (int I = 0; I < Form.ComponentCount(); ++I)
        if (auto* Label = dynamic_cast<TLabel*>(Form.Components(I)); Label && Label->Caption() == "Co.")
            Captioned.push_back(Label->Name());
    ASSERT_EQ(Captioned.size(), 1u);
    EXPECT_TRUE(Captioned[0] == This + "_3" || Captioned[0] == Next + "_3") << Captioned[0];
}

}  // namespace
