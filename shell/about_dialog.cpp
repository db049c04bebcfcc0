#include "about_dialog.h"

#include <memory>
#include <new>
#include <optional>

#include "app_constants.h"
#include "callback_guard.h"
#include "help_path.h"
#include "hyperlink.h"
#include "screen.h"
#include "tooltips.h"

namespace {

// What the About box keeps while it is open; one box at a time, modal over the
// main window. It goes with the box's window, however the box ends.
struct AboutBox {
  char address[kPathBufferSize] = {};  // the link keeps a pointer to it
  std::unique_ptr<HyperLink> link;
  std::unique_ptr<ToolTipManager> tips;
};
std::optional<AboutBox> about;

void OnInitDialog(HWND dialog) {
  AboutBox& box = about.emplace();
  // A path that does not fit is no address: the click then reports the failure.
  if (!HelpFilePath(box.address, sizeof box.address)) box.address[0] = '\0';
  // Just below " Visit ", the text block's last line, at every dpi: the block
  // grows with the dialog's units, the link's own font with the screen.
  const auto [x, y] = DialogPixels(dialog, 145, 105);
  const HyperLinkParams params{box.address, kAboutLinkText, 0, 0, 0, "Tahoma", 10, 400, kLinkUnderline, x, y};
  box.link.reset(new (std::nothrow) HyperLink(dialog, params));
  box.tips.reset(new (std::nothrow) ToolTipManager(dialog));
  if (box.link && box.tips && box.link->Window() != nullptr) box.tips->AddTool(box.link->Window(), box.address);
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
        EndDialog(dialog, 0);
        return TRUE;
      case WM_DESTROY:
        // Also when the quit message ended the box's loop with no WM_CLOSE.
        about.reset();
        return FALSE;
      default:
        return FALSE;
    }
  });
}
