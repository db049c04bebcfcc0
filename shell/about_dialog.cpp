#include "about_dialog.h"

#include <new>

#include "app_constants.h"
#include "callback_guard.h"
#include "help_path.h"
#include "hyperlink.h"
#include "tooltips.h"

namespace {

// One About box at a time, modal over the main window.
HyperLink* link = nullptr;
ToolTipManager* tips = nullptr;
// The link keeps a pointer to its address for as long as it lives.
char address[kPathBufferSize];

void OnInitDialog(HWND dialog) {
  // A path that does not fit is no address: the click then reports the failure.
  if (!HelpFilePath(address, sizeof address)) address[0] = '\0';
  const HyperLinkParams params{address, kAboutLinkText, 0, 0, 0, "Tahoma", 10, 400, kLinkUnderline, 145, 105};
  link = new (std::nothrow) HyperLink(dialog, params);
  tips = new (std::nothrow) ToolTipManager(dialog);
  if (link != nullptr && tips != nullptr && link->Window() != nullptr) tips->AddTool(link->Window(), address);
}

void OnClose(HWND dialog) {
  delete link;
  delete tips;
  link = nullptr;
  tips = nullptr;
  EndDialog(dialog, 0);
}

}  // namespace

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  return GuardCallback(INT_PTR{FALSE}, [&]() -> INT_PTR {
    switch (message) {
      case WM_INITDIALOG:
        OnInitDialog(dialog);
        return FALSE;
      case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) SendMessageA(dialog, WM_CLOSE, 0, 0);
        return FALSE;
      case WM_CLOSE:
        OnClose(dialog);
        return TRUE;
      default:
        return FALSE;
    }
  });
}
