// Process-wide handles of the user-interface thread.
#pragma once

#include <windows.h>

extern HINSTANCE InstanceHandle;  // set first thing at start-up
extern HWND MainWindowHandle;     // the main dialog, set at the end of its initialisation

// The running copy's main window, found by its title. The progress and About
// dialogs and PLYX's message boxes bear the same title and may come first, so
// the one holding the file box is preferred. Null when none exists.
HWND FindPlyxMainWindow();
