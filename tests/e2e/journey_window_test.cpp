// The main window: one PLYX at a time, minimising and back, Help, the preferences sheet (tips,
// Explorer's verb), the About box and its link, layout at each dpi.
#include "plyx_session.h"

#include <commctrl.h>

#include <tuple>

namespace {

using Window = PlyxJourney;
using Preferences = PlyxJourney;

// Race: two copies started together must give one window. Bound: 4 GB less one byte still gets its
// sizes. Mended fault: a refused file left the earlier file's size and count for Split to cut by, or
// stayed chosen (a size chosen afterwards made it splittable; Split under its unowned refusal split it).
TEST_F(Window, TwoStartsTogetherGiveOneWindowAndASecondStartHandsItsFileOver) {
  const std::string file = temp / "archive.zip", almost4g = temp / "almost4g.bin", huge = temp / "huge.bin";
  const std::string held = temp / "held.bin";
  ASSERT_TRUE(WriteBytes(file, PatternBytes(600000)));
  ASSERT_TRUE(WriteBytes(held, "held open by another program"));
  ASSERT_TRUE(MakeSparseFile(almost4g, 4294967295ull));
  ASSERT_TRUE(MakeSparseFile(huge, 4294967296ull));
  const UniqueHandle holder(CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ChildProcess& first = Start("");
  ChildProcess& second = Start("");
  // One of them ends by itself, having handed over.
  ASSERT_TRUE(WaitFor([&] { return !first.Running() || !second.Running(); }, 20000)) << "both copies still run";
  ASSERT_NO_FATAL_FAILURE(ExpectHandedOver(first.Running() ? second : first));
  ASSERT_TRUE(UseMain(first.Running() ? first : second));
  EXPECT_EQ(PlyxWindowsOf(first.Pid()).size() + PlyxWindowsOf(second.Pid()).size(), 1u);
  const struct {
    std::string path, sizes, refusal;
    bool owned;
  } cases[] = {
      {almost4g, "File Size : 4.00 GB | Num of Split Parts : 2947", "", false},
      {huge, "File Size : 0KB | Num of Split Parts : 0",
       "File Size More the 4 GB ! \n PLYX cannot handle files bigger than 4GB", true},
      {file, "File Size : 585.94 KB | Num of Split Parts : 1", "", false},
      {held, "File Size : 0KB | Num of Split Parts : 0", "Unexpected Error : File Open Failure : 0005", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    ChildProcess& next = Start(c.path);
    if (!c.refusal.empty()) {
      // Split refuses the request rather than cut the refused file, under an unowned refusal too.
      const MessageBoxInfo box = WaitForMessageBox(Pid(), c.refusal);
      ASSERT_TRUE(AnswerPlyxBox(box, c.refusal, c.owned ? Main() : nullptr, c.owned ? IDOK : kLeaveOpen));
      ChooseSize(2);
      Click(Item(IDC_SPLIT));
      ASSERT_TRUE(AnswerBox(WaitForMessageBox(Pid(), "Select a File to Split"), IDOK));
      if (!c.owned) { ASSERT_TRUE(AnswerBox(box, IDOK)); }
      EXPECT_FALSE(Exists(c.path + ".001"));
    }
    ASSERT_NO_FATAL_FAILURE(ExpectHandedOver(next));
    EXPECT_TRUE(Shows(IDC_SOURCE_FILE, c.path));
    EXPECT_EQ(Texts({IDC_FILE_SIZE_TEXT, IDC_PART_COUNT_TEXT}), c.sizes);
    if (c.refusal.empty()) {
      EXPECT_EQ(Text(IDC_DEST_FOLDER), temp.Path());
      EXPECT_TRUE(WaitForFocus(IDC_SPLIT));
    }
  }
  CloseAndExpectExitZero();
}

// To the notification area (a fresh key turns "MinToSysTray" on), else to the taskbar, and back.
// Mended fault: hidden when the icon could not be added, the window had no way back.
TEST_F(Window, MinimiseGoesToTheNotificationAreaOrTheTaskbarAndComesBack) {
  const std::string source = temp / "setup.exe";
  ASSERT_TRUE(WriteBytes(source, PatternBytes(2000)));
  ASSERT_TRUE(StartMain(""));
  auto minimise = [&] { return Minimise([&] { return !IsWindowVisible(Main()) && TrayIconShown(); }); };
  ASSERT_TRUE(minimise()) << "visible " << IsWindowVisible(Main()) << ", icon " << TrayIconShown();
  EXPECT_FALSE(IsIconic(Main())) << "hidden, not minimised";
  // What the icon reports, in order, and how window and icon stand after each.
  const std::tuple<LPARAM, bool, bool> clicks[] = {
      {WM_LBUTTONDOWN, false, true},  {WM_LBUTTONUP, false, true}, {WM_RBUTTONUP, false, true},
      {WM_LBUTTONDBLCLK, true, true},  // the icon goes with the button-up that ends the double click
      {WM_LBUTTONUP, true, false},
  };
  for (const auto& [mouse, visible, icon] : clicks) {
    PostMessageA(Main(), WM_PLYX_TRAY, 103, mouse);
    ASSERT_TRUE(Settle());
    EXPECT_EQ(IsWindowVisible(Main()) != FALSE, visible) << mouse;
    EXPECT_EQ(TrayIconShown(), icon) << mouse;
  }
  // A second start brings it back too. It hands over a file; a missing one is dropped.
  for (const std::string& commandText : {source, temp / "none.bin"}) {
    SCOPED_TRACE(commandText.size());
    ASSERT_TRUE(minimise());
    ASSERT_NO_FATAL_FAILURE(ExpectHandedOver(Start(commandText)));
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(Main()) && !TrayIconShown(); }))
        << "visible " << IsWindowVisible(Main()) << ", icon " << TrayIconShown();
    EXPECT_EQ(Text(IDC_SOURCE_FILE), source);
  }

