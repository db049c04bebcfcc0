#include "tray.h"

#include <cstdio>
#include <cstring>

#include "resource_ids.h"
#include "app_constants.h"
#include "screen.h"

static_assert(kTrayRecordSize == (sizeof(void*) == 4 ? 88 : 104), "the form with the 64-byte tip");
static_assert(sizeof kAppTitle <= 64, "the title must fit the tip");

bool AnimateTrayTransition(HWND window, bool towardsTray) {
  RECT windowRect;
  GetWindowRect(window, &windowRect);
  HWND taskbar = FindWindowExA(nullptr, nullptr, "Shell_TrayWnd", nullptr);
  if (taskbar == nullptr) return false;
  HWND notifyArea = FindWindowExA(taskbar, nullptr, "TrayNotifyWnd", nullptr);
  if (notifyArea == nullptr) return false;
  RECT trayRect;
  GetWindowRect(notifyArea, &trayRect);
  if (towardsTray) {
    DrawAnimatedRects(window, IDANI_CAPTION, &windowRect, &trayRect);
    ShowWindow(window, SW_HIDE);
  } else {
    DrawAnimatedRects(window, IDANI_CAPTION, &trayRect, &windowRect);
    ShowWindow(window, SW_SHOW);
  }
  return true;
}

namespace {

// kTrayRecordSize bytes for the shell, zero but for the fields of the operation.
void FillTrayRecord(HWND window, bool add, NOTIFYICONDATAA* record) {
  std::memset(record, 0, sizeof *record);
  record->cbSize = kTrayRecordSize;
  record->hWnd = window;
  record->uID = kTrayIconId;
  if (!add) return;
  record->uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  record->uCallbackMessage = WM_PLYX_TRAY;
  record->hIcon = PlyxSmallIcon();
  std::snprintf(record->szTip, 64, "%s", kAppTitle);
}

}  // namespace

BOOL SetTrayIcon(HWND window, bool add) {
  NOTIFYICONDATAA record;
  FillTrayRecord(window, add, &record);
  return Shell_NotifyIconA(add ? NIM_ADD : NIM_DELETE, &record);
}
