// A "msctls_progress32" control: one operation per message.
#pragma once

#include <windows.h>

#include <cstdint>

class ProgressBar {
 public:
  ProgressBar();
  // Destroys the control window.
  virtual ~ProgressBar();
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;

  // `place` holds x, y, width and height (in that order, in left, top, right,
  // bottom) in pixels of parent's client area.
  bool Create(DWORD style, const RECT& place, HWND parent, int id);

  // Each returns what its message returns. The range is 16-bit: higher bits are cut.
  LRESULT SetRange(std::uint32_t low, std::uint32_t high);
  LRESULT SetPos(int position);
  LRESULT SetStep(int step);
  LRESULT StepIt();
  LRESULT SetBarColor(COLORREF color);
  LRESULT SetBkColor(COLORREF color);

  HWND Window() const { return window; }

 private:
  LRESULT Send(UINT message, WPARAM first, LPARAM second);

  HWND window = nullptr;
  HINSTANCE instance = nullptr;
};
