#pragma once
// Helpers for tests of controls on Qt's offscreen platform.
#include <string>

class QImage;
class QWidget;
class TControl;
class TForm;

// Renders Control (a form: its client area) to <build>/screenshots/<Name>.png and
// returns the file's path.
std::string SaveScreenshot(TControl* Control, const std::string& Name);
// Shows a widget of its own (a dialog built but not shown) without blocking, renders it to
// <build>/screenshots/<Name>.png as it lays itself out, hides it and returns the file's path.
std::string SaveWidgetScreenshot(QWidget* Widget, const std::string& Name);
// Renders Control to an image.
QImage GrabControl(TControl* Control);
// Shows Form as the active window and processes the events that follow.
void ShowActive(TForm* Form);
// Processes pending events, user input included.
void ProcessEvents();
