// The main dialog driven by its messages: minimise and restore through the
// taskbar or the notification area, the hand-over (also during a split), and
// the teardown that must run once.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app_fixture.h"
#include "resource_ids.h"
#include "support/temp_dir.h"
#include "support/ui_driver.h"

namespace {

enum Step { kMinimise, kRestore, kDoubleClick, kButtonUp, kOtherClicks, kHandOver };
const char* const kStepNames[] = {"minimise", "restore", "double click", "button up", "other clicks", "hand-over"};

void Perform(HWND dialog, Step step) {
  switch (step) {
    case kMinimise: SendMessageA(dialog, WM_SYSCOMMAND, SC_MINIMIZE, 0); break;
    case kRestore: SendMessageA(dialog, WM_SYSCOMMAND, SC_RESTORE, 0); break;
    case kDoubleClick: SendMessageA(dialog, WM_USER + 1000, 103, WM_LBUTTONDBLCLK); break;
    case kButtonUp: SendMessageA(dialog, WM_USER + 1000, 103, WM_LBUTTONUP); break;
    case kOtherClicks:
      for (UINT mouse : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK}) {
        SendMessageA(dialog, WM_USER + 1000, 103, mouse);
      }
      break;
    case kHandOver: SendHandOver(dialog, ""); break;
  }
}

// NIM_MODIFY succeeds only for an icon that exists.
bool TrayIconPresent(HWND window) {
  NOTIFYICONDATAA record;
  FillTrayRecord(window, false, &record);
  return Shell_NotifyIconA(NIM_MODIFY, &record) != FALSE;
}

TEST_F(MainDialogTest, DisplayStateFollowsMinimiseRestoreTrayClicksAndHandOver) {
  struct Case {
    bool toTray;
    std::vector<Step> steps;
    int state;
    bool visible, iconic, icon;
  } cases[] = {
      {false, {kMinimise}, kDisplayTaskbar, true, true, false},
      {false, {kMinimise, kRestore}, kDisplayShown, true, false, false},
      {false, {kMinimise, kHandOver}, kDisplayShown, true, false, false},
      // Wine's taskbar has no notification area: the window must hide all the same.
      {true, {kMinimise}, kDisplayTray, false, false, true},
      {true, {kMinimise, kButtonUp, kOtherClicks}, kDisplayTray, false, false, true},
      {true, {kMinimise, kDoubleClick}, kDisplayTray, true, false, true},
      {true, {kMinimise, kDoubleClick, kButtonUp}, kDisplayShown, true, false, false},
      {true, {kMinimise, kHandOver}, kDisplayShown, true, false, false},
      {true, {kMinimise, kDoubleClick, kHandOver, kButtonUp, kMinimise}, kDisplayTray, false, false, true},
  };
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    const Case& c = cases[i];
    std::string trace = "case " + std::to_string(i) + (c.toTray ? " (tray):" : " (taskbar):");
    for (Step step : c.steps) trace += std::string(" ") + kStepNames[step];
    SCOPED_TRACE(trace);
    ASSERT_NE(Open(c.toTray), nullptr);
    for (Step step : c.steps) Perform(dialog_, step);
    EXPECT_EQ(DisplayState, c.state);
    EXPECT_EQ(IsWindowVisible(dialog_) != FALSE, c.visible);
    EXPECT_EQ(IsIconic(dialog_) != FALSE, c.iconic);
    EXPECT_EQ(TrayIconPresent(dialog_), c.icon);
    TearDown();
    SetUp();
  }
}

TEST(TakeHandOverText, TakesWhatFitsAPathBufferAndNothingElse) {
  const std::string fits(259, 'a'), tooLong(260, 'a');
  struct Case {
    const char* name;
    ULONG_PTR tag;
    DWORD size;
    const void* data;
    bool taken;
    std::string text;
  } cases[] = {
      {"empty", 0x12345678, 0, nullptr, true, ""},
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

TEST_F(MainDialogTest, HandOverTakesAnExistingPathAndOtherwiseOnlyBringsTheWindowBack) {
  TempDir folder;
  const std::string first = folder / "first.bin", second = folder / "second.bin";
  ASSERT_TRUE(WriteWholeFile(first, "1") && WriteWholeFile(second, "22"));
  struct Case {
    const char* name;
    std::string text;
    ULONG_PTR tag;
    std::string expectedFile;
  } cases[] = {
      {"existing file", second, 0x12345678, second},
      {"missing file", folder / "none.bin", 0x12345678, first},
      {"quoted path", "\"" + second + "\"", 0x12345678, first},
      {"260 bytes and more", second + std::string(300, '\\'), 0x12345678, first},
      {"other tag", second, 0x87654321, first},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_NE(Open(), nullptr);
    SendHandOver(dialog_, first);
    ShowWindow(dialog_, SW_HIDE);
    EXPECT_EQ(SendHandOver(dialog_, c.text, c.tag), FALSE);
    EXPECT_EQ(Text(IDC_SOURCE_FILE), c.expectedFile);
    EXPECT_EQ(std::string(SplitJob.sourcePath), c.expectedFile);
    EXPECT_EQ(IsWindowVisible(dialog_) != FALSE, c.tag == 0x12345678) << "window comes back";
    TearDown();
    SetUp();
  }
}

TEST_F(MainDialogTest, HandOverDuringSplitLeavesTheRequestToTheWorker) {
  TempDir folder;
  const std::string file = folder / "big.bin", other = folder / "other.bin";
  ASSERT_TRUE(WriteWholeFile(file, std::string(600000, 'q')) && WriteWholeFile(other, "o"));
  // An existing first part makes the run stop and ask: the split is surely running.
  ASSERT_TRUE(WriteWholeFile(file + ".001", "old"));
  ASSERT_NE(Open(), nullptr);
  SendHandOver(dialog_, file);
  HWND sizeList = GetDlgItem(dialog_, IDC_SIZE_LIST);
  SendMessageA(sizeList, CB_SETCURSEL, 0, 0);  // 256 KB: three parts
  SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(IDC_SIZE_LIST, CBN_SELCHANGE), reinterpret_cast<LPARAM>(sizeList));
  const std::string destBefore = SplitJob.destFolder;

  struct {
    bool running = false;
    std::string source, dest, box;
    std::uint32_t fileSize = 0, partCount = 0;
  } during;
  HWND dialog = dialog_;
  MessageBoxAnswerer answerer(0, [&](const MessageBoxInfo& box) {
    if (box.text.find("exists already") == std::string::npos) return IDOK;
    SendHandOver(dialog, other);
    during = {SplitInProgress(), SplitJob.sourcePath, SplitJob.destFolder,
              TextOf(GetDlgItem(dialog, IDC_SOURCE_FILE)), SplitJob.fileSize, SplitJob.partCount};
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

  SendHandOver(dialog_, other);
  EXPECT_EQ(Text(IDC_SOURCE_FILE), other) << "taken up again once the split is over";
}

TEST_F(MainDialogTest, TeardownRunsOnceForEveryLaterDestroy) {
  ASSERT_NE(Open(), nullptr);
  SendMessageA(dialog_, WM_DESTROY, 0, 0);  // as posted by Close
  EXPECT_EQ(MainTeardownRuns(), 1);
  EXPECT_TRUE(TakeQuit());
  SendMessageA(dialog_, WM_DESTROY, 0, 0);
  DestroyWindow(dialog_);  // the system's own
  EXPECT_EQ(MainTeardownRuns(), 1);
  EXPECT_FALSE(TakeQuit()) << "a second teardown posted another quit";
}

}  // namespace
