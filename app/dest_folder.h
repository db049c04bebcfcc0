// The check of a typed destination folder, offering to create a missing one.
#pragma once

#include <windows.h>

// True when folder names an existing folder, or one just created.
bool CheckDestinationFolder(HWND dialog, const char* folder);
