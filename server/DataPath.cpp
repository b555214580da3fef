#include "server/DataPath.h"

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

TDataPath ResolveDataPath(const AnsiString& Name)
{
    TDataPath Result;
    fs::path P(Name);
    std::error_code Err;
    if (P.is_absolute()) {
        Result.Path = P.lexically_normal().string();
        Result.Tried.push_back(Result.Path);
        Result.Exists = fs::is_regular_file(P, Err);
        return Result;
    }
    std::vector<fs::path> Candidates{fs::current_path(Err) / P};
    if (AnsiString Folder = ProgramFolder(); !Folder.empty()) Candidates.push_back(fs::path(Folder) / P);
    for (const fs::path& Candidate : Candidates) {
        Result.Tried.push_back(Candidate.lexically_normal().string());
        if (fs::is_regular_file(Candidate, Err)) {
            Result.Path = Result.Tried.back();
            Result.Exists = true;
            return Result;
        }
    }
    Result.Path = Result.Tried.front();
    return Result;
}

}  // namespace RecordServer
