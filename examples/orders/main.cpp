// The orders example: a small program on the installed suite, a window with a grid, a
// navigator and bound edits on a table of orders (a whole number, a text, a date, an amount
// of money and a flag), kept in the table file orders.db in the current folder.
//
//   orders [--access-file WHERE] [--in-code] [--screenshot FILE.png]
//
//   --access-file WHERE  the table elsewhere: another table file, or a PostgreSQL URI such
//                        as postgresql://clerk@dbhost/shop that other machines share
//   --in-code            the window built in code instead of read from its form file
//   --screenshot FILE    save a picture of the window instead of running it, print what the
//                        table holds, and exit (works without a display: QT_QPA_PLATFORM=offscreen)
#include <cstdio>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QPixmap>
#include <QWidget>

#include "OrderRecords.h"
#include "OrdersForm.h"
#include "OrdersFormInCode.h"
#include "components/UZopFileDataSet.h"
#include "framework/core/ClassRegistry.h"
#include "framework/ui/TApplication.h"
#include "server/RegisterFileDataSetServer.h"

int main(int argc, char** argv)
{
    // [start]
    TApplicationHost Host(argc, argv);              // Qt and the application object
    Application->Initialize();                      // the framework's own control classes
    RegisterFileDataSetServer();                    // the record-storage server, before any dataset
    RegisterZopFileDBClasses();                     // the suite's classes, for form files
    RegisterClass(TOrdersForm::StaticClassInfo());  // the program's own form class
    Application->SetTitle("Orders");
    // [end start]

    QCommandLineParser Options;
    Options.setApplicationDescription("Orders: a window on a table of orders.");
    Options.addHelpOption();
    const QCommandLineOption AccessFile("access-file", "The table file or PostgreSQL URI of the orders table.", "where");
    const QCommandLineOption InCode("in-code", "Build the window in code instead of reading its form file.");
    const QCommandLineOption Screenshot("screenshot", "Save a picture of the window and exit.", "file");
    Options.addOptions({AccessFile, InCode, Screenshot});
    Options.process(QCoreApplication::arguments());
    OrdersAccessFile = Options.value(AccessFile).toStdString();

    try {
        // [create form]
        TForm* Window = nullptr;
        if (Options.isSet(InCode)) {
            Window = CreateOrdersFormInCode(OrdersAccessFile);
        } else {
            TOrdersForm* OrdersForm = nullptr;
            Application->CreateForm(OrdersForm);  // reads OrdersForm.form, then runs FormCreate
            Window = OrdersForm;
        }
        // [end create form]
        if (Options.isSet(Screenshot)) {
            Window->Show();
            Application->ProcessMessages();
            const QString File = Options.value(Screenshot);
            if (!Window->Widget()->grab().save(File, "PNG")) {
                std::fprintf(stderr, "orders: the picture could not be saved to %s\n", qPrintable(File));
                return 1;
            }
            auto* Orders = static_cast<TZopFileDataSet*>(Window->FindComponent("Orders"));
            std::printf("orders ok: %s\n", TotalText(Orders).c_str());
            return 0;
        }
        Application->Run();
    } catch (const Exception& E) {
        // Before the window runs, nobody else shows what went wrong.
        std::fprintf(stderr, "orders: %s\n", E.what());
        return 1;
    }
    return 0;
}
