// A self-drawn link: one line of text in link colours that turns to the hover
// colour under the mouse, shows a hand and opens its address with the shell.
#pragma once

#include <windows.h>

#include <cstdint>

enum HyperLinkStyle : std::uint32_t { kLinkItalic = 1, kLinkUnderline = 2, kLinkStrikeOut = 4 };

constexpr COLORREF kLinkNormalColour = 0x00EE0000;
constexpr COLORREF kLinkVisitedColour = 0x008B1A55;
constexpr COLORREF kLinkHoverColour = 0x000000FF;
constexpr UINT_PTR kLinkTimerId = 1000;
constexpr UINT kLinkTimerPeriodMs = 100;

// Texts are the caller's and must outlive the control. A colour of 0 selects
// its default; a null face selects "MS Sans Serif" 8; a size below 1 selects
// 8; a weight outside 1-900 selects 400 and clears the style bits.
struct HyperLinkParams {
  const char* address;
  const char* text;  // empty: the address is shown
  COLORREF normalColour;
  COLORREF visitedColour;
  COLORREF hoverColour;
  const char* faceName;
  std::int32_t pointSize;
  std::int32_t weight;
  std::uint32_t style;
  std::int32_t x, y;  // pixels in the parent's client area
};

class HyperLink {
 public:
  // Creates the font and the window, sized to the text, and shows it. With no
  // parent or no address nothing is created.
  HyperLink(HWND parent, HyperLinkParams params);
  // Frees the font and a loaded cursor module. The window goes with its parent.
  virtual ~HyperLink();
  HyperLink(const HyperLink&) = delete;
  HyperLink& operator=(const HyperLink&) = delete;

  HWND Window() const { return window; }
  // 1 Win32s, 2 Windows 95, 4 98, 8 Me or later 9x, 16 NT, 0 unknown.
  int GetWindowsFamily() const;

 private:
  static LRESULT CALLBACK HyperLinkWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  HCURSOR LoadLinkCursor();
  void Paint();
  void OnMouseMove();
  void OnTimer();
  void OnClick();

  HWND window = nullptr;
  HMODULE cursorModule = nullptr;
  HFONT font = nullptr;
  bool visited = false;
  bool hover = false;
  HWND parent = nullptr;
  const char* address = nullptr;
  const char* text = nullptr;
  COLORREF normalColour = 0, visitedColour = 0, hoverColour = 0;
  const char* faceName = nullptr;
  std::int32_t pointSize = 0, weight = 0;
};
