// The main dialog, modeless on the test's thread over a fresh registry key and
// split request, driven by its messages: the hand-over and the teardown that
// must run once. Minimise, the tray and a hand-over during a split are driven
// end to end in tests/e2e.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "globals.h"
#include "main_dialog.h"
#include "resource_ids.h"
#include "settings.h"
#include "settings_registry.h"
#include "split_job.h"
#include "support/temp_dir.h"
#include "support/ui_driver.h"

namespace {

void ResetSplitJob() {
  SplitJob.sourcePath[0] = SplitJob.destFolder[0] = '\0';
  SplitJob.fileSize = SplitJob.partCount = 0;
  SplitJob.partSize = kFloppyPartSize;
  SplitJob.currentPart = 1;
}

// A modal loop ended by the quit message posts it again for an outer loop that
// a test thread does not have; the next test's dialog must not end at once.
bool TakeQuit() {
  MSG msg;
  return PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
}

LRESULT SendHandOver(HWND dialog, const std::string& text, ULONG_PTR tag = 0x12345678) {
  COPYDATASTRUCT data{tag, static_cast<DWORD>(text.size()), const_cast<char*>(text.data())};
  return SendMessageA(dialog, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
}

class MainDialogTest : public PlyxKeyTest {
 protected:
  void SetUp() override {
    PlyxKeyTest::SetUp();
    InstanceHandle = GetModuleHandleA(nullptr);
    ResetSplitJob();
  }
  void TearDown() override {
    if (dialog_ != nullptr && IsWindow(dialog_)) DestroyWindow(dialog_);
    while (TakeQuit()) {
    }
    delete AppSettings;
    AppSettings = nullptr;
    ResetSplitJob();
    PlyxKeyTest::TearDown();
  }

  HWND Open() {
    AppSettings = new Settings;
    AppSettings->SetUseMRUD(false);
    return dialog_ = CreateDialogParamA(InstanceHandle, "PLYX", nullptr, MainDialog, 0);
  }

  HWND dialog_ = nullptr;
};

TEST(TakeHandOverText, TakesWhatFitsAPathBufferAndNothingElse) {
  const std::string fits(259, 'a'), tooLong(260, 'a');
  const struct {
    const char* name;
    DWORD size;
    const void* data;
    bool taken;
    std::string text;
  } cases[] = {
      {"empty", 0, nullptr, true, ""},
      {"no terminator counted", 2, "C:\\ab", true, "C:"},
      {"259 bytes", 259, fits.data(), true, fits},
      {"260 bytes", 260, tooLong.data(), false, ""},
      {"huge", 0x7FFFFFFF, tooLong.data(), false, ""},
      {"size without data", 5, nullptr, false, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    COPYDATASTRUCT data{0x12345678, c.size, const_cast<void*>(c.data)};
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
  const struct {
    std::string text;
    ULONG_PTR tag;
    std::string expectedFile;
  } cases[] = {{second, 0x12345678, second}, {folder / "none.bin", 0x12345678, first}, {second, 0x87654321, first}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text + " " + std::to_string(c.tag));
    ASSERT_NE(Open(), nullptr);
    SendHandOver(dialog_, first);
    ShowWindow(dialog_, SW_HIDE);
    EXPECT_EQ(SendHandOver(dialog_, c.text, c.tag), FALSE);
    EXPECT_EQ(TextOf(GetDlgItem(dialog_, IDC_SOURCE_FILE)), c.expectedFile);
    EXPECT_EQ(std::string(SplitJob.sourcePath), c.expectedFile);
    EXPECT_EQ(IsWindowVisible(dialog_) != FALSE, c.tag == 0x12345678) << "window comes back";
    TearDown();
    SetUp();
  }
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
