// The request steps on the real main-window template: what a chosen file
// shows, which files are refused and what is left behind. The Split refusals
// and the reset after a split are walked end to end in journey_split_test.cpp.
#include <gtest/gtest.h>

#include <cstdio>

#include "request.h"
#include "request_main_window.h"

using namespace request_test;

namespace {

class RequestStepsTest : public MainWindowTest {
 protected:
  void Choose(const std::string& path) {  // as the file picker does
    ASSERT_LT(path.size(), sizeof SplitJob.sourcePath);
    std::snprintf(SplitJob.sourcePath, sizeof SplitJob.sourcePath, "%s", path.c_str());
    OnSourceFileChosen(dialog_);
  }
};

TEST_F(RequestStepsTest, AChosenFileShowsItsSizesAndItsFolderBecomesTheDestination) {
  const struct {
    unsigned long long bytes;
    const char* texts;  // file size | part count | split size, at the floppy preset
  } cases[] = {
      {0, "File Size : 0 Bytes | Num of Split Parts : 1 | Split Size : 1.39 MB"},
      {4294967295ull, "File Size : 4.00 GB | Num of Split Parts : 2947 | Split Size : 1.39 MB"},
  };
  BoxScript boxes;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes);
    const std::string path = temp_ / (std::to_string(c.bytes) + ".bin");
    ASSERT_TRUE(MakeSizedFile(path, c.bytes));
    SplitJob.destFolder[0] = '\0';
    Choose(path);
    EXPECT_EQ(SplitJob.fileSize, static_cast<std::uint32_t>(c.bytes));
    EXPECT_EQ(Text(IDC_FILE_SIZE_TEXT) + " | " + Text(IDC_PART_COUNT_TEXT) + " | " + Text(IDC_SPLIT_SIZE_TEXT),
              c.texts);
    EXPECT_EQ(Text(IDC_SOURCE_FILE), path);
    EXPECT_EQ(SplitJob.destFolder + (" | " + Text(IDC_DEST_FOLDER)), temp_.path() + " | " + temp_.path());
    EXPECT_TRUE(HasFocus(IDC_SPLIT));
  }
  EXPECT_TRUE(boxes.Seen().empty());
}

TEST_F(RequestStepsTest, ARefusedFileLeavesNoSizeOrCountOfTheEarlierFile) {
  const std::string earlier = temp_ / "earlier.bin", huge = temp_ / "huge.bin", folder = temp_ / "folder.bin";
  ASSERT_TRUE(MakeSizedFile(earlier, 3000000) && MakeSizedFile(huge, 4294967296ull));
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  const struct {
    std::string path, message;
    bool owned;
  } cases[] = {
      {huge, "File Size More the 4 GB ! \n PLYX cannot handle files bigger than 4GB", true},
      {folder, "Unexpected Error : File Open Failure : 0005", false},
      {temp_ / "missing.bin", "Unexpected Error : File Open Failure : 0005", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    Choose(earlier);
    ASSERT_EQ(SplitJob.partCount, 3u);
    SetFocus(Item(IDC_SOURCE_FILE));
    BoxScript boxes;
    Choose(c.path);
    ASSERT_EQ(boxes.Seen().size(), 1u);
    ExpectBox(boxes.Seen()[0], c.message, BoxIcon::kStop, {IDOK}, c.owned ? dialog_ : nullptr);
    EXPECT_EQ(SplitJob.fileSize + SplitJob.partCount, 0u);
    EXPECT_EQ(Text(IDC_FILE_SIZE_TEXT) + " | " + Text(IDC_PART_COUNT_TEXT), "File Size : 0KB | Num of Split Parts : 0");
    EXPECT_TRUE(HasFocus(IDC_SOURCE_FILE));
    EXPECT_FALSE(CheckSplitRequest(dialog_));  // not with the earlier file's three parts
  }
}

}  // namespace
