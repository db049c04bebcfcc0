// Drives windows as a person would, in this process or in another (the e2e
// driver's plyx.exe): waits with a deadline, texts, windows, message boxes
// (this thread's answered by a BoxAnswerer), clicks, keys and focus.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

// The caption of PLYX's windows and boxes, written out here so that a changed
// title is caught.
constexpr char kPlyxTitle[] = "PLYX - Quorvant Ver 1.4";

// Polls `condition` until it holds or `timeoutMs` has passed, serving this
// thread's own windows meanwhile.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = 10000);
// SendMessage that gives up after 10 s on a hung window: the result, or -1.
LRESULT SendTo(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
// WM_GETTEXT, which works across processes where GetWindowText gives "".
std::string TextOf(HWND window);
std::string ClassOf(HWND window);

// The top-level windows of process `pid` (0: this one), visible or not.
std::vector<HWND> WindowsOf(DWORD pid);
// The first visible one that `match` accepts (or that bears `caption`), once
// there is one; nullptr after `timeoutMs`.
HWND WaitForWindow(DWORD pid, const std::function<bool(HWND)>& match, DWORD timeoutMs = 10000);
inline HWND WaitForWindow(DWORD pid, const std::string& caption, DWORD timeoutMs = 10000) {
  return WaitForWindow(pid, [&](HWND window) { return TextOf(window) == caption; }, timeoutMs);
}

struct MessageBoxInfo {
  HWND window = nullptr;  // nullptr: no box came
  HWND owner = nullptr;
  std::string caption;
  std::string text;
  std::vector<int> buttons;  // 1 OK, 2 Cancel, 4 Retry, 6 Yes, 7 No
};
// "[caption | text] owned by HWND with buttons 1 2", or "no box".
std::string Describe(const MessageBoxInfo& box);
// The first box of `pid` whose text holds `textPart`, once there is one.
MessageBoxInfo WaitForMessageBox(DWORD pid, const std::string& textPart = "", DWORD timeoutMs = 15000);
// The box bears `caption` and `text`, has `owner` and exactly `buttons`.
::testing::AssertionResult IsBox(const MessageBoxInfo& box, const std::string& caption, const std::string& text,
                                 HWND owner, const std::vector<int>& buttons);
// Clicks a box's (or dialog's) button and waits until it is gone.
bool AnswerMessageBox(HWND box, int button, DWORD timeoutMs = 10000);
// The same for a box found, saying which box stayed or that none came.
::testing::AssertionResult AnswerBox(const MessageBoxInfo& box, int button);
// Posted BM_CLICK: a sent click on a button that opens a modal box would block the caller.
void Click(HWND button);

// Moves the mouse onto the centre of `control`, as a hand does.
void HoverOver(HWND control);
// A real click (SendInput) there: unlike a posted BM_CLICK, the focus moves
// on button-down with the button held, before the click acts.
void ClickAtCentre(HWND control);

// `control`, or the edit field of a combo box, has the focus.
bool HasFocus(HWND control);
bool WholeTextSelected(HWND control);
// A key press posted to the focused control, so that the dialog manager sees it typed.
void PostKey(HWND window, UINT virtualKey);

// A key typed through SendInput: queued before the call returns, held for
// GetKeyState unlike a posted one, but Wine hands it to the foreground thread
// without asking the X server where the focus is.
void PressKey(UINT virtualKey);
// A key pressed on the X server's keyboard, as a hand presses it: it reaches
// only the window with the X focus, and some time after the call returns.
bool PressRealKey(const std::string& keyName);

// Answers the boxes this thread shows while it lives (a WH_CBT hook on
// HCBT_ACTIVATE): with the scripted buttons in order, then each box's first.
class BoxAnswerer {
 public:
  explicit BoxAnswerer(std::vector<int> answers = {});
  ~BoxAnswerer();
  BoxAnswerer(const BoxAnswerer&) = delete;
  BoxAnswerer& operator=(const BoxAnswerer&) = delete;
  // Every box answered so far, in order.
  const std::vector<MessageBoxInfo>& Seen() const { return seen; }

 private:
  static LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam);

  std::vector<int> answers;
  std::vector<MessageBoxInfo> seen;
  HHOOK hook;
};
