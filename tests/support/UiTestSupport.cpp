#include "tests/support/UiTestSupport.h"

#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <filesystem>

#include "framework/ui/TForm.h"

#ifndef TEST_SCREENSHOT_DIR
#define TEST_SCREENSHOT_DIR "screenshots"
#endif

QImage GrabControl(TControl* Control)
{
    return Control->Widget()->grab().toImage();
}

std::string SaveScreenshot(TControl* Control, const std::string& Name)
{
    std::filesystem::create_directories(TEST_SCREENSHOT_DIR);
    const std::string Path = std::string(TEST_SCREENSHOT_DIR) + "/" + Name + ".png";
    GrabControl(Control).save(QString::fromStdString(Path), "PNG");
    return Path;
}

std::string SaveWidgetScreenshot(QWidget* Widget, const std::string& Name)
{
    std::filesystem::create_directories(TEST_SCREENSHOT_DIR);
    const std::string Path = std::string(TEST_SCREENSHOT_DIR) + "/" + Name + ".png";
    // A dialog sizes itself to its text when it is shown (a message box lays out its label
    // then): shown without blocking, grabbed, and hidden again.
    Widget->show();
    QCoreApplication::processEvents();
    Widget->grab().save(QString::fromStdString(Path), "PNG");
    Widget->hide();
    return Path;
}

void ShowActive(TForm* Form)
{
    Form->Show();
    QWidget* W = Form->Widget();
    QApplication::setActiveWindow(W);
    W->activateWindow();
    ProcessEvents();
}

void ProcessEvents()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents();
}
