#pragma once
// Helpers for tests of controls on Qt's offscreen platform.
#include <string>

class QImage;
class TControl;
class TForm;

// Renders Control (a form: its client area) to <build>/screenshots/<Name>.png and
// returns the file's path.
std::string SaveScreenshot(TControl* Control, const std::string& Name);
// Renders Control to an image.
QImage GrabControl(TControl* Control);
// Shows Form as the active window and processes the events that follow.
void ShowActive(TForm* Form);
// Processes pending events, user input included.
void ProcessEvents();
