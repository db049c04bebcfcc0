#include "ui_driver.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Control IDs of a message box: buttons 1-11, Windows' icon 20, Wine's icon
// 0x440 and the text 0xFFFF. PLYX's dialogs have other IDs besides.
constexpr int kBoxText = 0xFFFF;
constexpr int kWineBoxIcon = 0x440;
constexpr int kWindowsBoxIcon = 20;

bool IsMessageBoxId(int id) {
  return (id >= 1 && id <= 11) || id == kWindowsBoxIcon || id == kWineBoxIcon || id == kBoxText;
}

struct EnumState {
  DWORD pid;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectDialogs(HWND window, LPARAM param) {
  auto* state = reinterpret_cast<EnumState*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == state->pid && IsWindowVisible(window) && ClassOf(window) == "#32770") {
    state->found.push_back(window);
  }
  return TRUE;
}

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM param) {
  auto* state = reinterpret_cast<EnumState*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == state->pid && IsWindowVisible(window)) state->found.push_back(window);
  return TRUE;
}

DWORD EffectivePid(DWORD pid) { return pid == 0 ? GetCurrentProcessId() : pid; }

}  // namespace

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    if (condition()) return true;
    if (GetTickCount64() >= deadline) return false;
    // Keep this thread's own windows alive while it polls.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
}

std::string TextOf(HWND window) {
  char buffer[4096] = {};
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer),
                           SMTO_ABORTIFHUNG, 5000, &length)) {
    return std::string();
  }
  return std::string(buffer, std::min<size_t>(length, sizeof buffer - 1));
}

std::string ClassOf(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::vector<HWND> DialogWindows(DWORD pid) {
  EnumState state{EffectivePid(pid), {}};
  EnumWindows(CollectDialogs, reinterpret_cast<LPARAM>(&state));
  return state.found;
}

HWND FindTopLevel(DWORD pid, const std::string& caption) {
  EnumState state{EffectivePid(pid), {}};
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&state));
  for (HWND window : state.found) {
    if (TextOf(window) == caption) return window;
  }
  return nullptr;
}

HWND WaitForTopLevel(DWORD pid, const std::string& caption, DWORD timeoutMs) {
  HWND found = nullptr;
  WaitFor([&] { return (found = FindTopLevel(pid, caption)) != nullptr; }, timeoutMs);
  return found;
}

bool IsMessageBox(HWND window) {
  if (ClassOf(window) != "#32770" || GetDlgItem(window, kBoxText) == nullptr) return false;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsMessageBoxId(GetDlgCtrlID(child) & 0xFFFF)) return false;
  }
  return true;
}

static BoxIcon IconKind(HWND box) {
  HWND iconControl = GetDlgItem(box, kWineBoxIcon);
  if (!iconControl) iconControl = GetDlgItem(box, kWindowsBoxIcon);
  if (!iconControl || !IsWindowVisible(iconControl)) return BoxIcon::kNone;
  auto icon = reinterpret_cast<HICON>(SendMessageA(iconControl, STM_GETICON, 0, 0));
  if (!icon) return BoxIcon::kNone;
  // System icons are shared handles, the same in every process.
  if (icon == LoadIcon(nullptr, IDI_HAND)) return BoxIcon::kStop;
  if (icon == LoadIcon(nullptr, IDI_EXCLAMATION)) return BoxIcon::kExclamation;
  if (icon == LoadIcon(nullptr, IDI_ASTERISK)) return BoxIcon::kInformation;
  if (icon == LoadIcon(nullptr, IDI_QUESTION)) return BoxIcon::kQuestion;
  return BoxIcon::kNone;
}

MessageBoxInfo DescribeMessageBox(HWND box) {
  MessageBoxInfo info;
  info.window = box;
  info.caption = TextOf(box);
  info.text = TextOf(GetDlgItem(box, kBoxText));
  for (int id = 1; id <= 11; ++id) {
    HWND button = GetDlgItem(box, id);
    if (button && IsWindowVisible(button)) info.buttons.push_back(id);
  }
  info.icon = IconKind(box);
  return info;
}

HWND WaitForMessageBox(DWORD pid, const std::string& textPart, DWORD timeoutMs) {
  HWND found = nullptr;
  WaitFor(
      [&] {
        for (HWND window : DialogWindows(pid)) {
          if (IsMessageBox(window) &&
              TextOf(GetDlgItem(window, kBoxText)).find(textPart) != std::string::npos) {
            found = window;
            return true;
          }
        }
        return false;
      },
      timeoutMs);
  return found;
}

bool NoMessageBoxFor(DWORD pid, DWORD timeoutMs) {
  return !WaitFor(
      [&] {
        for (HWND window : DialogWindows(pid)) {
          if (IsMessageBox(window)) return true;
        }
        return false;
      },
      timeoutMs);
}

