// The main window's tooltips, the link control and the preferences sheet, in
// this process with real common controls, fonts and registry.
#include <gtest/gtest.h>
#include <windows.h>

#include <cctype>
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

// Takes what was posted to this thread, as a modal loop does, through the hooks.
void DrainQueue() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

WNDPROC toolTipProc = nullptr;
std::vector<HWND> relayedTo;
LRESULT CALLBACK RecordRelays(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == TTM_RELAYEVENT) relayedTo.push_back(reinterpret_cast<const MSG*>(lParam)->hwnd);
  return CallWindowProcA(toolTipProc, window, message, wParam, lParam);
}

TEST(MainToolTips, ThirteenToolsInOrderAndOnlyMovesOverControlsRelayed) {
  HWND main = MainTemplate();
  CreateMainToolTips(main);
  ToolTipManager* made = MainToolTips;
  CreateMainToolTips(main);
  ASSERT_TRUE(made && MainToolTips == made) << "made once";
  HWND tip = made->ToolTipWindow();
  EXPECT_EQ(SendMessageA(tip, TTM_GETMAXTIPWIDTH, 0, 0), 150);
  std::string tools;
  for (int i = 0; i < SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0); ++i) {
    char text[128] = {};
    TTTOOLINFOA tool{};
    tool.cbSize = kToolRecordSize;
    SendMessageA(tip, TTM_ENUMTOOLSA, i, reinterpret_cast<LPARAM>(&tool));
    tool.lpszText = text;
    SendMessageA(tip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    tools += std::to_string(GetDlgCtrlID(reinterpret_cast<HWND>(tool.uId))) +
             (tool.uFlags == (TTF_IDISHWND | TTF_CENTERTIP) ? " centred " : " ") + text + "\n";
  }
  EXPECT_EQ(tools,
            "1005 centred Contains the file which has to be split\n1003 Click to select the file to be split\n"
            "1022 centred Contains the directory where the split file parts has to be created\n"
            "1004 Click to select the target Directory\n"
            "1007 centred Use this Dropdown list to determine the part file size of the split file\n"
            "1001 Click to start splitting the file\n1013 Click to Customize the settings & behaviour of PLYX\n"
            "1008 Click to close & exit PLYX\n1000 Click to know more about PLYX\n1002 Click to Launch the Help file\n"
            "1011 file size of each part\n1010 Number of parts into whcih the file will be split\n"
            "1009 Size of the file to be split\n");
  toolTipProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(tip, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordRelays)));
  SetCursorPos(0, 0);
  HWND split = GetDlgItem(main, IDC_SPLIT), sizeText = GetDlgItem(main, IDC_FILE_SIZE_TEXT);
  for (auto [window, message] : {std::pair{split, WM_MOUSEMOVE}, {main, WM_MOUSEMOVE}, {sizeText, WM_RBUTTONDOWN}}) {
    PostMessageA(window, message, 0, 0);
  }
  DrainQueue();
  EXPECT_EQ(relayedTo, std::vector<HWND>{split});
  DestroyMainToolTips();
  PostMessageA(split, WM_MOUSEMOVE, 0, 0);
  DrainQueue();
  EXPECT_TRUE(MainToolTips == nullptr && relayedTo.size() == 1) << "the hook outlived its manager";
  DestroyWindow(main);
}

// Weight out of range drops the styles too; an empty text shows the address;
// a size below 1, or no face, gives 8 points. Each row is a new control in
// this process, whose class exists from the first on.
TEST(HyperLink, FontDefaultsAndWindowSizedToTheShownText) {
  HWND parent = MainTemplate();
  const struct { HyperLinkParams params; const char *face, *shown; int points, weight; bool underline; } cases[] = {
      {{"http://plyx.example/", "", 0, 0, 0, "Tahoma", 10, 1000, 7, 5, 5}, "Tahoma", "http://plyx.example/", 10, 400, false},
      {{"a", "Link", 0, 0, 0, "Tahoma", 0, 700, kLinkUnderline, 5, 5}, "Tahoma", "Link", 8, 700, true},
      {{"a", "Link", 0, 0, 0, nullptr, 20, 0, kLinkUnderline, 5, 5}, "MS Sans Serif", "Link", 8, 400, false},
  };
  WindowDc screen(nullptr);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.shown);
    HyperLink link(parent, c.params);
    ASSERT_TRUE(link.Window());
    LOGFONTA font{};
    GetObjectA(link.Font(), sizeof font, &font);
    EXPECT_EQ(std::string(font.lfFaceName) + " " + std::to_string(font.lfHeight) + " " + std::to_string(font.lfWeight) +
                  " " + std::to_string(font.lfUnderline + font.lfItalic + font.lfStrikeOut),
              std::string(c.face) + " " + std::to_string(-c.points * GetDeviceCaps(screen.Get(), LOGPIXELSY) / 72) +
                  " " + std::to_string(c.weight) + " " + std::to_string(c.underline));
    SIZE text{};
    SelectObject(screen.Get(), link.Font());
    GetTextExtentPoint32A(screen.Get(), c.shown, lstrlenA(c.shown), &text);
    RECT client{};
    GetClientRect(link.Window(), &client);
    EXPECT_TRUE(client.right == text.cx && client.bottom == text.cy) << client.right << " x " << client.bottom;
  }
  EXPECT_EQ(HyperLink(nullptr, cases[0].params).Window(), nullptr);
  DestroyWindow(parent);
}

bool Shows(HWND link, COLORREF colour) {
  WindowDc dc(link);
  RECT client{};
  GetClientRect(link, &client);
  for (int y = 0; y < client.bottom; ++y) {
    for (int x = 0; x < client.right; ++x) {
      if (GetPixel(dc.Get(), x, y) == colour) return true;
    }
  }
  return false;
}

// The colours as drawn: normal, hover at once, back once the cursor is away,
// visited after a click whose browser fails to open, hover winning over it.
TEST(HyperLink, ColoursFollowTheMouseAndTheClick) {
  TempFolder temp;
  HWND parent = MainTemplate();
  const std::string missing = temp / "missing.html";
  auto* link = new HyperLink(parent, {missing.c_str(), "Visit PLYX", 0, 0, 0, "Tahoma", 10, 400, kLinkUnderline, 5, 5});
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
  const MessageBoxInfo box = boxes.Seen()[0];
  EXPECT_EQ(box.caption + " | " + box.text, "Error | Error Opening the Browser");
  EXPECT_TRUE(box.owner == parent && box.icon == MB_ICONSTOP);
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
        if (std::isdigit(static_cast<unsigned char>(step[0]))) SetDlgItemTextA(page, IDC_PREF_LIMIT, step.c_str());
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
    stored += MainToolTips ? ", tips" : ", no tips";
    EXPECT_EQ(stored, c.stored);
    EXPECT_EQ(boxes.Seen().size(), c.refusals);
    for (const MessageBoxInfo& box : boxes.Seen()) EXPECT_EQ(box.text, "Choose a Number Between 1 & 7 Only !");
    DestroyMainToolTips();
    AppSettings = nullptr;
  }
  DestroyWindow(MainWindowHandle);
  MainWindowHandle = nullptr;
}

}  // namespace
