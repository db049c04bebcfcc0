// The main window's tooltips, the link control and the preferences sheet, in
// this process with real common controls, fonts and registry.
#include <gtest/gtest.h>
#include <windows.h>

#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "globals.h"
#include "holders.h"
#include "hyperlink.h"
#include "preferences.h"
#include "resource_ids.h"
#include "settings.h"
#include "support/files.h"
#include "support/registry.h"
#include "support/ui_driver.h"
#include "tooltips.h"

namespace {

INT_PTR CALLBACK DoNothingProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
HWND MainTemplate() { return CreateDialogParamA(GetModuleHandleA(nullptr), "PLYX", nullptr, DoNothingProc, 0); }

WNDPROC toolTipProc = nullptr;
std::vector<HWND> relayedTo;
LRESULT CALLBACK RecordRelays(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == TTM_RELAYEVENT) relayedTo.push_back(reinterpret_cast<const MSG*>(lParam)->hwnd);
  return CallWindowProcA(toolTipProc, window, message, wParam, lParam);
}

// Posts to this thread and takes it back as a modal loop does, through the hooks.
void PostAndTake(HWND window, UINT message) {
  PostMessageA(window, message, 0, 0);
  for (MSG msg; PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);) DispatchMessageA(&msg);
}

TEST(MainToolTips, ThirteenToolsInOrderAndOnlyMovesOverControlsRelayed) {
  HWND main = MainTemplate();
  CreateMainToolTips(main);
  HWND tip = MainToolTips->ToolTipWindow();
  EXPECT_EQ(SendMessageA(tip, TTM_GETMAXTIPWIDTH, 0, 0), 150);
  // Each control with its string, loaded by the tooltip from this module.
  std::string tools;
  for (int i = 0; i < SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0); ++i) {
    char text[8];
    TTTOOLINFOA tool{};
    tool.cbSize = kToolRecordSize, tool.lpszText = text;
    SendMessageA(tip, TTM_ENUMTOOLSA, i, reinterpret_cast<LPARAM>(&tool));
    tools += std::to_string(GetDlgCtrlID(reinterpret_cast<HWND>(tool.uId))) + ":" +
             std::to_string(reinterpret_cast<UINT_PTR>(tool.lpszText)) +
             (tool.uFlags == (TTF_IDISHWND | TTF_CENTERTIP) ? "c" : "") +
             (tool.hinst == GetModuleHandleA(nullptr) ? " " : "? ");
  }
  EXPECT_EQ(tools, "1005:1c 1003:2 1022:3c 1004:4 1007:5c 1001:6 1013:7 1008:8 1000:9 1002:10 1011:13 1010:12 1009:11 ");
  toolTipProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(tip, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordRelays)));
  HWND split = GetDlgItem(main, IDC_SPLIT);
  PostAndTake(split, WM_MOUSEMOVE);
  PostAndTake(main, WM_MOUSEMOVE);
  PostAndTake(GetDlgItem(main, IDC_FILE_SIZE_TEXT), WM_RBUTTONDOWN);
  DestroyMainToolTips();
  PostAndTake(split, WM_MOUSEMOVE);  // the hook goes with its manager
  EXPECT_EQ(relayedTo, std::vector<HWND>{split});
  DestroyWindow(main);
}

bool Shows(HWND link, COLORREF colour) {
  WindowDc dc(link);
  RECT client{};
  GetClientRect(link, &client);
  for (int i = 0; i < client.right * client.bottom; ++i) {
    if (GetPixel(dc.Get(), i % client.right, i / client.right) == colour) return true;
  }
  return false;
}

