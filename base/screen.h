// What follows the screen: sizes and places given at 96 dpi, and PLYX's icon
// at the sizes the system draws it.
#pragma once

#include <windows.h>

// A width given at 96 dpi at the screen's dpi: exactly itself at 96 dpi. A
// system-aware program keeps one dpi for its life.
int ScreenPixels(int pixelsAt96);

// A place given in pixels of one of PLYX's dialogs as it is at 96 dpi, where
// its font ("MS Sans Serif" 8) gives dialog base units of 6 x 13, in the
// pixels of `dialog` as it is now. The dialog grows with its font, and a font
// grows by its own sizes, not exactly with the dpi: what it holds follows it.
POINT DialogPixels(HWND dialog, int xAt96, int yAt96);

// Icon 103 in its drawn form for the title bar and the notification area
// (SM_CXSMICON) or for Alt+Tab and the window (SM_CXICON), loaded once and
// kept for the process: the shell and the window class hold on to it.
HICON PlyxSmallIcon();
HICON PlyxLargeIcon();
