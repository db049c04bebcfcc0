// The main dialog as its messages drive it: initialisation, the hand-over,
// minimise and restore through the taskbar or the notification area, the
// split sequence and the teardown that must run once.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "app_fixture.h"
#include "resource_ids.h"
#include "support/temp_dir.h"
#include "support/ui_driver.h"

namespace {

std::vector<std::string> ListItems(HWND combo) {
  std::vector<std::string> items;
  const LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    char text[300] = {};
    SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    items.push_back(text);
  }
  return items;
}

// --- Initialisation ---------------------------------------------------------

TEST_F(MainDialogTest, StartsWithFloppyPresetFocusInFileBoxAndIcon) {
  ASSERT_NE(Open(), nullptr);
  HWND sizeList = GetDlgItem(dialog_, IDC_SIZE_LIST);
  const auto sizes = ListItems(sizeList);
  ASSERT_EQ(sizes.size(), 7u);
  EXPECT_EQ(SendMessageA(sizeList, CB_GETCURSEL, 0, 0), 3);
  EXPECT_EQ(sizes[3], "1.44 MB (Floppy Disk)");
  EXPECT_EQ(GetFocus(), GetDlgItem(dialog_, IDC_SOURCE_FILE));
  EXPECT_EQ(MainWindowHandle, dialog_);
  EXPECT_EQ(DisplayState, kDisplayShown);
  EXPECT_TRUE(ListItems(GetDlgItem(dialog_, IDC_DEST_FOLDER)).empty());
  EXPECT_EQ(reinterpret_cast<HICON>(GetClassLongPtrA(dialog_, GCLP_HICON)),
            LoadIconA(InstanceHandle, MAKEINTRESOURCEA(IDI_PLYX)));
}

TEST_F(MainDialogTest, CommandLineFileIsShownWithFocusOnSplit) {
  TempDir folder;
  const std::string file = folder / "given.bin";
  ASSERT_TRUE(WriteWholeFile(file, std::string(5000, 'x')));
  std::snprintf(SplitJob.sourcePath, sizeof SplitJob.sourcePath, "%s", file.c_str());
  ASSERT_NE(Open(), nullptr);
  EXPECT_EQ(Text(IDC_SOURCE_FILE), file);
  EXPECT_EQ(SplitJob.fileSize, 5000u);
  EXPECT_EQ(GetFocus(), GetDlgItem(dialog_, IDC_SPLIT));
}

TEST_F(MainDialogTest, HistoryIsListedNewestFirstAndShownOnlyWithUseMRUD) {
  struct Case {
    bool useMRUD;
    const char* expectedEdit;
  } cases[] = {{true, "C:\\third\\"}, {false, ""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.useMRUD ? "UseMRUD on" : "UseMRUD off");
    UseStore(false, c.useMRUD, {"C:\\first\\", "C:\\second\\", "C:\\third\\"});
    ASSERT_NE(Open(), nullptr);
    EXPECT_EQ(ListItems(GetDlgItem(dialog_, IDC_DEST_FOLDER)),
              (std::vector<std::string>{"C:\\third\\", "C:\\second\\", "C:\\first\\"}));
    EXPECT_EQ(Text(IDC_DEST_FOLDER), c.expectedEdit);
    EXPECT_STREQ(SplitJob.destFolder, c.expectedEdit);
    TearDown();
    SetUp();
  }
}

// --- Minimise, restore and the notification area ----------------------------

enum class Step { kMinimise, kRestore, kDoubleClick, kButtonUp, kSingleClick, kRightClick, kHandOver };

const char* StepName(Step step) {
  switch (step) {
    case Step::kMinimise: return "minimise";
    case Step::kRestore: return "restore";
    case Step::kDoubleClick: return "double click";
    case Step::kButtonUp: return "button up";
    case Step::kSingleClick: return "single click";
    case Step::kRightClick: return "right click";
    case Step::kHandOver: return "hand-over";
  }
  return "?";
}

void Perform(HWND dialog, Step step) {
  switch (step) {
    case Step::kMinimise: SendMessageA(dialog, WM_SYSCOMMAND, SC_MINIMIZE, 0); break;
    case Step::kRestore: SendMessageA(dialog, WM_SYSCOMMAND, SC_RESTORE, 0); break;
    case Step::kDoubleClick: SendMessageA(dialog, WM_USER + 1000, 103, WM_LBUTTONDBLCLK); break;
    case Step::kButtonUp: SendMessageA(dialog, WM_USER + 1000, 103, WM_LBUTTONUP); break;
    case Step::kSingleClick:
      SendMessageA(dialog, WM_USER + 1000, 103, WM_LBUTTONDOWN);
      SendMessageA(dialog, WM_USER + 1000, 103, WM_LBUTTONUP);
      break;
    case Step::kRightClick:
      SendMessageA(dialog, WM_USER + 1000, 103, WM_RBUTTONDOWN);
      SendMessageA(dialog, WM_USER + 1000, 103, WM_RBUTTONUP);
      break;
    case Step::kHandOver: SendHandOver(dialog, ""); break;
  }
}

