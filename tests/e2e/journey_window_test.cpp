// The main window itself: one PLYX at a time, minimising and each way back,
// the Help button with and without the help file.
#include "plyx_session.h"

#include <shellapi.h>

namespace {

using Window = PlyxJourney;

// Race: two copies started together must give one window. A handed-over file
// shows its sizes, its folder the destination. Bound: 4 GB less one byte still
// gets its size and part count. Mended fault: a refused file left the earlier
// file's size and count for Split to cut by, or stayed chosen (a size chosen
// afterwards made it splittable; Split under its unowned refusal split it).
TEST_F(Window, TwoStartsTogetherGiveOneWindowAndASecondStartHandsItsFileOver) {
  const std::string file = temp / "archive.zip", almost4g = temp / "almost4g.bin", huge = temp / "huge.bin";
  const std::string held = temp / "held.bin";
  ASSERT_TRUE(WriteBytes(file, PatternBytes(600000)));
  ASSERT_TRUE(WriteBytes(held, "held open by another program"));
  for (const auto& [path, size] : {std::pair{almost4g, 4294967295ull}, {huge, 4294967296ull}}) {
    ASSERT_TRUE(MakeSparseFile(path, size)) << path;
  }
  const UniqueHandle holder(CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ChildProcess& first = Start("");
  ChildProcess& second = Start("");
  // One of them ends by itself (having handed over, or found no window yet).
  ASSERT_TRUE(WaitFor([&] { return !first.Running() || !second.Running(); }, 20000)) << "both copies still run";
  DWORD code = 259;
  ASSERT_TRUE((first.Running() ? second : first).WaitForExit(0, &code));
  EXPECT_EQ(code, 0u);
  ASSERT_TRUE(UseMain(first.Running() ? first : second));
  EXPECT_EQ(PlyxWindowsOf(first.Pid()).size() + PlyxWindowsOf(second.Pid()).size(), 1u);
  const struct { std::string path, sizes, refusal; bool owned; } cases[] = {
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
      // Split refuses the request rather than cut the refused file: under a
      // refusal without owner, else once it is answered.
      const MessageBoxInfo box = WaitForMessageBox(Pid(), c.refusal);
      ASSERT_TRUE(AnswerPlyxBox(box, c.refusal, c.owned ? Main() : nullptr, c.owned ? IDOK : kLeaveOpen));
      ChooseSize(2);
      Click(Item(IDC_SPLIT));
      ASSERT_TRUE(AnswerBox(WaitForMessageBox(Pid(), "Select a File to Split"), IDOK));
      if (!c.owned) { ASSERT_TRUE(AnswerBox(box, IDOK)); }
      EXPECT_FALSE(Exists(c.path + ".001"));
    }
    ASSERT_NO_FATAL_FAILURE(ExpectHandedOver(next));
    EXPECT_TRUE(WaitFor([&] { return Text(IDC_SOURCE_FILE) == c.path; })) << Text(IDC_SOURCE_FILE);
    EXPECT_EQ(Texts({IDC_FILE_SIZE_TEXT, IDC_PART_COUNT_TEXT}), c.sizes);
    if (c.refusal.empty()) {
      EXPECT_EQ(Text(IDC_DEST_FOLDER), temp.Path());
      EXPECT_TRUE(WaitForFocus(IDC_SPLIT));
    }
  }
  CloseAndExpectExitZero();
}

// To the notification area (a fresh key turns "MinToSysTray" on) until a
// double click or a second start, else to the taskbar. Mended fault: hidden
// when the icon could not be added, the window had no way back.
TEST_F(Window, MinimiseGoesToTheNotificationAreaOrTheTaskbarAndComesBack) {
  const std::string source = temp / "setup.exe";
  ASSERT_TRUE(WriteBytes(source, PatternBytes(2000)));
  ASSERT_TRUE(StartMain(""));
  auto minimise = [&] { return Minimise([&] { return !IsWindowVisible(Main()) && TrayIconShown(); }); };
  ASSERT_TRUE(minimise()) << "visible " << IsWindowVisible(Main()) << ", icon " << TrayIconShown();
  EXPECT_FALSE(IsIconic(Main())) << "hidden, not minimised";
  // What the icon reports, in order, and how window and icon stand after each.
  const struct { LPARAM mouse; bool visible, icon; } clicks[] = {
      {WM_LBUTTONDOWN, false, true}, {WM_LBUTTONUP, false, true}, {WM_RBUTTONUP, false, true},
      {WM_LBUTTONDBLCLK, true, true},  // the icon goes with the button-up that ends the double click
      {WM_LBUTTONUP, true, false},
  };
  for (const auto& click : clicks) {
    PostMessageA(Main(), WM_PLYX_TRAY, 103, click.mouse);
    ASSERT_TRUE(Settle());
    EXPECT_EQ(IsWindowVisible(Main()) != FALSE, click.visible) << click.mouse;
    EXPECT_EQ(TrayIconShown(), click.icon) << click.mouse;
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

// Help opens the viewer on PLYX.chm beside plyx.exe; a copy elsewhere names the
// file it misses. Mended faults: with a refused destination in its box, the
// viewer taking the focus (or a minimise) brought the refusal back until PLYX
// crashed; a close from outside while the system menu was open ended the menu,
// not PLYX, which then could not be closed at all.
TEST_F(Window, HelpOpensTheHelpViewerOrNamesTheMissingFile) {
  const std::string exe = PlyxExePath();
  ASSERT_TRUE(Exists(exe.substr(0, exe.find_last_of('\\') + 1) + "PLYX.chm")) << "no PLYX.chm beside plyx.exe";
  ASSERT_TRUE(StartMain(""));
  Type(IDC_DEST_FOLDER, "Z:\\tmp\\what?name");
  for (int opened = 1; opened <= 3; ++opened) {
    SCOPED_TRACE(opened);
    Click(Item(IDC_HELP_BUTTON));
    HWND help = WaitForWindow(Pid(), [](HWND w) { return ClassOf(w) == "HH Parent"; }, 20000);
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
  ASSERT_TRUE(WaitForWindow(Pid(), [](HWND w) { return ClassOf(w) == "#32768"; }));
  PostMessageA(Main(), WM_CLOSE, 0, 0);  // as taskkill without /f
  ExpectExitZero();

  ASSERT_TRUE(CopyFileA(exe.c_str(), (temp / "plyx.exe").c_str(), FALSE));
  ASSERT_TRUE(StartMain("", temp / "plyx.exe"));
  Click(Item(IDC_HELP_BUTTON));
  ASSERT_TRUE(AnswerPlyxBox(NextMessageBox(),
                            "Cannot Find File \n\n " + temp / "PLYX.chm" + " \n\n Please re install the Help File", Main(), IDOK));
  CloseAndExpectExitZero();
}

}  // namespace
