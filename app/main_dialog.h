// The main window: the split request, the Split run, the hand-over from a
// second start, minimising to the taskbar or the notification area, help and
// the end of PLYX.
#pragma once

#include <windows.h>

#include <cstddef>

enum DisplayStates : int {
  kDisplayShown = 1,
  kDisplayTaskbar = 2,  // minimised by the system
  kDisplayTray = 3,     // hidden, icon in the notification area
};

// Touched by the user-interface thread only.
extern int DisplayState;
// A double click on the tray icon has shown the window; the button-up that
// follows removes the icon.
extern bool TrayRestorePending;

// False while a split sequence runs (progress window, outcome message,
// history, reset) or while a modal window of PLYX is open over the main
// window: hand-overs, drops, picker results and field reads must leave the
// request alone then.
bool RequestAcceptsChanges();

// Template "PLYX", run by DialogBoxParamA without owner.
INT_PTR CALLBACK MainDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The forwarded text of a hand-over, terminated, into `text`. False when it is
// not a hand-over or does not fit a path buffer.
bool TakeHandOverText(const COPYDATASTRUCT* data, char* text, std::size_t textSize);
