// Where the server finds the files it is named.
#include <gtest/gtest.h>

#include <filesystem>

#include "server/DataPath.h"
#include "tests/support/TempDir.h"

namespace {

using namespace RecordServer;

TEST(DataPath, RelativeNamesTryTheCurrentFolderThenTheProgramFolder)
{
    TempDir Dir;
    Dir.WriteFile("here.SFD", "x");
    std::filesystem::path Saved = std::filesystem::current_path();
    std::filesystem::current_path(Dir.Path());
    TDataPath Here = ResolveDataPath("here.SFD");
    TDataPath Missing = ResolveDataPath("missing.SFD");
    std::filesystem::current_path(Saved);
    EXPECT_TRUE(Here.Exists);
    EXPECT_EQ(Here.Path, Dir.File("here.SFD"));
    EXPECT_FALSE(Missing.Exists);
    EXPECT_EQ(Missing.Path, Dir.File("missing.SFD"));  // a new file is made in the current folder
    ASSERT_EQ(Missing.Tried.size(), 2u);
    EXPECT_EQ(Missing.Tried[1], ProgramFolder() + "/missing.SFD");
    // The test program's own folder is the second place looked at.
    EXPECT_TRUE(ResolveDataPath(std::filesystem::read_symlink("/proc/self/exe").filename().string()).Exists);
}

}  // namespace
