// The main program of the tests that use controls: Qt on the offscreen platform, the
// application object initialised, and any dialog that a test did not script failing that
// test. The forms are destroyed before Qt goes.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QtGlobal>

#include "framework/ui/TApplication.h"
#include "tests/support/ScriptedDialogs.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    ::testing::InitGoogleTest(&argc, argv);
    TScriptedDialogs Unscripted;
    int Result = 0;
    {
        TApplicationHost Host(argc, argv);
        Application->Initialize();
        Result = RUN_ALL_TESTS();
    }
    return Result;
}
