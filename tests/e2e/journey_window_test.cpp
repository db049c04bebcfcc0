// The main window itself: minimising to the taskbar or the notification area
// and each way back, the Help button with and without the help file.
#include "plyx_session.h"

namespace {

using Window = PlyxJourney;

TEST_F(Window, MinimiseGoesToTheTaskbarWhenTheTrayIsOff) {
  ASSERT_TRUE(SetRawDword("MinToSysTray", 0));
  const std::string source = temp / "kept.bin";
  ASSERT_TRUE(WriteBytes(source, "kept"));
  ASSERT_TRUE(StartMain(source));
  for (bool bySecondStart : {false, true}) {
    SCOPED_TRACE(bySecondStart ? "a second start without arguments" : "restore");
    SystemCommand(SC_MINIMIZE);
    ASSERT_TRUE(WaitFor([&] { return IsIconic(Main()) != FALSE; })) << "icon " << TrayIconShown();
    EXPECT_FALSE(TrayIconShown());
    if (bySecondStart) {
      ASSERT_NO_FATAL_FAILURE(ExpectHandedOver(Start("")));
    } else {
      SystemCommand(SC_RESTORE);
    }
    EXPECT_TRUE(WaitFor([&] { return !IsIconic(Main()) && IsWindowVisible(Main()); }));
    EXPECT_EQ(Text(IDC_SOURCE_FILE), source);
  }
  CloseAndExpectExitZero();
}

TEST_F(Window, MinimiseHidesInTheNotificationAreaUntilADoubleClickOrASecondStart) {
  const std::string source = temp / "setup.exe";
  ASSERT_TRUE(WriteBytes(source, PatternBytes(2000)));
  ASSERT_TRUE(StartMain(""));  // a fresh key turns "MinToSysTray" on
  auto minimise = [&] {
    SystemCommand(SC_MINIMIZE);
    return WaitFor([&] { return !IsWindowVisible(Main()) && TrayIconShown(); });
  };
  ASSERT_TRUE(minimise()) << "visible " << IsWindowVisible(Main()) << ", icon " << TrayIconShown();
  EXPECT_FALSE(IsIconic(Main())) << "hidden, not minimised";

  // What the icon reports, in order, and how the window and icon must stand after each.
  const struct {
    LPARAM mouse;
    bool visible, icon;
  } clicks[] = {
      {WM_LBUTTONDOWN, false, true}, {WM_LBUTTONUP, false, true}, {WM_RBUTTONUP, false, true},
      {WM_LBUTTONDBLCLK, true, true},  // the icon goes with the button-up that ends the double click
      {WM_LBUTTONUP, true, false},
  };
  for (const auto& click : clicks) {
    SCOPED_TRACE(click.mouse);
    PostMessageA(Main(), WM_PLYX_TRAY, 103, click.mouse);
    ASSERT_TRUE(Settle());
    EXPECT_EQ(IsWindowVisible(Main()) != FALSE, click.visible);
    EXPECT_EQ(TrayIconShown(), click.icon);
  }

  // A second start brings it back too. It hands over a file; a missing file,
  // or a text longer than any path buffer of PLYX, is dropped.
  for (const std::string& commandText : {source, temp / "none.bin", "C:\\" + std::string(400, 'x')}) {
    SCOPED_TRACE(commandText.size());
    ASSERT_TRUE(minimise());
    ASSERT_NO_FATAL_FAILURE(ExpectHandedOver(Start(commandText)));
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(Main()) && !TrayIconShown(); }))
        << "visible " << IsWindowVisible(Main()) << ", icon " << TrayIconShown();
    EXPECT_EQ(Text(IDC_SOURCE_FILE), source);
  }
  CloseAndExpectExitZero(/*byTitleBar=*/true);
}

TEST_F(Window, HelpWithoutItsFileNamesTheFullPath) {
  // A copy of the program in a folder of its own has no help file beside it.
  const std::string exe = temp / "plyx.exe";
  ASSERT_TRUE(CopyFileA(PlyxExePath().c_str(), exe.c_str(), FALSE));
  ASSERT_TRUE(StartMain("", exe));
  Click(Item(IDC_HELP_BUTTON));
  const MessageBoxInfo box = NextMessageBox();
  EXPECT_EQ(box.text, "Cannot Find File \n\n " + temp / "PLYX.chm" + " \n\n Please re install the Help File");
  EXPECT_EQ(box.caption, kPlyxTitle);
  EXPECT_EQ(GetWindow(box.window, GW_OWNER), Main());
  ASSERT_TRUE(box.window && AnswerMessageBox(box.window, IDOK));
  CloseAndExpectExitZero();
}

TEST_F(Window, HelpOpensTheHelpViewer) {
  std::string chm = PlyxExePath();
  chm = chm.substr(0, chm.find_last_of('\\') + 1) + "PLYX.chm";
  ASSERT_TRUE(Exists(chm)) << chm << " is not built beside plyx.exe";
  ASSERT_TRUE(StartMain(""));

  Click(Item(IDC_HELP_BUTTON));
  HWND help = nullptr;
  auto viewerShown = [&] {
    DWORD owner = 0;
    help = FindWindowA("HH Parent", nullptr);
    GetWindowThreadProcessId(help, &owner);
    return help && owner == Pid() && IsWindowVisible(help);
  };
  WaitFor([&] { return viewerShown() || !NoMessageBoxFor(Pid(), 0); }, 20000);
  ASSERT_EQ(NextMessageBox(0).text, "") << "Help answered with a message";
  ASSERT_TRUE(viewerShown());
  PostMessageA(help, WM_CLOSE, 0, 0);
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(help) || !IsWindowVisible(help); }));
  CloseAndExpectExitZero();
}

}  // namespace
