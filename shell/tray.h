// The notification-area icon and the caption animation between the main
// window and the notification area.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <cstddef>

// Size of the record's original form, the one with the 64-byte tip, which the
// shell of every Windows version accepts whatever _WIN32_IE makes sizeof: 88
// bytes in a 32-bit build, 104 in a 64-bit one (pointers and their padding).
constexpr DWORD kTrayRecordSize = offsetof(NOTIFYICONDATAA, szTip) + 64;
constexpr UINT kTrayIconId = 103;

// Animates the caption towards (or back from) the notification area and hides
// (or shows) the window. False, with nothing drawn and the window untouched,
// when the taskbar or its notification area cannot be found.
bool AnimateTrayTransition(HWND window, bool towardsTray);

// Adds or removes PLYX's icon; the result of Shell_NotifyIconA.
BOOL SetTrayIcon(HWND window, bool add);