bool PressButton(HWND dialog, int buttonId, bool waitGone, DWORD timeoutMs) {
  HWND button = GetDlgItem(dialog, buttonId);
  if (!button) return false;
  PostMessageA(button, BM_CLICK, 0, 0);
  if (!waitGone) return true;
  return WaitFor([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, timeoutMs);
}

bool AnswerMessageBox(HWND box, int buttonId, DWORD timeoutMs) {
  return PressButton(box, buttonId, true, timeoutMs);
}

HWND FocusedControl(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

void PostKey(HWND window, UINT virtualKey) {
  HWND target = FocusedControl(window);
  if (!target) target = window;
  const UINT scan = MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC);
  PostMessageA(target, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
  PostMessageA(target, WM_KEYUP, virtualKey, 1 | (scan << 16) | (1u << 30) | (1u << 31));
}

MessageBoxAnswerer::MessageBoxAnswerer(DWORD pid, Rule rule)
    : pid_(pid), rule_(std::move(rule)), stop_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
  thread_ = std::thread([this] { Run(); });
}

MessageBoxAnswerer::~MessageBoxAnswerer() {
  SetEvent(stop_);
  thread_.join();
  CloseHandle(stop_);
}

void MessageBoxAnswerer::Run() {
  std::vector<HWND> answered;
  while (WaitForSingleObject(stop_, 20) == WAIT_TIMEOUT) {
    for (HWND window : DialogWindows(pid_)) {
      if (!IsMessageBox(window)) continue;
      if (std::find(answered.begin(), answered.end(), window) != answered.end() &&
          IsWindow(window)) {
        continue;  // clicked already, still closing
      }
      MessageBoxInfo info = DescribeMessageBox(window);
      const int button = rule_(info);
      {
        std::lock_guard<std::mutex> lock(mutex_);
        seen_.push_back(info);
      }
      answered.push_back(window);
      PostMessageA(GetDlgItem(window, button), BM_CLICK, 0, 0);
    }
    answered.erase(std::remove_if(answered.begin(), answered.end(),
                                  [](HWND w) { return !IsWindow(w); }),
                   answered.end());
  }
}

std::vector<MessageBoxInfo> MessageBoxAnswerer::Seen() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return seen_;
}

bool MessageBoxAnswerer::WaitForCount(size_t count, DWORD timeoutMs) const {
  return WaitFor([&] { return Seen().size() >= count; }, timeoutMs);
}

BoxIcon IconKindOnScreen(HWND box) {
  HWND iconControl = GetDlgItem(box, kWineBoxIcon);
  if (!iconControl) iconControl = GetDlgItem(box, kWindowsBoxIcon);
  if (!iconControl || !IsWindowVisible(iconControl) ||
      !SendMessageA(iconControl, STM_GETICON, 0, 0)) {
    return BoxIcon::kNone;
  }
  const int size = GetSystemMetrics(SM_CXICON);
  RECT rect{};
  GetWindowRect(iconControl, &rect);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = size;
  info.bmiHeader.biHeight = size;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  const size_t bytes = static_cast<size_t>(size) * size * 4;

  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  void* shownBits = nullptr;
  void* drawnBits = nullptr;
  HBITMAP shown = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &shownBits, nullptr, 0);
  HBITMAP drawn = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &drawnBits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, shown);
  BitBlt(memory, 0, 0, size, size, screen, rect.left, rect.top, SRCCOPY);
  // The icon's corners are transparent, so they show the box's background.
  const COLORREF background = GetPixel(memory, 0, 0);
  SelectObject(memory, drawn);

  // Blending may round a channel differently, so the closest drawing wins if
  // nearly every pixel matches it.
  BoxIcon kind = BoxIcon::kNone;
  size_t fewestMismatches = static_cast<size_t>(size) * size / 20 + 1;
  const struct {
    LPCSTR id;
    BoxIcon kind;
  } candidates[] = {{IDI_HAND, BoxIcon::kStop},
                    {IDI_EXCLAMATION, BoxIcon::kExclamation},
                    {IDI_ASTERISK, BoxIcon::kInformation},
                    {IDI_QUESTION, BoxIcon::kQuestion}};
  for (const auto& candidate : candidates) {
    HBRUSH brush = CreateSolidBrush(background);
    RECT all{0, 0, size, size};
    FillRect(memory, &all, brush);
    DeleteObject(brush);
    DrawIconEx(memory, 0, 0, LoadIconA(nullptr, candidate.id), size, size, 0, nullptr, DI_NORMAL);
    GdiFlush();
    const auto* a = static_cast<const unsigned char*>(shownBits);
    const auto* b = static_cast<const unsigned char*>(drawnBits);
    size_t mismatches = 0;
    for (size_t i = 0; i < bytes; i += 4) {
      for (size_t c = 0; c < 3; ++c) {
        if (std::abs(int(a[i + c]) - int(b[i + c])) > 8) {
          ++mismatches;
          break;
        }
      }
    }
    if (mismatches < fewestMismatches) {
      fewestMismatches = mismatches;
      kind = candidate.kind;
    }
  }
  SelectObject(memory, old);
  DeleteObject(shown);
  DeleteObject(drawn);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return kind;
}
