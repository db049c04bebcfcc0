#include "globals.h"

#include "app_constants.h"
#include "resource_ids.h"

HINSTANCE InstanceHandle = nullptr;
HWND MainWindowHandle = nullptr;

HWND FindPlyxMainWindow() {
  HWND first = FindWindowExA(nullptr, nullptr, nullptr, kAppTitle);
  for (HWND window = first; window != nullptr; window = FindWindowExA(nullptr, window, nullptr, kAppTitle)) {
    if (GetDlgItem(window, IDC_SOURCE_FILE) != nullptr) return window;
  }
  return first;
}
