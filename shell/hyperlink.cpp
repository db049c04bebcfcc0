#include "hyperlink.h"

#include <shellapi.h>

#include <cstdio>
#include <string>

#include "app_constants.h"
#include "callback_guard.h"
#include "holders.h"
#include "message_box.h"

namespace {

constexpr char kClassName[] = "HyperLinkWnd";
constexpr char kDefaultFace[] = "MS Sans Serif";
constexpr std::int32_t kDefaultPointSize = 8;
constexpr std::int32_t kDefaultWeight = 400;
// Windows 95 has no hand cursor; its help viewer carries one.
constexpr WORD kHelpViewerHandCursor = 106;

COLORREF OrDefault(COLORREF colour, COLORREF fallback) { return colour != 0 ? colour : fallback; }

// GDI's A functions read their bytes in the system's code page even where the
// process's ANSI code page is UTF-8 ("Use UTF-8 code pages in Windows apps"),
// so the text is measured and drawn in the form the process's code page gives
// it. Bytes that are no text there still show, as replacement characters.
std::wstring Shown(const char* text) {
  DWORD flags = MB_ERR_INVALID_CHARS;
  int length = MultiByteToWideChar(CP_ACP, flags, text, -1, nullptr, 0);
  if (length <= 0) length = MultiByteToWideChar(CP_ACP, flags = 0, text, -1, nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, flags, text, -1, &wide[0], length);
  wide.resize(static_cast<std::size_t>(length - 1));  // the terminator
  return wide;
}

void RegisterLinkClass(WNDPROC procedure, HCURSOR cursor) {
  WNDCLASSEXA linkClass{};
  linkClass.cbSize = sizeof linkClass;
  linkClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  linkClass.hInstance = GetModuleHandleA(nullptr);
  linkClass.hCursor = cursor;
  linkClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  linkClass.lpszClassName = kClassName;
  linkClass.lpfnWndProc = procedure;
  // Fails from the second control on, when the class exists already.
  RegisterClassExA(&linkClass);
}

}  // namespace

HyperLink::HyperLink(HWND parent, HyperLinkParams params) {
  if (parent == nullptr || params.address == nullptr) return;
  this->parent = parent;
  address = params.address;
  text = params.text != nullptr && params.text[0] != '\0' ? params.text : params.address;
  normalColour = OrDefault(params.normalColour, kLinkNormalColour);
  visitedColour = OrDefault(params.visitedColour, kLinkVisitedColour);
  hoverColour = OrDefault(params.hoverColour, kLinkHoverColour);
  faceName = params.faceName != nullptr ? params.faceName : kDefaultFace;
  pointSize = params.faceName != nullptr && params.pointSize >= 1 ? params.pointSize : kDefaultPointSize;
  weight = params.weight >= 1 && params.weight <= 900 ? params.weight : kDefaultWeight;
  const std::uint32_t style = weight == params.weight ? params.style : 0;

  WindowDc screen(nullptr);
  const int height = -(pointSize * GetDeviceCaps(screen.Get(), LOGPIXELSY)) / 72;
  font = CreateFontA(height, 0, 0, 0, weight, (style & kLinkItalic) != 0, (style & kLinkUnderline) != 0,
                     (style & kLinkStrikeOut) != 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                     PROOF_QUALITY, VARIABLE_PITCH | FF_SWISS, faceName);
  SIZE size{};
  {
    const SelectedObject selected(screen.Get(), font);
    const std::wstring shown = Shown(text);
    GetTextExtentPoint32W(screen.Get(), shown.c_str(), static_cast<int>(shown.size()), &size);
  }

  RegisterLinkClass(HyperLinkWndProc, LoadLinkCursor());
  window = CreateWindowExA(0, kClassName, "", WS_CHILD, params.x, params.y, size.cx, size.cy, parent, nullptr,
                           GetModuleHandleA(nullptr), this);
  if (window == nullptr) {
    ShowMessage(parent, MessageId::kLinkFailure);
    return;
  }
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
}

