// The request steps on the real main-window template: what a chosen file
// shows, which files are refused and what is left behind, the order and focus
// of the Split refusals, and the reset after a split.
#include <gtest/gtest.h>

#include "request.h"
#include "request_main_window.h"

using namespace request_test;

namespace {

class RequestStepsTest : public MainWindowTest {
 protected:
  void Choose(const std::string& path) {  // as the file picker does
    SetText(SplitJob.sourcePath, path);
    OnSourceFileChosen(dialog_);
  }
};

TEST_F(RequestStepsTest, AChosenFileShowsItsSizesAndItsFolderBecomesTheDestination) {
  const struct {
    unsigned long long bytes;
    std::uint32_t partSize;
    const char *fileText, *countText, *splitText;
  } cases[] = {
      {0, 1457664, "File Size : 0 Bytes", "Num of Split Parts : 1", "Split Size : 1.39 MB"},
      {1457665, 1457664, "File Size : 1.39 MB", "Num of Split Parts : 2", "Split Size : 1.39 MB"},
      {300000000, 262144, "File Size : 0.28 GB", "Num of Split Parts : 1145", "Split Size : 256.00 KB"},
      {4294967295ull, 1457664, "File Size : 4.00 GB", "Num of Split Parts : 2947", "Split Size : 1.39 MB"},
  };
  BoxScript boxes;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes);
    const std::string path = temp_ / (std::to_string(c.bytes) + ".bin");
    ASSERT_TRUE(MakeSizedFile(path, c.bytes));
    SplitJob.partSize = c.partSize;
    SplitJob.destFolder[0] = '\0';
    Choose(path);
    EXPECT_EQ(SplitJob.fileSize, static_cast<std::uint32_t>(c.bytes));
    EXPECT_EQ(Text(IDC_FILE_SIZE_TEXT) + " | " + Text(IDC_PART_COUNT_TEXT) + " | " + Text(IDC_SPLIT_SIZE_TEXT),
              std::string(c.fileText) + " | " + c.countText + " | " + c.splitText);
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

TEST_F(RequestStepsTest, SplitIsRefusedAtTheFirstFailingCheckWithTheFocusOnItsField) {
  const std::string file = temp_ / "data.bin", tooMany =
      "Choose a split size, such that the number of split parts does not exceed 999 !";
  ASSERT_TRUE(MakeSizedFile(file, 5));
  const struct {
    std::string source, dest;
    std::uint32_t parts;
    std::string message;  // empty: accepted
    int focus;
    bool selected;
  } cases[] = {
      {"", "", 0, "Select a File to Split", IDC_SOURCE_FILE, false},
      {temp_ / "gone.bin", "", 0, "File does not Exist", IDC_SOURCE_FILE, true},
      {file, "", 0, "Select a Destination Folder", IDC_DEST_FOLDER, false},
      {file, file, 1, "Directory not Valid / Insert Disk & Retry", IDC_DEST_FOLDER, true},
      {file, temp_.path(), 1145, tooMany, IDC_SIZE_LIST, false},
      {file, temp_.path(), 0, tooMany, IDC_SIZE_LIST, false},
      {file, temp_.path(), 999, "", IDC_CLOSE, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    SetText(SplitJob.sourcePath, c.source);
    SetText(SplitJob.destFolder, c.dest);
    SplitJob.partCount = c.parts;
    SetDlgItemTextA(dialog_, IDC_SOURCE_FILE, c.source.c_str());
    SetDlgItemTextA(dialog_, IDC_DEST_FOLDER, c.dest.c_str());
    SetFocus(Item(IDC_CLOSE));
    BoxScript boxes;
    EXPECT_EQ(CheckSplitRequest(dialog_), c.message.empty());
    const auto seen = boxes.Seen();
    ASSERT_EQ(seen.size(), c.message.empty() ? 0u : 1u);
    if (!seen.empty()) ExpectBox(seen[0], c.message, BoxIcon::kInformation, {IDOK}, dialog_);
    EXPECT_TRUE(HasFocus(c.focus));
    EXPECT_TRUE(!c.selected || WholeTextSelected(c.focus));
  }
}

TEST_F(RequestStepsTest, ResetEmptiesTheRequestButKeepsTheDestination) {
  const std::string path = temp_ / "some.bin";
  ASSERT_TRUE(MakeSizedFile(path, 3000000));
  SplitJob.partSize = 262144;
  SendDlgItemMessageA(dialog_, IDC_SIZE_LIST, CB_SETCURSEL, 0, 0);
  Choose(path);
  ASSERT_EQ(SplitJob.partCount, 12u);

  ResetSplitRequest(dialog_);
  EXPECT_EQ(SplitJob.fileSize + SplitJob.partCount, 0u);
  EXPECT_EQ(SplitJob.partSize, 1457664u);
  EXPECT_STREQ(SplitJob.sourcePath, "");
  EXPECT_EQ(Text(IDC_FILE_SIZE_TEXT) + " | " + Text(IDC_PART_COUNT_TEXT) + " | " + Text(IDC_SPLIT_SIZE_TEXT),
            "File Size : 0KB | Num of Split Parts : 0 | Split Size : 1.38MB");
  EXPECT_EQ(Text(IDC_SOURCE_FILE) + "|" + Text(IDC_SIZE_LIST), "|1.44 MB (Floppy Disk)");
  EXPECT_EQ(SplitJob.destFolder + ("|" + Text(IDC_DEST_FOLDER)), temp_.path() + "|" + temp_.path());
  EXPECT_TRUE(HasFocus(IDC_SOURCE_FILE));

  Choose(path);
  EXPECT_EQ(Text(IDC_SPLIT_SIZE_TEXT), "Split Size : 1.39 MB");
}

}  // namespace
