// The main window: the split request, the Split run, the hand-over from a
// second start, minimising to the taskbar or the notification area, help and
// the end of PLYX.
#pragma once

#include <windows.h>

#include <cstddef>

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