  NOTIFYICONDATAA taken{};  // an icon of the same window and number: PLYX's cannot be added
  taken.cbSize = sizeof taken, taken.hWnd = Main(), taken.uID = 103;
  for (bool trayOff : {true, false}) {  // each way to the taskbar and each way back, once
    SCOPED_TRACE(trayOff ? "tray off, restored" : "icon taken, second start");
    ASSERT_TRUE(SetRawDword("MinToSysTray", trayOff ? 0 : 1));
    if (!trayOff) { ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &taken)); }
    ASSERT_TRUE(Minimise([&] { return IsIconic(Main()) != FALSE; })) << "visible " << IsWindowVisible(Main());
    EXPECT_EQ(TrayIconShown(), !trayOff);
    if (trayOff) {
      SystemCommand(SC_RESTORE);
    } else {
      ASSERT_NO_FATAL_FAILURE(ExpectHandedOver(Start("")));
    }
    EXPECT_TRUE(WaitFor([&] { return !IsIconic(Main()) && IsWindowVisible(Main()); }))
        << "iconic " << IsIconic(Main()) << ", visible " << IsWindowVisible(Main());
    EXPECT_EQ(Text(IDC_SOURCE_FILE), source);
  }
  Shell_NotifyIconA(NIM_DELETE, &taken);
  CloseAndExpectExitZero(/*byTitleBar=*/true);
}

