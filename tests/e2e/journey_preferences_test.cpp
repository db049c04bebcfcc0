// The preferences sheet and what it changes at once (the main window's tips,
// Explorer's menu verb), and the About box with its link.
#include "plyx_session.h"

#include <commctrl.h>
#include <shellapi.h>

namespace {

using Preferences = PlyxJourney;

constexpr int kApplyButton = 0x3021;  // the sheet's own button

// The text of the tip that shows once the mouse rests on `control`, or "".
// The mouse is moved off and back each try: a window that has just appeared
// or moved under a resting cursor gets no move to start its tip.
std::string TipOver(DWORD pid, HWND control, DWORD timeoutMs = 10000) {
  HWND tip = nullptr;
  for (DWORD waited = 0; !tip && waited < timeoutMs; waited += 1500) {
    SetCursorPos(0, 0);
    HoverOver(control);
    tip = WaitForWindow(pid, [](HWND w) { return ClassOf(w) == TOOLTIPS_CLASSA && !TextOf(w).empty(); }, 1500);
  }
  const std::string text = tip ? TextOf(tip) : "";
  SetCursorPos(0, 0);  // off PLYX, so that the tip goes
  WaitFor([&] { return !tip || !IsWindowVisible(tip); });
  return text;
}

// Right-click, "Split with PLYX" on `file`, until the copy it starts ends.
// Wine's shell looks up neither the "*" class nor the user's classes, so the
// verb's class key is handed over as Explorer would find it.
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
  const std::string file = temp / "two words & \xE9 %OS%.bin";
  ASSERT_TRUE(WriteBytes(file, PatternBytes(3000)));
  // The program moved since the verb was written: start-up writes it anew.
  const std::string command = std::string(kPlyxVerbKey) + "\\command", moved = "\"C:\\moved\\plyx.exe\" %1";
  ASSERT_FALSE(RegSetKeyValueA(HKEY_CURRENT_USER, command.c_str(), nullptr, REG_SZ, moved.c_str(), moved.size() + 1));
  ASSERT_TRUE(StartMain(""));  // a fresh key sets "ToolTipEn" and "ShlRtClkEn"
  EXPECT_EQ(TipOver(Pid(), Item(IDC_SPLIT)), "Click to start splitting the file");
  ASSERT_TRUE(RunShellVerb(file));
  EXPECT_TRUE(WaitFor([&] { return Text(IDC_SOURCE_FILE) == file; })) << Text(IDC_SOURCE_FILE);

  // Tips and verb off, applied, then on; the About box after each. The tips are
  // tried once the sheet is gone (which Cancel and OK leave as applied): the
  // main window under it gets no mouse. Mended fault: a file handed over under
  // the sheet or the About box was lost.
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

    Click(Item(IDC_ABOUT));
    HWND about = WaitForWindow(Pid(), [&](HWND w) { return w != Main() && TextOf(w) == kPlyxTitle; });
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
    EXPECT_TRUE(WaitFor([&] { return Text(IDC_SOURCE_FILE) == handedOver; })) << Text(IDC_SOURCE_FILE);
    EXPECT_EQ(TipOver(Pid(), Item(IDC_SPLIT), on ? 10000 : 3000), on ? "Click to start splitting the file" : "")
        << "tips left after they were cleared";
  }
  CloseAndExpectExitZero();
}

}  // namespace
