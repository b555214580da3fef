#include "app/DemoProgram.h"

#include "app/UMain.h"
#include "framework/ui/TApplication.h"

int RunDemoProgram()
{
    try {
        Application->Initialize();
        Application->SetTitle("Memory Table Demo App");
        Application->CreateForm(Form1);
        Application->Run();
    } catch (Exception& E) {
        Application->ShowException(&E);
    }
    return 0;
}
