#include "tooltips.h"

#include <new>

#include "callback_guard.h"
#include "message_box.h"
#include "resource_ids.h"
#include "screen.h"

static_assert(kToolRecordSize == (sizeof(void*) == 4 ? 44 : 64), "the form with lParam");

ToolTipManager* MainToolTips = nullptr;

namespace {

// The hook reaches its manager only through this.
ToolTipManager* currentManager = nullptr;

struct MainTool {
  int control;
  UINT flags;
  UINT stringId;
};

// The texts sit beside their controls; the combo and edit boxes are wide, so
// their tips are centred below them.
constexpr MainTool kMainTools[] = {
    {IDC_SOURCE_FILE, TTF_CENTERTIP, IDS_TIP_SOURCE_FILE},
    {IDC_BROWSE_FILE, 0, IDS_TIP_BROWSE_FILE},
    {IDC_DEST_FOLDER, TTF_CENTERTIP, IDS_TIP_DEST_FOLDER},
    {IDC_BROWSE_FOLDER, 0, IDS_TIP_BROWSE_FOLDER},
    {IDC_SIZE_LIST, TTF_CENTERTIP, IDS_TIP_SIZE_LIST},
    {IDC_SPLIT, 0, IDS_TIP_SPLIT},
    {IDC_CUSTOMIZE, 0, IDS_TIP_CUSTOMIZE},
    {IDC_CLOSE, 0, IDS_TIP_CLOSE},
    {IDC_ABOUT, 0, IDS_TIP_ABOUT},
    {IDC_HELP_BUTTON, 0, IDS_TIP_HELP},
    {IDC_SPLIT_SIZE_TEXT, 0, IDS_TIP_SPLIT_SIZE},
    {IDC_PART_COUNT_TEXT, 0, IDS_TIP_PART_COUNT},
    {IDC_FILE_SIZE_TEXT, 0, IDS_TIP_FILE_SIZE},
};
}  // namespace

ToolTipManager::ToolTipManager(HWND parent) {
  if (parent == nullptr) return;
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_BAR_CLASSES};
  InitCommonControlsEx(&classes);
  this->parent = parent;
  currentManager = this;
  // TTS_ALWAYSTIP: tips also while the dialog is not active. Without
  // TTS_NOPREFIX the tooltip strips the ampersands of "settings & behaviour".
  toolTip =
      CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, TOOLTIPS_CLASSA, nullptr, WS_POPUP | WS_BORDER | TTS_ALWAYSTIP,
                      0, 0, 0, 0, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (toolTip == nullptr) {
    ShowMessage(parent, MessageId::kToolTipFailure);
    return;
  }
  hook = SetWindowsHookExA(WH_GETMESSAGE, ToolTipHookProc, nullptr, GetCurrentThreadId());
}

ToolTipManager::~ToolTipManager() {
  if (hook != nullptr) UnhookWindowsHookEx(hook);
  if (currentManager == this) currentManager = nullptr;
}

void ToolTipManager::Add(HWND control, UINT flags, HINSTANCE instance, char* text) {
  TTTOOLINFOA tool{};
  tool.cbSize = kToolRecordSize;
  tool.uFlags = flags | TTF_IDISHWND;
  tool.hwnd = parent;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.hinst = instance;
  tool.lpszText = text;
  SendMessageA(toolTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void ToolTipManager::AddTool(HWND control, const char* text) {
  // The tooltip copies the text; the record's field is not const.
  Add(control, 0, nullptr, const_cast<char*>(text));
}

void ToolTipManager::AddResourceTool(HWND control, UINT extraFlags, UINT stringId) {
  Add(control, extraFlags, GetModuleHandleA(nullptr), MAKEINTRESOURCEA(stringId));
}

void ToolTipManager::SetMaxTipWidth(int width) { SendMessageA(toolTip, TTM_SETMAXTIPWIDTH, 0, width); }

// The tools are not subclassed, so these relayed moves are all the mouse input
// the tooltip sees.
LRESULT CALLBACK ToolTipManager::ToolTipHookProc(int code, WPARAM removal, LPARAM message) {
  return GuardCallback(LRESULT{0}, [&]() -> LRESULT {
    ToolTipManager* manager = currentManager;
    HHOOK hook = manager != nullptr ? manager->hook : nullptr;
    if (code < 0 || manager == nullptr) return CallNextHookEx(hook, code, removal, message);
    const MSG* msg = reinterpret_cast<const MSG*>(message);
    if (msg->message == WM_MOUSEMOVE && IsChild(manager->parent, msg->hwnd)) {
      SendMessageA(manager->toolTip, TTM_RELAYEVENT, 0, message);
    }
    return CallNextHookEx(hook, code, removal, message);
  });
}

void CreateMainToolTips(HWND mainDialog) {
  if (MainToolTips != nullptr) return;
  MainToolTips = new (std::nothrow) ToolTipManager(mainDialog);
  if (MainToolTips == nullptr) return;
  for (const MainTool& tool : kMainTools) {
    MainToolTips->AddResourceTool(GetDlgItem(mainDialog, tool.control), tool.flags, tool.stringId);
  }
  MainToolTips->SetMaxTipWidth(ScreenPixels(kMainTipWidth));
}

void DestroyMainToolTips() {
  delete MainToolTips;
  MainToolTips = nullptr;
}
