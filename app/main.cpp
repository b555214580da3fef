// The demo program "Memory Table Demo App".
//   --access-file <where>   the table's access file instead of the form's (a SQLite file, or a
//                           PostgreSQL URI such as postgresql://user@host/dbname)
#include <string_view>

#include "app/DemoProgram.h"
#include "framework/ui/TApplication.h"
#include "server/RegisterFileDataSetServer.h"

int main(int argc, char** argv)
{
    TApplicationHost Host(argc, argv);
    RegisterFileDataSetServer();
    RegisterDemoClasses();
    AnsiString AccessFile;
    for (int I = 1; I < argc; ++I) {
        std::string_view Arg = argv[I];
        if (Arg == "--access-file" && I + 1 < argc) AccessFile = argv[++I];
        else if (Arg.rfind("--access-file=", 0) == 0) AccessFile = AnsiString(Arg.substr(14));
    }
    return RunDemoProgram(AccessFile);
}
