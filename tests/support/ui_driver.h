// Drives windows as a person would, in this process or another (plyx.exe in e2e).
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "app_constants.h"

constexpr const char* kPlyxTitle = kAppTitle;

// Polls `condition` until `timeoutMs` has passed, serving this thread's own windows meanwhile.
inline bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = 10000) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    if (condition()) return true;
    if (GetTickCount64() >= deadline) return false;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
}

// SendMessage that gives up after 10 s on a hung window: the result, or -1.
inline LRESULT SendTo(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 10000, &result) ? result : -1;
}

// WM_GETTEXT, which works across processes where GetWindowText gives "".
inline std::string TextOf(HWND window) {
  char text[4096] = {};
  const LRESULT length = SendTo(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return std::string(text, std::clamp<LRESULT>(length, 0, sizeof text - 1));
}

inline std::string ClassOf(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

inline BOOL CALLBACK CollectWindow(HWND window, LPARAM windows) {
  return reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window), TRUE;
}

// The top-level windows of process `pid` (0: this one), visible or not.
inline std::vector<HWND> WindowsOf(DWORD pid) {
  std::vector<HWND> all, found;
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&all));
  for (HWND window : all) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == (pid == 0 ? GetCurrentProcessId() : pid)) found.push_back(window);
  }
  return found;
}

// The first visible one that `match` accepts (or that bears `caption`); nullptr after `timeoutMs`.
inline HWND WaitForWindow(DWORD pid, const std::function<bool(HWND)>& match, DWORD timeoutMs = 10000) {
  HWND found = nullptr;
  WaitFor(
      [&] {
        for (HWND window : WindowsOf(pid)) {
          if (IsWindowVisible(window) && match(window)) return (found = window) != nullptr;
        }
        return false;
      },
      timeoutMs);
  return found;
}
inline HWND WaitForWindow(DWORD pid, const std::string& caption, DWORD timeoutMs = 10000) {
  return WaitForWindow(
      pid, [&](HWND window) { return TextOf(window) == caption; }, timeoutMs);
}

struct MessageBoxInfo {
  HWND window = nullptr;  // nullptr: no box came
  HWND owner = nullptr;
  std::string caption;
  std::string text;
  std::vector<int> buttons;  // 1 OK, 2 Cancel, 4 Retry, 6 Yes, 7 No
};

namespace box_detail {
constexpr int kText = 0xFFFF;

// Its children are buttons 1-11, the icon (20 on Windows, 0x440 under Wine)
// and the text; PLYX's dialogs have other IDs besides (their labels share -1).
inline bool IsMessageBox(HWND window) {
  if (ClassOf(window) != "#32770" || GetDlgItem(window, kText) == nullptr) return false;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    const int id = GetDlgCtrlID(child) & 0xFFFF;
    if (!(id >= 1 && id <= 11) && id != 20 && id != 0x440 && id != kText) return false;
  }
  return true;
}

inline MessageBoxInfo DescribeMessageBox(HWND box) {
  MessageBoxInfo info{box, GetWindow(box, GW_OWNER), TextOf(box), TextOf(GetDlgItem(box, kText)), {}};
  // By style, not IsWindowVisible: a box being activated is not shown yet.
  for (int id = 1; id <= 11; ++id) {
    if (GetWindowLongA(GetDlgItem(box, id), GWL_STYLE) & WS_VISIBLE) info.buttons.push_back(id);
  }
  return info;
}
}  // namespace box_detail

// "[caption | text] owned by HWND with buttons 1 2", or "no box".
inline std::string Describe(const MessageBoxInfo& box) {
  if (box.window == nullptr && box.caption.empty()) return "no box";
  std::ostringstream text;
  text << "[" << box.caption << " | " << box.text << "] owned by " << box.owner << " with buttons";
  for (int id : box.buttons) text << " " << id;
  return text.str();
}

// The first box of `pid` whose text holds `textPart`, once there is one.
inline MessageBoxInfo WaitForMessageBox(DWORD pid, const std::string& textPart = "", DWORD timeoutMs = 15000) {
  HWND box = WaitForWindow(
      pid,
      [&](HWND window) {
        return box_detail::IsMessageBox(window) &&
               TextOf(GetDlgItem(window, box_detail::kText)).find(textPart) != std::string::npos;
      },
      timeoutMs);
  return box ? box_detail::DescribeMessageBox(box) : MessageBoxInfo();
}

// The box bears `caption` and `text`, has `owner` and exactly `buttons`.
inline ::testing::AssertionResult IsBox(const MessageBoxInfo& box, const std::string& caption, const std::string& text,
                                        HWND owner, const std::vector<int>& buttons) {
  if (box.window && box.caption == caption && box.text == text && box.owner == owner && box.buttons == buttons) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "saw " << Describe(box) << "\nnot "
                                       << Describe({nullptr, owner, caption, text, buttons});
}

