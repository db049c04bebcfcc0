// Process-wide handles of the user-interface thread.
#pragma once

#include <windows.h>

extern HINSTANCE InstanceHandle;   // set first thing at start-up
extern HWND MainWindowHandle;      // the main dialog, set at the end of its initialisation
