#include "globals.h"

HINSTANCE InstanceHandle = nullptr;
HWND MainWindowHandle = nullptr;
