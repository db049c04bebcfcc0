// The main window itself: minimising to the taskbar or the notification area,
// the Help button with and without the help file.
#include "plyx_session.h"
#include "resource_ids.h"

namespace {

using Window = PlyxJourney;

TEST_F(Window, MinimiseGoesToTheTaskbarWhenTheTrayIsOff) {
  ASSERT_TRUE(plyx_registry::SetDword("MinToSysTray", 0));
  ASSERT_TRUE(StartMain(""));
  SystemCommand(SC_MINIMIZE);
  ASSERT_TRUE(WaitFor([&] { return IsIconic(main()) != FALSE; }))
      << "style " << std::hex << GetWindowLongA(main(), GWL_STYLE) << ", icon " << TrayIconShown();
  EXPECT_FALSE(TrayIconShown());
  SystemCommand(SC_RESTORE);
  EXPECT_TRUE(WaitFor([&] { return !IsIconic(main()) && IsWindowVisible(main()); }));
  CloseAndExpectExitZero();
}

TEST_F(Window, MinimiseHidesInTheNotificationAreaUntilADoubleClick) {
  ASSERT_TRUE(StartMain(""));  // a fresh key turns "MinToSysTray" on
  SystemCommand(SC_MINIMIZE);
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(main()) && TrayIconShown(); }))
      << "visible " << IsWindowVisible(main()) << ", icon " << TrayIconShown();
  EXPECT_FALSE(IsIconic(main())) << "hidden, not minimised";

  // What the icon reports, in order, and how the window and icon must stand after each.
  struct Click {
    const char* what;
    LPARAM mouse;
    bool visible;
    bool icon;
  };
  const Click clicks[] = {
      {"single click", WM_LBUTTONDOWN, false, true},
      {"button-up without a double click", WM_LBUTTONUP, false, true},
      {"right click", WM_RBUTTONUP, false, true},
      {"double click", WM_LBUTTONDBLCLK, true, true},
      {"button-up ending the double click", WM_LBUTTONUP, true, false},
  };
  for (const Click& click : clicks) {
    SCOPED_TRACE(click.what);
    PostMessageA(main(), WM_PLYX_TRAY, 103, click.mouse);
    ASSERT_TRUE(Settle());
    EXPECT_EQ(IsWindowVisible(main()) != FALSE, click.visible);
    EXPECT_EQ(TrayIconShown(), click.icon);
  }
  CloseAndExpectExitZero(/*byTitleBar=*/true);
}

TEST_F(Window, HelpWithoutItsFileNamesTheFullPath) {
  // A copy of the program in a folder of its own has no help file beside it.
  const std::string exe = temp_ / "plyx.exe";
  ASSERT_TRUE(CopyFileA(PlyxExePath().c_str(), exe.c_str(), FALSE));
  ASSERT_TRUE(StartMain("", exe));
  for (int attempt = 1; attempt <= 2; ++attempt) {
    SCOPED_TRACE(attempt);
    Click(IDC_HELP_BUTTON);
    const MessageBoxInfo box = NextMessageBox();
    EXPECT_EQ(box.text, "Cannot Find File \n\n " + temp_ / "PLYX.chm" +
                            " \n\n Please re install the Help File");
    EXPECT_EQ(box.caption, kPlyxTitle);
    EXPECT_EQ(box.icon, BoxIcon::kNone);
    EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
    EXPECT_EQ(GetWindow(box.window, GW_OWNER), main());
    ASSERT_TRUE(box.window && AnswerMessageBox(box.window, IDOK));
  }
  CloseAndExpectExitZero();
}

TEST_F(Window, HelpOpensAHelpWindow) {
  std::string chm = PlyxExePath();
  chm = chm.substr(0, chm.find_last_of('\\') + 1) + "PLYX.chm";
  ASSERT_TRUE(FileExistsAt(chm)) << chm << " is not built beside plyx.exe";
  ASSERT_TRUE(StartMain(""));

  Click(IDC_HELP_BUTTON);
  // A help window is any new visible top-level window of PLYX but a message box.
  HWND help = nullptr;
  const bool appeared = WaitFor([&] {
    for (HWND window : DialogWindows(pid())) {
      if (IsMessageBox(window)) return true;  // the failure message: stop waiting
    }
    struct Search {
      DWORD pid;
      HWND main;
      HWND found;
    } search{pid(), main(), nullptr};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
          auto* s = reinterpret_cast<Search*>(param);
          DWORD owner = 0;
          GetWindowThreadProcessId(window, &owner);
          if (owner == s->pid && window != s->main && IsWindowVisible(window) &&
              !IsMessageBox(window)) {
            s->found = window;
            return FALSE;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    help = search.found;
    return help != nullptr;
  }, 20000);
  ASSERT_TRUE(appeared);
  const MessageBoxInfo failure = NextMessageBox(0);
  ASSERT_EQ(failure.text, "") << "Help answered with a message";
  ASSERT_NE(help, nullptr);
  EXPECT_EQ(ClassOf(help), "HH Parent") << "title [" << TextOf(help) << "]";
  PostMessageA(help, WM_CLOSE, 0, 0);
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(help) || !IsWindowVisible(help); }));
  CloseAndExpectExitZero();
}

}  // namespace
