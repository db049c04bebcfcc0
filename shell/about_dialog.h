// The About box: PLYX's icon, name, version and credit, and a link to the
// help file with its path as the link's tip.
#pragma once

#include <windows.h>

// Template IDD_ABOUT, run modally over the main dialog. Only OK and the close
// box end it; Escape does not.
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The link's text; it opens the help file beside the program.
constexpr char kAboutLinkText[] = "the PLYX help file";