HyperLink::~HyperLink() {
  // The window outlives this object until its parent goes (a dialog ends
  // after its procedure returns): later messages must not find the object.
  if (window != nullptr && IsWindow(window)) {
    KillTimer(window, kLinkTimerId);
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
  }
  if (cursorModule != nullptr) FreeLibrary(cursorModule);
  if (font != nullptr) DeleteObject(font);
}

int HyperLink::GetWindowsFamily() const {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  if (!GetVersionExA(&version)) return 0;
  switch (version.dwPlatformId) {
    case VER_PLATFORM_WIN32s:
      return 1;
    case VER_PLATFORM_WIN32_WINDOWS:
      if (version.dwMajorVersion != 4 || version.dwMinorVersion >= 90) return 8;
      return version.dwMinorVersion == 0 ? 2 : 4;
    case VER_PLATFORM_WIN32_NT:
      return 16;
    default:
      return 0;
  }
}

HCURSOR HyperLink::LoadLinkCursor() {
  if (GetWindowsFamily() != 2) return LoadCursorA(nullptr, MAKEINTRESOURCEA(32649) /* IDC_HAND */);
  char folder[kPathBufferSize], path[kPathBufferSize];
  const UINT length = GetWindowsDirectoryA(folder, sizeof folder);
  // Too long for the buffer: the call gives the size it would need instead.
  if (length == 0 || length >= sizeof folder) return nullptr;
  const int written = std::snprintf(path, sizeof path, "%s\\winhlp32.exe", folder);
  if (written < 0 || written >= static_cast<int>(sizeof path)) return nullptr;
  cursorModule = LoadLibraryA(path);
  return cursorModule != nullptr ? LoadCursorA(cursorModule, MAKEINTRESOURCEA(kHelpViewerHandCursor)) : nullptr;
}

void HyperLink::Paint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, hover ? hoverColour : visited ? visitedColour : normalColour);
  {
    const SelectedObject selected(dc, font);
    RECT client;
    GetClientRect(window, &client);
    const std::wstring shown = Shown(text);
    DrawTextW(dc, shown.c_str(), static_cast<int>(shown.size()), &client, DT_CENTER | DT_VCENTER);
  }
  EndPaint(window, &paint);
}

// The mouse gives no leave message without TrackMouseEvent: a timer watches
// for the cursor leaving instead. The two hover messages are repaint requests.
void HyperLink::OnMouseMove() {
  if (hover) return;
  hover = true;
  SetTimer(window, kLinkTimerId, kLinkTimerPeriodMs, nullptr);
  SendMessageA(window, WM_MOUSEHOVER, 0, 0);
}

void HyperLink::OnTimer() {
  POINT cursor;
  GetCursorPos(&cursor);
  ScreenToClient(window, &cursor);
  RECT client;
  GetClientRect(window, &client);
  if (PtInRect(&client, cursor)) return;
  hover = false;
  KillTimer(window, kLinkTimerId);
  SendMessageA(window, WM_MOUSELEAVE, 0, 0);
}

void HyperLink::OnClick() {
  visited = true;
  const auto result = reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", address, nullptr, nullptr, SW_SHOW));
  if (result <= 32) ShowMessage(parent, MessageId::kBrowserFailure);
  InvalidateRect(window, nullptr, TRUE);
}

LRESULT CALLBACK HyperLink::HyperLinkWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return GuardCallback(LRESULT{0}, [&]() -> LRESULT {
    if (message == WM_CREATE) {
      const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
      SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
      return 0;
    }
    auto* link = reinterpret_cast<HyperLink*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (link == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
      case WM_PAINT:
        link->Paint();
        return 0;
      case WM_MOUSEMOVE:
        link->OnMouseMove();
        return 0;
      case WM_TIMER:
        link->OnTimer();
        return 0;
      case WM_MOUSEHOVER:
      case WM_MOUSELEAVE:
        InvalidateRect(window, nullptr, TRUE);
        return 0;
      case WM_LBUTTONUP:
        link->OnClick();
        return 0;
      case WM_CLOSE:
        DestroyWindow(window);
        return 0;
      default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
  });
}
