#include "ui_driver.h"

#include <algorithm>
#include <sstream>

namespace {

constexpr int kBoxText = 0xFFFF;
thread_local BoxAnswerer* activeAnswerer = nullptr;

BOOL CALLBACK Collect(HWND window, LPARAM windows) {
  reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
  return TRUE;
}

HWND FocusedControl(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

// Its children are buttons 1-11, the icon (20 on Windows, 0x440 under Wine)
// and the text; PLYX's dialogs have other IDs besides (their labels share -1).
bool IsMessageBox(HWND window) {
  if (ClassOf(window) != "#32770" || GetDlgItem(window, kBoxText) == nullptr) return false;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    const int id = GetDlgCtrlID(child) & 0xFFFF;
    if (!(id >= 1 && id <= 11) && id != 20 && id != 0x440 && id != kBoxText) return false;
  }
  return true;
}

MessageBoxInfo DescribeMessageBox(HWND box) {
  MessageBoxInfo info{box, GetWindow(box, GW_OWNER), TextOf(box), TextOf(GetDlgItem(box, kBoxText)), {}};
  // By style, not IsWindowVisible: a box being activated is not shown yet.
  for (int id = 1; id <= 11; ++id) {
    if (GetWindowLongA(GetDlgItem(box, id), GWL_STYLE) & WS_VISIBLE) info.buttons.push_back(id);
  }
  return info;
}

}  // namespace

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
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

LRESULT SendTo(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 10000, &result) ? result : -1;
}

std::string TextOf(HWND window) {
  char text[4096] = {};
  const LRESULT length = SendTo(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return std::string(text, std::clamp<LRESULT>(length, 0, sizeof text - 1));
}

std::string ClassOf(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::vector<HWND> WindowsOf(DWORD pid) {
  std::vector<HWND> all, found;
  EnumWindows(Collect, reinterpret_cast<LPARAM>(&all));
  for (HWND window : all) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == (pid == 0 ? GetCurrentProcessId() : pid)) found.push_back(window);
  }
  return found;
}

HWND WaitForWindow(DWORD pid, const std::function<bool(HWND)>& match, DWORD timeoutMs) {
  HWND found = nullptr;
  WaitFor([&] {
    for (HWND window : WindowsOf(pid)) {
      if (IsWindowVisible(window) && match(window)) return (found = window) != nullptr;
    }
    return false;
  }, timeoutMs);
  return found;
}

MessageBoxInfo WaitForMessageBox(DWORD pid, const std::string& textPart, DWORD timeoutMs) {
  HWND box = WaitForWindow(pid, [&](HWND window) {
    return IsMessageBox(window) && TextOf(GetDlgItem(window, kBoxText)).find(textPart) != std::string::npos;
  }, timeoutMs);
  return box ? DescribeMessageBox(box) : MessageBoxInfo();
}

std::string Describe(const MessageBoxInfo& box) {
  if (box.window == nullptr && box.caption.empty()) return "no box";
  std::ostringstream text;
  text << "[" << box.caption << " | " << box.text << "] owned by " << box.owner << " with buttons";
  for (int id : box.buttons) text << " " << id;
  return text.str();
}

::testing::AssertionResult IsBox(const MessageBoxInfo& box, const std::string& caption, const std::string& text,
                                 HWND owner, const std::vector<int>& buttons) {
  if (box.window && box.caption == caption && box.text == text && box.owner == owner && box.buttons == buttons) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "saw " << Describe(box) << "\nnot "
                                       << Describe({nullptr, owner, caption, text, buttons});
}

bool AnswerMessageBox(HWND box, int button, DWORD timeoutMs) {
  if (GetDlgItem(box, button) == nullptr) return false;
  Click(GetDlgItem(box, button));
  return WaitFor([&] { return !IsWindow(box) || !IsWindowVisible(box); }, timeoutMs);
}

::testing::AssertionResult AnswerBox(const MessageBoxInfo& box, int button) {
  if (AnswerMessageBox(box.window, button)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "button " << button << " did not close " << Describe(box);
}

void PressKey(UINT virtualKey) {
  INPUT press[2] = {};
  press[0].type = press[1].type = INPUT_KEYBOARD;
  press[0].ki.wVk = press[1].ki.wVk = static_cast<WORD>(virtualKey);
  press[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, press, sizeof press[0]);
}

void Click(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }

void HoverOver(HWND control) {
  RECT place{};
  GetWindowRect(control, &place);
  SetCursorPos((place.left + place.right) / 2, (place.top + place.bottom) / 2);
}

void ClickAtCentre(HWND control) {
  HoverOver(control);
  INPUT press[2] = {};
  press[0].type = press[1].type = INPUT_MOUSE;
  press[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  press[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, press, sizeof press[0]);
}

bool HasFocus(HWND control) {
  HWND focus = FocusedControl(control);
  return control != nullptr && focus != nullptr && (focus == control || GetParent(focus) == control);
}

bool WholeTextSelected(HWND control) {
  const LRESULT range = SendTo(control, ClassOf(control) == "ComboBox" ? CB_GETEDITSEL : EM_GETSEL);
  return LOWORD(range) == 0 && HIWORD(range) == TextOf(control).size();
}

void PostKey(HWND window, UINT virtualKey) {
  HWND target = FocusedControl(window) ? FocusedControl(window) : window;
  const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC)) << 16;
  PostMessageA(target, WM_KEYDOWN, virtualKey, 1 | scan);
  PostMessageA(target, WM_KEYUP, virtualKey, 1 | scan | (3u << 30));
}

bool PressRealKey(const std::string& keyName) {
  // Wine starts a Linux program as it starts its own, but its process handle
  // never signals an end: the caller waits for the key's effect instead.
  std::string line = "Z:\\usr\\bin\\xdotool key " + keyName;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) return false;
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return true;
}

BoxAnswerer::BoxAnswerer(std::vector<int> answers)
    : answers(std::move(answers)), hook(SetWindowsHookExA(WH_CBT, OnCbt, nullptr, GetCurrentThreadId())) {
  activeAnswerer = this;
}

BoxAnswerer::~BoxAnswerer() {
  UnhookWindowsHookEx(hook);
  activeAnswerer = nullptr;
}

LRESULT CALLBACK BoxAnswerer::OnCbt(int code, WPARAM wParam, LPARAM lParam) {
  const auto box = reinterpret_cast<HWND>(wParam);
  BoxAnswerer* self = activeAnswerer;
  if (code != HCBT_ACTIVATE || self == nullptr || !IsMessageBox(box)) return CallNextHookEx(nullptr, code, wParam, lParam);
  // A box activated again before it ends has its answer already.
  if (self->seen.empty() || self->seen.back().window != box) {
    self->seen.push_back(DescribeMessageBox(box));
    const std::vector<int>& buttons = self->seen.back().buttons;
    const size_t n = self->seen.size();
    const int button = n <= self->answers.size() ? self->answers[n - 1] : buttons.empty() ? IDOK : buttons[0];
    // Ends the box from its own modal loop, as its button would.
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
