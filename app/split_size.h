// The part-size choice of the main dialog and the custom-size dialog.
#pragma once

#include <windows.h>

// Sets partSize from the selection of the size list; "Custom Size" asks.
void SelectSplitSize(HWND dialog, HWND sizeList);
// 0 when a size was accepted into partSize, 1 when cancelled.
INT_PTR CustomSizeDialog(HWND owner);
INT_PTR CALLBACK CustomSizeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