// Help opens PLYX.chm beside plyx.exe; a copy elsewhere names the file it misses. Mended faults: with a
// refused destination typed, the viewer taking the focus (or a minimise) brought the refusal back until
// PLYX crashed; a close from outside during the system menu ended only the menu.
TEST_F(Window, HelpOpensTheHelpViewerOrNamesTheMissingFile) {
  const std::string exe = PlyxExePath();
  ASSERT_TRUE(Exists(exe.substr(0, exe.find_last_of('\\') + 1) + "PLYX.chm")) << "no PLYX.chm beside plyx.exe";
  ASSERT_TRUE(StartMain(""));
  Type(IDC_DEST_FOLDER, "Z:\\tmp\\what?name");
  for (int opened = 1; opened <= 3; ++opened) {
    SCOPED_TRACE(opened);
    Click(Item(IDC_HELP_BUTTON));
    HWND help = WindowOfClass("HH Parent", 20000);
    ASSERT_NE(help, nullptr) << "Help answered: " << NextMessageBox(0).text;
    PostMessageA(help, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(help) || !IsWindowVisible(help); })) << "the viewer stays open";
    ASSERT_TRUE(Settle());
    EXPECT_EQ(NextMessageBox(0).text, "");
  }
  ASSERT_TRUE(Minimise([&] { return !IsWindowVisible(Main()); }));
  EXPECT_EQ(NextMessageBox(0).text, "");
  ASSERT_NO_FATAL_FAILURE(ExpectHandedOver(Start("")));  // back from the notification area
  PostMessageA(Main(), WM_SYSCOMMAND, SC_KEYMENU, ' ');  // Alt+Space
  ASSERT_TRUE(WindowOfClass("#32768"));
  PostMessageA(Main(), WM_CLOSE, 0, 0);  // as taskkill without /f
  ExpectExitZero();

  // Mended fault: in a folder the code page lacked, "App Path" and the help file held its best fit.
  const std::string elsewhere = temp.MakeFolder(Narrow(L"Zo\u00eb's tools \u2713")) + "\\";
  ASSERT_TRUE(CopyFileA(exe.c_str(), (elsewhere + "plyx.exe").c_str(), FALSE));
  ASSERT_TRUE(StartMain("", elsewhere + "plyx.exe"));
  EXPECT_EQ(RawPath("App Path"), elsewhere + "plyx.exe");
  Click(Item(IDC_HELP_BUTTON));
  ASSERT_TRUE(AnswerNext("Cannot Find File \n\n " + elsewhere + "PLYX.chm \n\n Please re install the Help File"));
  // Mended fault: a WM_DESTROY posted from outside only posted the quit, which the menu's loop took.
  // (The menu opens once the box's end gave the activation back, which would close it.)
  ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == Main(); }));
  PostMessageA(Main(), WM_SYSCOMMAND, SC_KEYMENU, ' ');
  ASSERT_TRUE(WindowOfClass("#32768"));
  PostMessageA(Main(), WM_DESTROY, 0, 0);
  ExpectExitZero();
}

constexpr int kApplyButton = 0x3021;  // the sheet's own button

// The tip that shows once the mouse rests on `control`, or "". Off and back each try: a window
// new or moved under a resting cursor gets no move to start its tip.
std::string TipOver(DWORD pid, HWND control, DWORD timeoutMs = 10000) {
  HWND tip = nullptr;
  for (DWORD waited = 0; !tip && waited < timeoutMs; waited += 1500) {
    SetCursorPos(0, 0);
    HoverOver(control);
    tip = WaitForWindow(
        pid, [](HWND w) { return ClassOf(w) == TOOLTIPS_CLASSA && !TextOf(w).empty(); }, 1500);
  }
  const std::string text = tip ? TextOf(tip) : "";
  SetCursorPos(0, 0);  // off PLYX, so that the tip goes
  WaitFor([&] { return !tip || !IsWindowVisible(tip); });
  return text;
}

// "Split with PLYX" on `file`, until the copy it starts ends. Wine's shell looks up neither the "*"
// class nor the user's classes, so the class key is handed over as Explorer would find it.
bool RunShellVerb(const std::string& file) {
  RegistryKey star;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Classes\\*", 0, KEY_READ, star.Out()) != ERROR_SUCCESS) return false;
  SHELLEXECUTEINFOA run{};
  run.cbSize = sizeof run;
  run.fMask = SEE_MASK_CLASSKEY | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOCLOSEPROCESS;
  run.hkeyClass = star.Get();
  run.lpVerb = "SplitWithPlyx";
  run.lpFile = file.c_str();
  run.nShow = SW_SHOWNORMAL;
  if (!ShellExecuteExA(&run)) return false;
  const UniqueHandle started(run.hProcess);
  return !started.IsValid() || WaitForSingleObject(started.Get(), 20000) == WAIT_OBJECT_0;
}

