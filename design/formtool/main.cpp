// zopfiledb-form: the form tool (see design/FormTool.h). It knows the suite's components, the
// framework's controls and the demo's form.
#include <QByteArray>
#include <QtGlobal>

#include <iostream>

#include "app/DemoProgram.h"
#include "design/FormTool.h"
#include "design/ZopFileDBReg.h"
#include "framework/ui/TApplication.h"
#include "framework/ui/Translations.h"
#include "server/RegisterFileDataSetServer.h"

int main(int argc, char** argv)
{
    // A terminal tool: the forms it loads are never shown.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    TApplicationHost Host(argc, argv);
    Application->Initialize();
    UseLanguage();
    RegisterFileDataSetServer();
    RegisterDemoClasses();
    Register();
    return RunFormTool(std::vector<std::string>(argv + 1, argv + argc), std::cin, std::cout, std::cerr);
}
