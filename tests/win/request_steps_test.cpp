// The request steps on the real "PLYX" template behind a minimal procedure:
// what a chosen file shows, which files are refused and what is left behind.
// The Split refusals, the custom size, the typed destination and the reset
// after a split are walked end to end in tests/e2e.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "globals.h"
#include "request.h"
#include "resource_ids.h"
#include "settings.h"
#include "size_presets.h"
#include "split_job.h"
#include "support/files.h"
#include "support/split_fakes.h"
#include "support/ui_driver.h"

namespace {

// Fills the size list as the main dialog's initialisation does; nothing else.
INT_PTR CALLBACK MinimalMainProc(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message != WM_INITDIALOG) return FALSE;
  for (const SizePreset& preset : SizePresets) {
    SendDlgItemMessageA(dialog, IDC_SIZE_LIST, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(preset.text));
  }
  SendDlgItemMessageA(dialog, IDC_SIZE_LIST, CB_SETCURSEL, kFloppyPresetIndex, 0);
  return TRUE;
}

class RequestStepsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InstanceHandle = GetModuleHandleA(nullptr);
    AppSettings = nullptr;
    FillJob(SplitJob, "", "", 0, kFloppyPartSize, 0);
    dialog = CreateDialogParamA(InstanceHandle, "PLYX", nullptr, MinimalMainProc, 0);
    ASSERT_NE(dialog, nullptr);
  }
  void TearDown() override { DestroyWindow(dialog); }

  void Choose(const std::string& path) {  // as the file picker does
    std::snprintf(SplitJob.sourcePath, sizeof SplitJob.sourcePath, "%s", path.c_str());
    OnSourceFileChosen(dialog);
  }
  std::string Text(int id) const { return TextOf(GetDlgItem(dialog, id)); }

  HWND dialog = nullptr;
  TempFolder temp;
};

// Bound: a file of 4 GB less one byte still gets its size and part count.
TEST_F(RequestStepsTest, AChosenFileShowsItsSizesAndItsFolderBecomesTheDestination) {
  const struct { unsigned long long bytes; const char* texts; } cases[] = {  // at the floppy preset
      {0, "File Size : 0 Bytes | Num of Split Parts : 1 | Split Size : 1.39 MB"},
      {4294967295ull, "File Size : 4.00 GB | Num of Split Parts : 2947 | Split Size : 1.39 MB"},
  };
  BoxAnswerer boxes;
  for (const auto& c : cases) {
    const std::string path = temp / (std::to_string(c.bytes) + ".bin");
    ASSERT_TRUE(MakeSparseFile(path, c.bytes));
    SplitJob.destFolder[0] = '\0';
    Choose(path);
    EXPECT_EQ(SplitJob.fileSize, static_cast<std::uint32_t>(c.bytes));
    EXPECT_EQ(Text(IDC_FILE_SIZE_TEXT) + " | " + Text(IDC_PART_COUNT_TEXT) + " | " + Text(IDC_SPLIT_SIZE_TEXT), c.texts);
    EXPECT_EQ(Text(IDC_SOURCE_FILE), path);
    EXPECT_EQ(SplitJob.destFolder + (" | " + Text(IDC_DEST_FOLDER)), temp.Path() + " | " + temp.Path());
    EXPECT_TRUE(HasFocus(GetDlgItem(dialog, IDC_SPLIT)));
  }
  EXPECT_TRUE(boxes.Seen().empty());
}

// Mended fault: a refused file must not leave the earlier file's size and
// count behind for Split to cut by.
TEST_F(RequestStepsTest, ARefusedFileLeavesNoSizeOrCountOfTheEarlierFile) {
  const std::string earlier = temp / "earlier.bin", huge = temp / "huge.bin";
  ASSERT_TRUE(MakeSparseFile(earlier, 3000000) && MakeSparseFile(huge, 4294967296ull));
  const struct { std::string path, message; bool owned; } cases[] = {
      {huge, "File Size More the 4 GB ! \n PLYX cannot handle files bigger than 4GB", true},
      {temp.MakeFolder("folder.bin"), "Unexpected Error : File Open Failure : 0005", false},
      {temp / "missing.bin", "Unexpected Error : File Open Failure : 0005", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    Choose(earlier);
    ASSERT_EQ(SplitJob.partCount, 3u);
    SetFocus(GetDlgItem(dialog, IDC_SOURCE_FILE));
    BoxAnswerer boxes;
    Choose(c.path);
    ASSERT_EQ(boxes.Seen().size(), 1u);
    const MessageBoxInfo box = boxes.Seen()[0];
    EXPECT_EQ(box.caption + " | " + box.text, kPlyxTitle + (" | " + c.message));
    EXPECT_TRUE(box.buttons == std::vector<int>{IDOK} && box.owner == (c.owned ? dialog : nullptr));
    EXPECT_EQ(SplitJob.fileSize + SplitJob.partCount, 0u);
    EXPECT_EQ(Text(IDC_FILE_SIZE_TEXT) + " | " + Text(IDC_PART_COUNT_TEXT), "File Size : 0KB | Num of Split Parts : 0");
    EXPECT_TRUE(HasFocus(GetDlgItem(dialog, IDC_SOURCE_FILE)));
    EXPECT_FALSE(CheckSplitRequest(dialog));  // not with the earlier file's three parts
  }
}

}  // namespace
