#include "server/DataPath.h"

#include "framework/core/Translation.h"

#include <filesystem>
#include <system_error>

namespace RecordServer {

namespace fs = std::filesystem;

AnsiString ProgramFolder()
{
    std::error_code Err;
    fs::path Exe = fs::read_symlink("/proc/self/exe", Err);
    if (Err) return {};
    return Exe.parent_path().string();
}

namespace {

// What is at a path that exists but is not a regular file, for messages; empty otherwise.
AnsiString DescribeNonFile(const fs::path& Path)
{
    std::error_code Err;
    switch (fs::status(Path, Err).type()) {
    case fs::file_type::directory: return TranslateText("DataPath", "a folder");
    case fs::file_type::fifo: return TranslateText("DataPath", "a FIFO (named pipe)");
    case fs::file_type::character:
    case fs::file_type::block: return TranslateText("DataPath", "a device");
    case fs::file_type::socket: return TranslateText("DataPath", "a socket");
    case fs::file_type::not_found:
    case fs::file_type::none:
    case fs::file_type::regular: return {};
    default: return TranslateText("DataPath", "a special file");
    }
}

}  // namespace

TDataPath ResolveDataPath(const AnsiString& Name)
{
    TDataPath Result;
    fs::path P(Name);
    std::error_code Err;
    std::vector<fs::path> Candidates;
    if (P.is_absolute()) {
        Candidates.push_back(P);
    } else {
        Candidates.push_back(fs::current_path(Err) / P);
        if (AnsiString Folder = ProgramFolder(); !Folder.empty()) Candidates.push_back(fs::path(Folder) / P);
    }
    for (const fs::path& Candidate : Candidates) {
        Result.Tried.push_back(Candidate.lexically_normal().string());
        if (fs::is_regular_file(Candidate, Err)) {
            Result.Path = Result.Tried.back();
            Result.Exists = true;
            Result.NotAFile.clear();
            return Result;
        }
        if (Result.NotAFile.empty()) {
            Result.NotAFile = DescribeNonFile(Candidate);
            if (!Result.NotAFile.empty()) Result.Path = Result.Tried.back();
        }
    }
    if (Result.NotAFile.empty()) Result.Path = Result.Tried.front();
    return Result;
}

}  // namespace RecordServer
