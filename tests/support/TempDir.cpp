#include "tests/support/TempDir.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>

TempDir::TempDir()
{
    std::string Pattern = (std::filesystem::temp_directory_path() / "zopfiledb-test-XXXXXX").string();
    if (!mkdtemp(Pattern.data())) throw std::runtime_error("cannot create a temporary folder");
    FPath = Pattern;
}

TempDir::~TempDir()
{
    std::error_code Ignored;
    std::filesystem::remove_all(FPath, Ignored);
}

std::string TempDir::WriteFile(const std::string& Name, const std::string& Text) const
{
    std::string P = File(Name);
    std::ofstream Out(P, std::ios::binary);
    Out << Text;
    if (!Out) throw std::runtime_error("cannot write " + P);
    return P;
}