TEST_F(Preferences, SheetAboutAndExplorerVerbActAsTheySay) {
  const std::string file = temp / ("two words & " + LocalName({L"\u00e9"}, "\xE9") + " %OS%.bin");
  ASSERT_TRUE(WriteBytes(file, PatternBytes(3000)));
  // The program moved since the verb was written: start-up writes it anew.
  const std::string command = std::string(kPlyxVerbKey) + "\\command", moved = "\"C:\\moved\\plyx.exe\" %1";
  ASSERT_FALSE(RegSetKeyValueA(HKEY_CURRENT_USER, command.c_str(), nullptr, REG_SZ, moved.c_str(), moved.size() + 1));
  ASSERT_TRUE(StartMain(""));  // a fresh key sets "ToolTipEn" and "ShlRtClkEn"
  EXPECT_EQ(TipOver(Pid(), Item(IDC_SPLIT)), "Click to start splitting the file");
  ASSERT_TRUE(RunShellVerb(file));
  EXPECT_TRUE(Shows(IDC_SOURCE_FILE, file));

  // Tips and verb off, applied, then on; the About box after each; the tips tried once the sheet (which
  // takes the mouse) is gone. Mended fault: a file handed over under either was lost.
  const std::string exe = PlyxExePath(), helpFile = exe.substr(0, exe.find_last_of('\\') + 1) + "PLYX.chm";
  for (bool on : {false, true}) {
    SCOPED_TRACE(on);
    const std::string handedOver = temp / (on ? "under About.bin" : "under the sheet.bin");
    ASSERT_TRUE(WriteBytes(handedOver, "handed over"));
    Click(Item(IDC_CUSTOMIZE));
    HWND sheet = WaitForWindow(Pid(), "PLYX Preferences");
    ASSERT_TRUE(sheet);
    auto item = [&](int id) { return GetDlgItem(reinterpret_cast<HWND>(SendTo(sheet, PSM_GETCURRENTPAGEHWND)), id); };
    ASSERT_TRUE(item(IDC_PREF_LIMIT)) << "opens on Directory";
    if (!on) {  // mended fault: Escape closed the sheet
      ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == sheet; }));
      PressKey(VK_ESCAPE);
      ASSERT_TRUE(Settle());
      EXPECT_TRUE(IsWindowVisible(sheet)) << "Escape closed the sheet";
    }
    // Bound: a limit outside 1 to 7 is refused as it is typed and never stored.
    SendTo(item(IDC_PREF_LIMIT), EM_SETSEL, 0, -1);
    PostMessageA(item(IDC_PREF_LIMIT), WM_CHAR, on ? '9' : '3', 0);
    if (on) { ASSERT_TRUE(AnswerBox(WaitForMessageBox(Pid(), "Choose a Number Between 1 & 7 Only !"), IDOK)); }
    SendTo(sheet, PSM_SETCURSEL, 1);
    Click(item(IDC_PREF_TOOLTIPS));
    Click(item(IDC_PREF_SHELL));
    Click(GetDlgItem(sheet, kApplyButton));
    ASSERT_TRUE(WaitFor([&] { return RawDword("ToolTipEn") == DWORD{on}; })) << "ToolTipEn " << RawDword("ToolTipEn");
    EXPECT_EQ(RawDword("MRUDLimit"), 3u);
    EXPECT_EQ(RunShellVerb(file), on);
    if (!on) { ASSERT_NO_FATAL_FAILURE(ExpectHandedOver(Start(handedOver))); }
    Click(GetDlgItem(sheet, on ? IDOK : IDCANCEL));
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(sheet); }));

    HWND about = OpenAbout();
    ASSERT_TRUE(about);
    if (!on) {  // the link has its tip whatever the setting
      EXPECT_EQ(TipOver(Pid(), FindWindowExA(about, nullptr, "HyperLinkWnd", nullptr)), helpFile);
      PostKey(about, VK_ESCAPE);
      ASSERT_TRUE(Settle());
      EXPECT_TRUE(IsWindowVisible(about)) << "Escape closed the About box";
    }
    if (on) { ASSERT_NO_FATAL_FAILURE(ExpectHandedOver(Start(handedOver))); }
    on ? void(PostMessageA(about, WM_SYSCOMMAND, SC_CLOSE, 0)) : Click(GetDlgItem(about, IDOK));
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(about); }));
    EXPECT_TRUE(Shows(IDC_SOURCE_FILE, handedOver));
    EXPECT_EQ(TipOver(Pid(), Item(IDC_SPLIT), on ? 10000 : 3000), on ? "Click to start splitting the file" : "")
        << "tips left after they were cleared";
  }
  CloseAndExpectExitZero();
}

