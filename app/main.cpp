// The demo program: creates the main form from its form file and runs until it closes.
#include "app/UMain.h"
#include "framework/ui/TApplication.h"

int main(int argc, char** argv)
{
    TApplicationHost Host(argc, argv);
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
