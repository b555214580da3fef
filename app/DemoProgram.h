#pragma once
// The demo program's run, from the application object's start to the end of its message
// loop. The caller has set up Qt and the application object (TApplicationHost) and
// registered the server and the component classes.

// Registers the demo's form class and the classes its form file names (the components
// and the table).
void RegisterDemoClasses();

// Initialises the application, creates the main form from its form file (its creation
// handler opens the dataset) and runs the message loop until the form closes. An exception
// that escapes is shown. The result is always 0.
int RunDemoProgram();
