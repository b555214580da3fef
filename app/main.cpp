// The demo program "Memory Table Demo App".
#include "app/DemoProgram.h"
#include "framework/ui/TApplication.h"
#include "server/RegisterFileDataSetServer.h"

int main(int argc, char** argv)
{
    TApplicationHost Host(argc, argv);
    RegisterFileDataSetServer();
    RegisterDemoClasses();
    return RunDemoProgram();
}