TEST_F(MainDialogTest, DisplayStateFollowsMinimiseRestoreTrayClicksAndHandOver) {
  struct Case {
    bool toTray;
    std::vector<Step> steps;
    int state;
    bool visible;
    bool iconic;
    bool icon;
  } cases[] = {
      {false, {Step::kMinimise}, kDisplayTaskbar, true, true, false},
      {false, {Step::kMinimise, Step::kRestore}, kDisplayShown, true, false, false},
      {false, {Step::kMinimise, Step::kHandOver}, kDisplayShown, true, false, false},
      {false, {Step::kHandOver}, kDisplayShown, true, false, false},
      // Where the notification area cannot be found the window must still hide.
      {true, {Step::kMinimise}, kDisplayTray, false, false, true},
      {true, {Step::kMinimise, Step::kButtonUp, Step::kSingleClick, Step::kRightClick}, kDisplayTray, false,
       false, true},
      {true, {Step::kMinimise, Step::kDoubleClick}, kDisplayTray, true, false, true},
      {true, {Step::kMinimise, Step::kDoubleClick, Step::kButtonUp}, kDisplayShown, true, false, false},
      {true, {Step::kMinimise, Step::kHandOver}, kDisplayShown, true, false, false},
      {true, {Step::kMinimise, Step::kDoubleClick, Step::kHandOver, Step::kButtonUp}, kDisplayShown, true,
       false, false},
      {true, {Step::kMinimise, Step::kDoubleClick, Step::kButtonUp, Step::kMinimise}, kDisplayTray, false,
       false, true},
  };
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    const Case& c = cases[i];
    std::string trace = "case " + std::to_string(i) + (c.toTray ? " (tray):" : " (taskbar):");
    for (Step step : c.steps) trace += std::string(" ") + StepName(step);
    SCOPED_TRACE(trace);
    UseStore(c.toTray, false);
    ASSERT_NE(Open(), nullptr);
    for (Step step : c.steps) Perform(dialog_, step);
    EXPECT_EQ(DisplayState, c.state);
    EXPECT_EQ(IsWindowVisible(dialog_) != FALSE, c.visible);
    EXPECT_EQ(IsIconic(dialog_) != FALSE, c.iconic);
    EXPECT_EQ(TrayIconPresent(dialog_), c.icon);
    EXPECT_FALSE(TrayRestorePending && c.state == kDisplayShown);
    TearDown();
    SetUp();
  }
}