// Font defaults, the size of the shown text, and the colours as drawn: hover
// at once, back once the cursor is away, visited after a click whose browser
// fails, hover winning over visited. Each link is a new one of its class.
TEST(HyperLink, DefaultsSizeAndColoursFollowTheMouseAndTheClick) {
  TempFolder temp;
  HWND parent = MainTemplate();
  const std::string missing = temp / "missing.html";
  HyperLink defaults(parent, {missing.c_str(), "", 0, 0, 0, "Tahoma", 0, 1000, kLinkUnderline, 5, 40});
  HyperLink noFace(parent, {"a", "Link", 0, 0, 0, nullptr, 20, 700, kLinkItalic, 5, 70});
  WindowDc screen(nullptr);
  const int dpi = GetDeviceCaps(screen.Get(), LOGPIXELSY);
  for (auto [link, expected] : {std::pair{&defaults, "Tahoma 400 0 -" + std::to_string(8 * dpi / 72)},
                                {&noFace, "MS Sans Serif 700 1 -" + std::to_string(8 * dpi / 72)}}) {
    LOGFONTA font{};
    GetObjectA(link->Font(), sizeof font, &font);
    EXPECT_EQ(std::string(font.lfFaceName) + " " + std::to_string(font.lfWeight) + " " +
                  std::to_string(font.lfUnderline + font.lfItalic) + " " + std::to_string(font.lfHeight),
              expected);
  }
  SIZE text{};
  SelectObject(screen.Get(), defaults.Font());
  GetTextExtentPoint32A(screen.Get(), missing.c_str(), static_cast<int>(missing.size()), &text);
  RECT client{};
  GetClientRect(defaults.Window(), &client);
  EXPECT_TRUE(client.right == text.cx && client.bottom == text.cy) << "empty text sized as the address";

  auto* link = new HyperLink(parent, {missing.c_str(), "Visit", 0, 0, 0, "Tahoma", 10, 400, kLinkUnderline, 5, 5});
  HWND window = link->Window();
  SetCursorPos(0, 0);
  auto hoverThenLeave = [&](COLORREF after) {
    SendMessageA(window, WM_MOUSEMOVE, 0, 0);
    UpdateWindow(window);
    EXPECT_TRUE(Shows(window, kLinkHoverColour));
    EXPECT_TRUE(WaitFor([&] { return Shows(window, after); }, 2000)) << "still hovering";
  };
  EXPECT_TRUE(Shows(window, kLinkNormalColour));
  hoverThenLeave(kLinkNormalColour);
  BoxAnswerer boxes;
  SendMessageA(window, WM_LBUTTONUP, 0, 0);
  ASSERT_EQ(boxes.Seen().size(), 1u);
  EXPECT_EQ(boxes.Seen()[0].caption + " | " + boxes.Seen()[0].text, "Error | Error Opening the Browser");
  EXPECT_TRUE(boxes.Seen()[0].owner == parent && boxes.Seen()[0].icon == MB_ICONSTOP);
  UpdateWindow(window);
  EXPECT_TRUE(Shows(window, kLinkVisitedColour));
  hoverThenLeave(kLinkVisitedColour);
  delete link;
  // Mended fault: the window outlives the object until its parent goes.
  EXPECT_EQ(GetWindowLongPtrA(window, GWLP_USERDATA), 0);
  DestroyWindow(parent);
}

// Each page writes all its values on OK or Apply, once created; Cancel writes
// nothing; a limit out of 1 to 7 is refused while typing and not stored. The
// flags start at 2, which PLYX never writes, so that a write shows.
TEST(PreferencesSheet, PagesWriteWhatTheyShowOnlyOnOkOrApply) {
  const struct { const char* steps; const char* stored; size_t refusals; } cases[] = {
      {"4 apply cancel", "4 1 2 2 2 no verb, no tips", 0},
      {"general apply cancel", "5 1 1 1 1 verb, tips", 0},
      {"ok", "5 1 2 2 2 no verb, no tips", 0},
      {"3 cancel", "5 2 2 2 2 no verb, no tips", 0},
      {"9 0 ok", "5 1 2 2 2 no verb, no tips", 2},  // bound: outside 1 to 7 never stored
  };
  InstanceHandle = GetModuleHandleA(nullptr);
  MainWindowHandle = MainTemplate();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.steps);
    PlyxKey key;
    for (const char* flag : {"UseMRUD", "MinToSysTray", "ShlRtClkEn", "ToolTipEn"}) SetRawDword(flag, 2);
    Settings settings;
    AppSettings = &settings;
    std::thread user([&] {
      HWND sheet = WaitForWindow(0, "PLYX Preferences");
      HWND page = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
      std::istringstream steps(c.steps);
      for (std::string step; steps >> step;) {
        if (isdigit(step[0])) SetDlgItemTextA(page, IDC_PREF_LIMIT, step.c_str());
        if (step == "general") SendMessageA(sheet, PSM_SETCURSEL, 1, 0);
        // Posted: the sheet's modal loop sees that it has ended only when it takes a message.
        if (step == "apply") PostMessageA(sheet, PSM_APPLY, 0, 0);
        if (step == "ok" || step == "cancel") PostMessageA(sheet, PSM_PRESSBUTTON, step == "ok" ? PSBTN_OK : PSBTN_CANCEL, 0);
      }
    });
    BoxAnswerer boxes;
    ShowPreferences(MainWindowHandle);
    user.join();
    std::string stored;
    for (const char* name : {"MRUDLimit", "UseMRUD", "MinToSysTray", "ShlRtClkEn", "ToolTipEn"}) {
      stored += std::to_string(RawDword(name)) + " ";
    }
    RegistryKey verb;
    stored += RegOpenKeyExA(HKEY_CURRENT_USER, kPlyxVerbKey, 0, KEY_READ, verb.Out()) ? "no verb" : "verb";
    EXPECT_EQ(stored + (MainToolTips ? ", tips" : ", no tips"), c.stored);
    EXPECT_EQ(boxes.Seen().size(), c.refusals);
    for (const MessageBoxInfo& box : boxes.Seen()) EXPECT_EQ(box.text, "Choose a Number Between 1 & 7 Only !");
    DestroyMainToolTips();
    AppSettings = nullptr;
  }
  DestroyWindow(MainWindowHandle);
  MainWindowHandle = nullptr;
}

}  // namespace