// The manifest resource (1, RT_MANIFEST) of plyx.exe and of plyx-split.exe beside it.
TEST(Package, BothProgramsCarryTheManifest) {
  const std::string plyx = PlyxExePath();
  for (const std::string& exe : {plyx, plyx.substr(0, plyx.rfind('\\') + 1) + "plyx-split.exe"}) {
    const HMODULE module =
        LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    const HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    const char* data = found ? static_cast<const char*>(LockResource(LoadResource(module, found))) : nullptr;
    const std::string text = data ? std::string(data, SizeofResource(module, found)) : "";
    FreeLibrary(module);
    for (const char* element :
         {R"(<requestedExecutionLevel level="asInvoker" uiAccess="false"/>)", "{e2011457-1546-43c5-a5fe-008deee3d3f0}",
          "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
          "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",
          "WindowsSettings\">true</dpiAware>", "WindowsSettings\">UTF-8</activeCodePage>"}) {
      EXPECT_NE(text.find(element), std::string::npos) << exe << " lacks " << element << ":\n" << text;
    }
    EXPECT_EQ(text.find("Common-Controls"), std::string::npos) << exe << " asks for Common Controls 6";
  }
}

// `child`'s rectangle in the client area of `parent`, and that as "x,y wxh".
RECT PlaceIn(HWND parent, HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}
std::string Shown(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
         std::to_string(r.bottom - r.top);
}

