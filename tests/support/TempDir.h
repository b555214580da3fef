#pragma once
#include <filesystem>
#include <string>

// A fresh folder under the system's temporary folder, removed with everything in it when
// the object goes out of scope.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return FPath; }
    // Path of a file inside the folder.
    std::string File(const std::string& Name) const { return (FPath / Name).string(); }
    // Writes Text to a file inside the folder and returns its path.
    std::string WriteFile(const std::string& Name, const std::string& Text) const;

private:
    std::filesystem::path FPath;
};