TEST_F(MainDialogTest, MinimiseToTrayIsHandledSoTheSystemDoesNotMinimise) {
  UseStore(true, false);
  ASSERT_NE(Open(), nullptr);
  const LRESULT handled = DefDlgProcA(dialog_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_EQ(handled, 0);
  EXPECT_EQ(MainDialog(dialog_, WM_SYSCOMMAND, SC_MINIMIZE, 0), TRUE);
  EXPECT_EQ(GetWindowLongPtrA(dialog_, DWLP_MSGRESULT), 0);
  EXPECT_FALSE(IsIconic(dialog_));
}

// --- Hand-over ----------------------------------------------------------------

TEST(TakeHandOverText, TakesWhatFitsAPathBufferAndNothingElse) {
  const std::string fits(259, 'a');
  const std::string tooLong(260, 'a');
  struct Case {
    const char* name;
    ULONG_PTR tag;
    DWORD size;
    const void* data;
    bool taken;
    std::string text;
  } cases[] = {
      {"empty", 0x12345678, 0, nullptr, true, ""},
      {"plain", 0x12345678, 5, "C:\\ab", true, "C:\\ab"},
      {"no terminator counted", 0x12345678, 2, "C:\\ab", true, "C:"},
      {"259 bytes", 0x12345678, 259, fits.data(), true, fits},
      {"260 bytes", 0x12345678, 260, tooLong.data(), false, ""},
      {"huge", 0x12345678, 0x7FFFFFFF, tooLong.data(), false, ""},
      {"other tag", 0x1234, 5, "C:\\ab", false, ""},
      {"size without data", 0x12345678, 5, nullptr, false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    COPYDATASTRUCT data{c.tag, c.size, const_cast<void*>(c.data)};
    char text[260];
    std::memset(text, 'Z', sizeof text);
    EXPECT_EQ(TakeHandOverText(&data, text, sizeof text), c.taken);
    EXPECT_EQ(std::string(text), c.text);
  }
}

// A path of exactly `length` bytes to a file that exists.
std::string FileWithPathLength(const TempDir& folder, size_t length) {
  std::string path = folder.path();
  while (path.size() + 1 + 12 < length) {
    const size_t room = length - path.size() - 1 - 12;
    path += std::string(room < 60 ? room : 60, 'd') + "\\";
    CreateDirectoryA(path.c_str(), nullptr);
  }
  path += std::string(length - path.size(), 'f');
  WriteWholeFile(path, "abc");
  return path;
}

TEST_F(MainDialogTest, HandOverTakesAnExistingPathThatFitsAndOtherwiseKeepsTheRequest) {
  TempDir folder;
  const std::string first = folder / "first.bin";
  const std::string second = folder / "second.bin";
  ASSERT_TRUE(WriteWholeFile(first, std::string(1000, 'a')));
  ASSERT_TRUE(WriteWholeFile(second, std::string(2000, 'b')));
  const std::string longest = FileWithPathLength(folder, 259);
  ASSERT_EQ(longest.size(), 259u);
  ASSERT_NE(GetFileAttributesA(longest.c_str()), INVALID_FILE_ATTRIBUTES);
  const std::string cutOff = longest + "\\x";  // names nothing, and does not fit

  struct Case {
    const char* name;
    std::string text;
    ULONG_PTR tag;
    std::string expectedFile;
  } cases[] = {
      {"existing file", second, 0x12345678, second},
      {"missing file", folder / "none.bin", 0x12345678, first},
      {"quoted path", "\"" + second + "\"", 0x12345678, first},
      {"empty text", "", 0x12345678, first},
      {"other tag", second, 0x87654321, first},
      {"259-byte path", longest, 0x12345678, longest},
      {"260 bytes and more", cutOff, 0x12345678, first},
      {"far too long", std::string(5000, 'x'), 0x12345678, first},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_NE(Open(), nullptr);
    SendHandOver(dialog_, first);
    ASSERT_EQ(Text(IDC_SOURCE_FILE), first);
    ShowWindow(dialog_, SW_HIDE);

    EXPECT_EQ(SendHandOver(dialog_, c.text, c.tag), FALSE);
    EXPECT_EQ(Text(IDC_SOURCE_FILE), c.expectedFile);
    EXPECT_EQ(std::string(SplitJob.sourcePath), c.expectedFile);
    EXPECT_EQ(IsWindowVisible(dialog_) != FALSE, c.tag == 0x12345678) << "window comes back";
    TearDown();
    SetUp();
  }
}

// --- Split ---------------------------------------------------------------------

void ChooseSize(HWND dialog, int index) {
  HWND sizeList = GetDlgItem(dialog, IDC_SIZE_LIST);
  SendMessageA(sizeList, CB_SETCURSEL, index, 0);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_SIZE_LIST, CBN_SELCHANGE), reinterpret_cast<LPARAM>(sizeList));
}

TEST_F(MainDialogTest, SplitReportsSuccessRemembersDestinationAndResetsRequest) {
  UseStore(false, false);
  TempDir folder;
  const std::string file = folder / "big.bin";
  ASSERT_TRUE(WriteWholeFile(file, std::string(600000, 'q')));
  ASSERT_NE(Open(), nullptr);
  SendHandOver(dialog_, file);
  ChooseSize(dialog_, 0);  // 256 KB
  ASSERT_EQ(SplitJob.partCount, 3u);

  MessageBoxAnswerer answerer(0, [](const MessageBoxInfo&) { return IDOK; });
  SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(IDC_SPLIT, BN_CLICKED), 0);
  const auto seen = answerer.Seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text, "File\t : big.bin Split Successfully\n#Parts\t : 3 part(s) \nTarget Dir\t : " +
                              folder.path());
  EXPECT_EQ(seen[0].caption, "PLYX - Quorvant Ver 1.4");
  EXPECT_EQ(seen[0].icon, BoxIcon::kInformation);

  for (const char* part : {".001", ".002", ".003", ".bat"}) {
    EXPECT_NE(GetFileAttributesA((file + part).c_str()), INVALID_FILE_ATTRIBUTES) << part;
  }
  char newest[260] = {};
  ASSERT_TRUE(AppSettings->NextMRUD(newest, 1));
  EXPECT_EQ(std::string(newest), folder.path());
  EXPECT_EQ(Text(IDC_SOURCE_FILE), "");
  EXPECT_EQ(SendDlgItemMessageA(dialog_, IDC_SIZE_LIST, CB_GETCURSEL, 0, 0), 3);
  EXPECT_EQ(std::string(SplitJob.destFolder), folder.path()) << "the destination stays";
  EXPECT_FALSE(SplitInProgress());
}

