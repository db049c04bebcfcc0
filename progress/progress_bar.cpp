#include "progress_bar.h"

#include <commctrl.h>

ProgressBar::ProgressBar() {
  INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&classes);
  instance = GetModuleHandleA(nullptr);
}

ProgressBar::~ProgressBar() {
  if (window) DestroyWindow(window);
}

bool ProgressBar::Create(DWORD style, const RECT& place, HWND parent, int id) {
  if (!IsWindow(parent) || place.left < 0 || place.top < 0 || place.right <= 0 || place.bottom <= 0) { return false; }
  window = CreateWindowExA(0, PROGRESS_CLASSA, nullptr, style, place.left, place.top, place.right, place.bottom, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
  return window != nullptr;
}

LRESULT ProgressBar::Send(UINT message, WPARAM first, LPARAM second) {
  return window ? SendMessageA(window, message, first, second) : 0;
}

LRESULT ProgressBar::SetRange(std::uint32_t low, std::uint32_t high) {
  return Send(PBM_SETRANGE, 0, MAKELPARAM(low & 0xFFFF, high & 0xFFFF));
}

LRESULT ProgressBar::SetPos(int position) { return Send(PBM_SETPOS, position, 0); }

LRESULT ProgressBar::SetStep(int step) { return Send(PBM_SETSTEP, step, 0); }

LRESULT ProgressBar::StepIt() { return Send(PBM_STEPIT, 0, 0); }

LRESULT ProgressBar::SetBarColor(COLORREF color) { return Send(PBM_SETBARCOLOR, 0, color); }

LRESULT ProgressBar::SetBkColor(COLORREF color) { return Send(PBM_SETBKCOLOR, 0, color); }
