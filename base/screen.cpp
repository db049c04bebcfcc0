#include "screen.h"

#include "globals.h"
#include "holders.h"
#include "resource_ids.h"

namespace {

// Not LR_SHARED: a shared load hands back whichever size was cached first.
HICON LoadPlyxIcon(int widthMetric, int heightMetric) {
  return static_cast<HICON>(LoadImageA(InstanceHandle, MAKEINTRESOURCEA(IDI_PLYX), IMAGE_ICON,
                                       GetSystemMetrics(widthMetric), GetSystemMetrics(heightMetric), 0));
}

}  // namespace

// From the screen's DC: GetDpiForWindow and GetDpiForSystem need Windows 10.
int ScreenPixels(int pixelsAt96) {
  const WindowDc screen(nullptr);
  const int dpi = screen.Get() != nullptr ? GetDeviceCaps(screen.Get(), LOGPIXELSX) : 0;
  return dpi > 0 ? MulDiv(pixelsAt96, dpi, 96) : pixelsAt96;
}

POINT DialogPixels(HWND dialog, int xAt96, int yAt96) {
  RECT units = {0, 0, 4, 8};  // one base unit each way
  if (!MapDialogRect(dialog, &units)) return {xAt96, yAt96};
  return {MulDiv(xAt96, units.right, 6), MulDiv(yAt96, units.bottom, 13)};
}

HICON PlyxSmallIcon() {
  static const HICON icon = LoadPlyxIcon(SM_CXSMICON, SM_CYSMICON);
  return icon;
}

HICON PlyxLargeIcon() {
  static const HICON icon = LoadPlyxIcon(SM_CXICON, SM_CYICON);
  return icon;
}
