// The main dialog, modeless on the test's thread over a fresh registry key and
// split request: the hand-over's limits and the teardown that must run once.
// A hand-over that is taken, minimise and the tray are driven in tests/e2e.
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

class MainDialogTest : public PlyxKeyTest {
 protected:
  void SetUp() override {
    PlyxKeyTest::SetUp();
    InstanceHandle = GetModuleHandleA(nullptr);
    ResetSplitJob();
    AppSettings = new Settings;
    AppSettings->SetUseMRUD(false);
    dialog_ = CreateDialogParamA(InstanceHandle, "PLYX", nullptr, MainDialog, 0);
    ASSERT_NE(dialog_, nullptr);
  }
  void TearDown() override {
    if (dialog_ != nullptr && IsWindow(dialog_)) DestroyWindow(dialog_);
    while (TakeQuit()) continue;
    delete AppSettings;
    AppSettings = nullptr;
    ResetSplitJob();
    PlyxKeyTest::TearDown();
  }

  HWND dialog_ = nullptr;
};

TEST(TakeHandOverText, TakesWhatFitsAPathBufferAndNothingElse) {
  const std::string fits(259, 'a'), tooLong(260, 'a');
  const struct {
    DWORD size;
    const void* data;
    bool taken;
    std::string text;
  } cases[] = {
      {2, "C:\\ab", true, "C:"},  // no terminator counted
      {259, fits.data(), true, fits},
      {260, tooLong.data(), false, ""},
      {0x7FFFFFFF, tooLong.data(), false, ""},
      {5, nullptr, false, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.size);
    COPYDATASTRUCT data{0x12345678, c.size, const_cast<void*>(c.data)};
    char text[260];
    std::memset(text, 'Z', sizeof text);
    EXPECT_EQ(TakeHandOverText(&data, text, sizeof text), c.taken);
    EXPECT_EQ(std::string(text), c.text);
  }
}

// A missing file only brings the window back; another tag is ignored.
TEST_F(MainDialogTest, HandOverOfAMissingFileOrWithAnotherTagKeepsTheRequest) {
  TempDir folder;
  const std::string kept = folder / "kept.bin", other = folder / "other.bin";
  ASSERT_TRUE(WriteWholeFile(kept, "1") && WriteWholeFile(other, "22"));
  const std::pair<std::string, ULONG_PTR> handOvers[] = {
      {kept, 0x12345678}, {folder / "none.bin", 0x12345678}, {other, 0x87654321}};
  for (const auto& [text, tag] : handOvers) {
    ShowWindow(dialog_, SW_HIDE);
    COPYDATASTRUCT data{tag, static_cast<DWORD>(text.size()), const_cast<char*>(text.data())};
    EXPECT_EQ(SendMessageA(dialog_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)), FALSE);
    EXPECT_EQ(TextOf(GetDlgItem(dialog_, IDC_SOURCE_FILE)) + " | " + SplitJob.sourcePath, kept + " | " + kept);
    EXPECT_EQ(IsWindowVisible(dialog_) != FALSE, tag == 0x12345678) << text;
  }
}

TEST_F(MainDialogTest, TeardownRunsOnceForEveryLaterDestroy) {
  SendMessageA(dialog_, WM_DESTROY, 0, 0);  // as posted by Close
  EXPECT_EQ(MainTeardownRuns(), 1);
  EXPECT_TRUE(TakeQuit());
  SendMessageA(dialog_, WM_DESTROY, 0, 0);
  DestroyWindow(dialog_);  // the system's own
  EXPECT_EQ(MainTeardownRuns(), 1);
  EXPECT_FALSE(TakeQuit()) << "a second teardown posted another quit";
}

}  // namespace