TEST_F(MainDialogTest, HandOverDuringSplitBringsWindowBackButLeavesTheRequestAlone) {
  UseStore(false, false);
  TempDir folder;
  const std::string file = folder / "big.bin";
  const std::string other = folder / "other.bin";
  ASSERT_TRUE(WriteWholeFile(file, std::string(600000, 'q')));
  ASSERT_TRUE(WriteWholeFile(other, std::string(10, 'o')));
  // An existing first part makes the run stop and ask: the split is surely running.
  ASSERT_TRUE(WriteWholeFile(file + ".001", "old"));
  ASSERT_NE(Open(), nullptr);
  SendHandOver(dialog_, file);
  ChooseSize(dialog_, 0);
  const std::string destBefore = SplitJob.destFolder;

  struct Seen {
    bool running = false;
    std::string source, dest, box;
    std::uint32_t fileSize = 0, partCount = 0;
  } during;
  HWND dialog = dialog_;
  MessageBoxAnswerer answerer(0, [&](const MessageBoxInfo& box) {
    if (box.text.find("exists already") == std::string::npos) return IDOK;
    SendHandOver(dialog, other);
    during.running = SplitInProgress();
    during.source = SplitJob.sourcePath;
    during.dest = SplitJob.destFolder;
    during.fileSize = SplitJob.fileSize;
    during.partCount = SplitJob.partCount;
    during.box = TextOf(GetDlgItem(dialog, IDC_SOURCE_FILE));
    return IDCANCEL;
  });
  SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(IDC_SPLIT, BN_CLICKED), 0);

  EXPECT_TRUE(during.running);
  EXPECT_EQ(during.source, file);
  EXPECT_EQ(during.box, file);
  EXPECT_EQ(during.dest, destBefore);
  EXPECT_EQ(during.fileSize, 600000u);
  EXPECT_EQ(during.partCount, 3u);
  const auto seen = answerer.Seen();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1].text, "!!! File Split Cancelled, as requested !!!");
  char newest[260] = {};
  ASSERT_TRUE(AppSettings->NextMRUD(newest, 1));
  EXPECT_EQ(std::string(newest), folder.path()) << "a cancelled split is remembered too";
  EXPECT_EQ(Text(IDC_SOURCE_FILE), "");

  // With the split over, a hand-over is taken up again.
  SendHandOver(dialog_, other);
  EXPECT_EQ(Text(IDC_SOURCE_FILE), other);
}

// --- Commands that must do nothing and the end of PLYX --------------------------

TEST_F(MainDialogTest, EnterAndEscapeCommandsAreHandledAndDoNothing) {
  ASSERT_NE(Open(), nullptr);
  for (WORD id : {IDOK, IDCANCEL, IDC_ABOUT, IDC_BROWSE_FILE, IDC_BROWSE_FOLDER, IDC_CUSTOMIZE, 4242}) {
    SCOPED_TRACE(id);
    EXPECT_EQ(MainDialog(dialog_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0), TRUE);
    EXPECT_TRUE(IsWindow(dialog_));
    EXPECT_FALSE(QuitPending());
  }
}

TEST_F(MainDialogTest, TeardownRunsOnceForEveryLaterDestroy) {
  ASSERT_NE(Open(), nullptr);
  EXPECT_EQ(MainTeardownRuns(), 0);
  SendMessageA(dialog_, WM_DESTROY, 0, 0);
  EXPECT_EQ(MainTeardownRuns(), 1);
  EXPECT_TRUE(QuitPending());
  DrainQuit();
  SendMessageA(dialog_, WM_DESTROY, 0, 0);
  DestroyWindow(dialog_);
  EXPECT_EQ(MainTeardownRuns(), 1);
  EXPECT_FALSE(QuitPending()) << "a second teardown posted another quit";
}

TEST_F(MainDialogTest, CloseButtonAndTitleBarCloseEndTheModalDialog) {
  struct Case {
    const char* name;
    bool button;
  } cases[] = {{"Close button", true}, {"title-bar close", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::thread user([&] {
      HWND window = WaitForTopLevel(0, "PLYX - Quorvant Ver 1.4");
      if (window == nullptr) return;
      if (c.button) {
        PressButton(window, IDC_CLOSE, false);
      } else {
        PostMessageA(window, WM_CLOSE, 0, 0);
      }
    });
    DialogBoxParamA(InstanceHandle, "PLYX", nullptr, MainDialog, 0);
    user.join();
    EXPECT_EQ(MainTeardownRuns(), 1);
    EXPECT_FALSE(IsWindow(MainWindowHandle));
    DrainQuit();
  }
}

}  // namespace
