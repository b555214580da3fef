#include "app/DemoProgram.h"

#include "app/UMain.h"
#include "components/UZopFileDataSet.h"
#include "framework/core/ClassRegistry.h"
#include "framework/core/Translation.h"
#include "framework/db/TTable.h"
#include "framework/ui/TApplication.h"

void RegisterDemoClasses()
{
    RegisterZopFileDBClasses();
    RegisterDbClasses();
    RegisterClass(TForm1::StaticClassInfo());
}

int RunDemoProgram(const AnsiString& AccessFile)
{
    TForm1::StartAccessFile = AccessFile;
    try {
        Application->Initialize();
        Application->SetTitle(TranslateText("TForm1", "Memory Table Demo App"));
        Application->CreateForm(Form1);
        Application->Run();
    } catch (Exception& E) {
        Application->ShowException(&E);
    }
    return 0;
}
