#pragma once
// Registers the framework's control classes, so that form files can name them.
// Calling it again does nothing.
void RegisterUiClasses();