// The tips' width follows the dpi; the progress bar and clip (frames stay 272 x 60) and the About link
// the dialog's units (Wine's bitmap fonts stop growing past 144 dpi), the link's area its text. Mended
// fault: they kept their 96-dpi pixels, the link over the credit line. Wine reads `LogPixels` at start.
TEST_F(Window, WhatIsPlacedInPixelsFollowsTheScreensDpi) {
  const std::string source = temp / "dpi.bin";
  ASSERT_TRUE(WriteBytes(source, PatternBytes(3000)));
  const char kDesktop[] = "Control Panel\\Desktop";
  DWORD before = 0, size = sizeof before;
  const bool had = !RegGetValueA(HKEY_CURRENT_USER, kDesktop, "LogPixels", RRF_RT_REG_DWORD, nullptr, &before, &size);
  for (DWORD dpi : {96, 120, 144, 192}) {
    SCOPED_TRACE(dpi);
    ASSERT_TRUE(WriteBytes(source + ".001", "old part"));  // its question holds the progress window open
    DeleteFileA((source + ".bat").c_str());
    RegSetKeyValueA(HKEY_CURRENT_USER, kDesktop, "LogPixels", REG_DWORD, &dpi, sizeof dpi);
    const bool started = StartMain(source);
    had ? RegSetKeyValueA(HKEY_CURRENT_USER, kDesktop, "LogPixels", REG_DWORD, &before, sizeof before)
        : RegDeleteKeyValueA(HKEY_CURRENT_USER, kDesktop, "LogPixels");
    ASSERT_TRUE(started);
    LRESULT tipWidth = 0;
    for (HWND w : WindowsOf(Pid())) tipWidth = ClassOf(w) == TOOLTIPS_CLASSA ? SendTo(w, TTM_GETMAXTIPWIDTH) : tipWidth;
    EXPECT_EQ(tipWidth, MulDiv(150, dpi, 96));

    Click(Item(IDC_SPLIT));
    const MessageBoxInfo question = WaitForMessageBox(Pid(), "exists already");
    HWND progress = WaitForWindow(Pid(), [](HWND w) { return GetDlgItem(w, IDC_PROGRESS_BAR) != nullptr; });
    RECT client{};
    GetClientRect(progress, &client);
    // The dialog's base units, from its 226 x 79 units: 6 x 13 at 96 dpi.
    const int unitX = (client.right * 4 + 113) / 226, unitY = (client.bottom * 8 + 39) / 79;
    if (dpi == 96) { EXPECT_EQ(unitX * 100 + unitY, 613); }
    auto at = [&](int x, int y, int width, int height) {
      const int left = MulDiv(x, unitX, 6), top = MulDiv(y, unitY, 13);
      return Shown({left, top, left + width, top + height});
    };
    const RECT bar = PlaceIn(progress, GetDlgItem(progress, IDC_PROGRESS_BAR));
    const RECT clip = PlaceIn(progress, GetDlgItem(progress, IDC_PROGRESS_ANIMATION));
    EXPECT_EQ(Shown(bar), at(10, 65, MulDiv(315, unitX, 6), MulDiv(20, unitY, 13)));
    EXPECT_LE(bar.bottom, PlaceIn(progress, GetDlgItem(progress, IDC_PROGRESS_CANCEL)).top);
    EXPECT_EQ(Shown(clip), dpi == 96 ? "30,5 272x60" : Shown({clip.left, clip.top, clip.left + 272, clip.top + 60}));
    EXPECT_TRUE(clip.left >= 0 && clip.top >= 0 && clip.right <= client.right && clip.bottom <= bar.top)
        << Shown(clip) << " over " << Shown(bar) << " in " << Shown(client);
    ASSERT_TRUE(AnswerBox(question, IDOK));
    ASSERT_TRUE(AnswerBox(WaitForMessageBox(Pid(), "Split Successfully"), IDOK));

    HWND about = OpenAbout();
    ASSERT_TRUE(about);
    HWND link = FindWindowExA(about, nullptr, "HyperLinkWnd", nullptr), text = nullptr;
    while ((text = FindWindowExA(about, text, "Static", nullptr)) && TextOf(text).find("Visit") == std::string::npos) {}
    const WindowDc screen(nullptr);
    const HFONT font = CreateFontA(-(10 * int(dpi)) / 72, 0, 0, 0, 400, FALSE, TRUE, FALSE, ANSI_CHARSET, 0, 0,
                                   PROOF_QUALITY, VARIABLE_PITCH | FF_SWISS, "Tahoma");
    SIZE extent{};
    {
      const SelectedObject selected(screen.Get(), font);
      GetTextExtentPoint32A(screen.Get(), "the PLYX help file", 18, &extent);
    }
    DeleteObject(font);
    EXPECT_EQ(Shown(PlaceIn(about, link)), at(145, 105, extent.cx, extent.cy));
    // " Visit " is the last of the text's seven lines, each as high as the dialog's unit.
    const RECT textPlace = PlaceIn(about, text), linkPlace = PlaceIn(about, link);
    EXPECT_TRUE(linkPlace.top >= textPlace.top + 7 * unitY && linkPlace.top < textPlace.top + 8 * unitY &&
                linkPlace.bottom < PlaceIn(about, GetDlgItem(about, IDOK)).top)
        << "link " << Shown(linkPlace) << " under " << Shown(textPlace);
    Click(GetDlgItem(about, IDOK));
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(about); }));
    CloseAndExpectExitZero();
  }
}

}  // namespace