// Posted BM_CLICK: a sent click on a button that opens a modal box would block the caller.
inline void Click(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }

// Clicks a box's (or dialog's) button and waits until it is gone.
inline ::testing::AssertionResult AnswerBox(const MessageBoxInfo& box, int button) {
  HWND pressed = GetDlgItem(box.window, button);
  if (pressed != nullptr && (Click(pressed), WaitFor([&] { return !IsWindowVisible(box.window); }))) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "button " << button << " did not close " << Describe(box);
}
inline ::testing::AssertionResult AnswerBox(HWND dialog, int button) {
  return AnswerBox(MessageBoxInfo{dialog, nullptr, TextOf(dialog), "", {}}, button);
}

// Moves the mouse onto the centre of `control`, as a hand does.
inline void HoverOver(HWND control) {
  RECT place{};
  GetWindowRect(control, &place);
  SetCursorPos((place.left + place.right) / 2, (place.top + place.bottom) / 2);
}

// A real click (SendInput): unlike a posted BM_CLICK, the focus moves on button-down, before it acts.
inline void ClickAtCentre(HWND control) {
  HoverOver(control);
  INPUT press[2] = {};
  press[0].type = press[1].type = INPUT_MOUSE;
  press[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  press[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, press, sizeof press[0]);
}

inline HWND FocusedControl(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

// `control`, or the edit field of a combo box, has the focus.
inline bool HasFocus(HWND control) {
  HWND focus = FocusedControl(control);
  return control != nullptr && focus != nullptr && (focus == control || GetParent(focus) == control);
}

inline bool WholeTextSelected(HWND control) {
  const LRESULT range = SendTo(control, ClassOf(control) == "ComboBox" ? CB_GETEDITSEL : EM_GETSEL);
  return LOWORD(range) == 0 && HIWORD(range) == TextOf(control).size();
}

// A key press posted to the focused control, so that the dialog manager sees it typed.
inline void PostKey(HWND window, UINT virtualKey) {
  HWND target = FocusedControl(window) ? FocusedControl(window) : window;
  const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC)) << 16;
  PostMessageA(target, WM_KEYDOWN, virtualKey, 1 | scan);
  PostMessageA(target, WM_KEYUP, virtualKey, 1 | scan | (3u << 30));
}

// Held for GetKeyState, unlike a posted key; Wine gives it to the foreground thread, not the X focus.
inline void PressKey(UINT virtualKey) {
  INPUT press[2] = {};
  press[0].type = press[1].type = INPUT_KEYBOARD;
  press[0].ki.wVk = press[1].ki.wVk = static_cast<WORD>(virtualKey);
  press[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, press, sizeof press[0]);
}

// A key on the X server's keyboard: only the X focus gets it, some time later (Wine starts the
// Linux program, but its handle never signals an end).
inline bool PressRealKey(const std::string& keyName) {
  std::string line = "Z:\\usr\\bin\\xdotool key " + keyName;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) return false;
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return true;
}

// Answers this thread's boxes while it lives: the scripted buttons in order, then each box's first.
class BoxAnswerer {
 public:
  explicit BoxAnswerer(std::vector<int> answers = {})
      : answers(std::move(answers)), hook(SetWindowsHookExA(WH_CBT, OnCbt, nullptr, GetCurrentThreadId())) {
    Active() = this;
  }
  ~BoxAnswerer() {
    UnhookWindowsHookEx(hook);
    Active() = nullptr;
  }
  BoxAnswerer(const BoxAnswerer&) = delete;
  BoxAnswerer& operator=(const BoxAnswerer&) = delete;
  // Every box answered so far, in order.
  const std::vector<MessageBoxInfo>& Seen() const { return seen; }

 private:
  static BoxAnswerer*& Active() {
    static thread_local BoxAnswerer* active = nullptr;
    return active;
  }
  static LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam) {
    const auto box = reinterpret_cast<HWND>(wParam);
    BoxAnswerer* self = Active();
    if (code != HCBT_ACTIVATE || self == nullptr || !box_detail::IsMessageBox(box)) {
      return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    // A box activated again before it ends has its answer already.
    if (self->seen.empty() || self->seen.back().window != box) {
      self->seen.push_back(box_detail::DescribeMessageBox(box));
      const std::vector<int>& buttons = self->seen.back().buttons;
      const size_t n = self->seen.size();
      const int button = n <= self->answers.size() ? self->answers[n - 1] : buttons.empty() ? IDOK : buttons[0];
      // Ends the box from its own modal loop, as its button would.
      PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }

  std::vector<int> answers;
  std::vector<MessageBoxInfo> seen;
  HHOOK hook;
};
