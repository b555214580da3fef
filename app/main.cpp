// The demo program "Memory Table Demo App".
//   --access-file <where>   the table's access file instead of the form's (a SQLite file, or a
//                           PostgreSQL URI such as postgresql://user@host/dbname)
//   --language <language>   zh_TW or en instead of the language of the user's locale
#include <iostream>
#include <string_view>

#include "app/DemoProgram.h"
#include "framework/core/Translation.h"
#include "framework/ui/TApplication.h"
#include "framework/ui/Translations.h"
#include "server/RegisterFileDataSetServer.h"

int main(int argc, char** argv)
{
    TApplicationHost Host(argc, argv);
    RegisterFileDataSetServer();
    RegisterDemoClasses();
    AnsiString AccessFile, Language;
    for (int I = 1; I < argc; ++I) {
        std::string_view Arg = argv[I];
        if (Arg == "--access-file" && I + 1 < argc) AccessFile = argv[++I];
        else if (Arg.rfind("--access-file=", 0) == 0) AccessFile = AnsiString(Arg.substr(14));
        else if (Arg == "--language" && I + 1 < argc) Language = argv[++I];
        else if (Arg.rfind("--language=", 0) == 0) Language = AnsiString(Arg.substr(11));
    }
    if (!UseLanguage(Language)) {
        UseLanguage();
        std::cerr << "ZopFileDBDemo: "
                  << FormatText(TranslateText("ZopFileDBDemo", "There is no translation for the language %1."), {Language})
                  << "\n";
    }
    return RunDemoProgram(AccessFile);
}
