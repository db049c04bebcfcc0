// Drives windows the way a person would, in this process or in another one:
// finds dialogs and message boxes, reads texts, presses buttons, posts keys.
// Works across processes (WM_GETTEXT, posted clicks), so the end-to-end driver
// uses it too.
#pragma once

#include <windows.h>

#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Polls `condition` until it holds or `timeoutMs` has passed.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = 10000);

// Text of a window or control via WM_GETTEXT (GetWindowText returns "" across processes).
std::string TextOf(HWND window);
std::string ClassOf(HWND window);

// Visible top-level windows of class #32770 belonging to process `pid` (0: this process).
std::vector<HWND> DialogWindows(DWORD pid);
// The first visible top-level window of `pid` with exactly this caption, or nullptr.
HWND FindTopLevel(DWORD pid, const std::string& caption);
HWND WaitForTopLevel(DWORD pid, const std::string& caption, DWORD timeoutMs = 10000);

enum class BoxIcon { kNone, kStop, kExclamation, kInformation, kQuestion };

struct MessageBoxInfo {
  HWND window = nullptr;
  std::string caption;
  std::string text;
  std::vector<int> buttons;  // IDs of the visible buttons: 1 OK, 2 Cancel, 4 Retry, 6 Yes, 7 No
  BoxIcon icon = BoxIcon::kNone;
};

// True for a message box (as opposed to one of PLYX's own dialogs, which share the class).
bool IsMessageBox(HWND window);
MessageBoxInfo DescribeMessageBox(HWND box);
// Waits for a message box of `pid` whose text contains `textPart` ("" matches any).
HWND WaitForMessageBox(DWORD pid, const std::string& textPart, DWORD timeoutMs = 10000);
// True if no message box of `pid` appears within `timeoutMs`.
bool NoMessageBoxFor(DWORD pid, DWORD timeoutMs);

// Clicks a button by posting BM_CLICK (a sent click on a button that opens a
// modal box would block the caller). With waitGone, waits until `dialog` is gone.
bool PressButton(HWND dialog, int buttonId, bool waitGone = true, DWORD timeoutMs = 10000);
// Answers a message box with one of its buttons and waits until it is gone.
bool AnswerMessageBox(HWND box, int buttonId, DWORD timeoutMs = 10000);

// The control that has the keyboard focus in `window`'s thread.
HWND FocusedControl(HWND window);
// Posts a key press (down and up) to the focused control of `window`'s thread,
// so that the dialog manager sees it as a typed key.
void PostKey(HWND window, UINT virtualKey);

// Answers every message box of `pid` on a background thread while it lives;
// `rule` returns the button ID to press for each box. Keeps what it saw.
class MessageBoxAnswerer {
 public:
  using Rule = std::function<int(const MessageBoxInfo&)>;
  MessageBoxAnswerer(DWORD pid, Rule rule);
  ~MessageBoxAnswerer();
  MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
  MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

  std::vector<MessageBoxInfo> Seen() const;
  // Waits until at least `count` boxes have been answered.
  bool WaitForCount(size_t count, DWORD timeoutMs = 10000) const;

 private:
  void Run();
  DWORD pid_;
  Rule rule_;
  mutable std::mutex mutex_;
  std::vector<MessageBoxInfo> seen_;
  HANDLE stop_;
  std::thread thread_;
};

// The icon of a message box told by its pixels on screen. Under Wine each
// process loads its own copy of a system icon, so the handle comparison of
// DescribeMessageBox only works inside one process; this works across them.
// kNone while the box has no icon or is not painted yet.
BoxIcon IconKindOnScreen(HWND box);
