#pragma once
// Where the server finds the files it is named: a relative schema or access file resolves
// against the current directory first, then the folder of the running program (the build
// puts the demo's schema beside its program).
#include <vector>

#include "framework/core/Exceptions.h"

namespace RecordServer {

struct TDataPath {
    AnsiString Path;               // the existing file, or where a new one is to be made
    bool Exists = false;            // a regular file (or a link to one) is there
    AnsiString NotAFile;            // when something else is there: "a folder", "a FIFO", ...
    std::vector<AnsiString> Tried;  // the places looked at, for messages
};

TDataPath ResolveDataPath(const AnsiString& Name);
// The folder of the running program ("" when it cannot be told).
AnsiString ProgramFolder();

}  // namespace RecordServer
