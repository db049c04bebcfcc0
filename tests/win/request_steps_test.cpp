// The request steps on the real main-window template: what a chosen file
// shows, which files are refused and what is left behind, the order and focus
// of the Split refusals, and the reset after a split.
#include <gtest/gtest.h>

#include "request.h"
#include "request_main_window.h"
#include "settings_registry.h"

using request_test::BoxScript;
using request_test::MainWindowTest;
using request_test::MakeSizedFile;
using request_test::SetText;

namespace {

constexpr char kTitle[] = "PLYX - Quorvant Ver 1.4";

class RequestStepsTest : public MainWindowTest {
 protected:
  // Chooses the file as the picker would.
  void Choose(const std::string& path) {
    SetText(SplitJob.sourcePath, path);
    OnSourceFileChosen(dialog_);
  }
};

TEST_F(RequestStepsTest, ChosenFileShowsItsSizesAndBecomesTheRequest) {
  const struct {
    unsigned long long bytes;
    std::uint32_t partSize;
    const char* fileText;
    const char* countText;
    const char* splitText;
  } cases[] = {
      {0, 1457664, "File Size : 0 Bytes", "Num of Split Parts : 1", "Split Size : 1.39 MB"},
      {1457664, 1457664, "File Size : 1.39 MB", "Num of Split Parts : 1", "Split Size : 1.39 MB"},
      {1457665, 1457664, "File Size : 1.39 MB", "Num of Split Parts : 2", "Split Size : 1.39 MB"},
      {2915328, 1457664, "File Size : 2.78 MB", "Num of Split Parts : 2", "Split Size : 1.39 MB"},
      {300000000, 262144, "File Size : 0.28 GB", "Num of Split Parts : 1145",
       "Split Size : 256.00 KB"},
      {4294967295ull, 1457664, "File Size : 4.00 GB", "Num of Split Parts : 2947",
       "Split Size : 1.39 MB"},
  };
  BoxScript boxes;
  int index = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << index << ", " << c.bytes << " bytes");
    const std::string path = temp_ / ("file" + std::to_string(index++) + ".bin");
    ASSERT_TRUE(MakeSizedFile(path, c.bytes));
    SplitJob.partSize = c.partSize;
    SplitJob.destFolder[0] = '\0';
    SetFocus(Item(IDC_SOURCE_FILE));

    Choose(path);

    EXPECT_EQ(SplitJob.fileSize, static_cast<std::uint32_t>(c.bytes));
    EXPECT_EQ(Text(IDC_FILE_SIZE_TEXT), c.fileText);
    EXPECT_EQ(Text(IDC_PART_COUNT_TEXT), c.countText);
    EXPECT_EQ(Text(IDC_SPLIT_SIZE_TEXT), c.splitText);
    EXPECT_EQ(Text(IDC_SOURCE_FILE), path);
    EXPECT_EQ(std::string(SplitJob.destFolder), temp_.path());
    EXPECT_EQ(Text(IDC_DEST_FOLDER), temp_.path());
    EXPECT_TRUE(HasFocus(IDC_SPLIT));
  }
  EXPECT_TRUE(boxes.Seen().empty()) << boxes.Seen().front().info.text;
}

TEST_F(RequestStepsTest, AnEmptyFilePassesTheSplitChecks) {
  const std::string path = temp_ / "empty.bin";
  ASSERT_TRUE(MakeSizedFile(path, 0));
  BoxScript boxes;
  Choose(path);
  EXPECT_EQ(SplitJob.partCount, 1u);
  EXPECT_TRUE(CheckSplitRequest(dialog_));
  EXPECT_TRUE(boxes.Seen().empty());
}

TEST_F(RequestStepsTest, TheHistoryDefaultKeepsTheDestination) {
  DeletePlyxKey();
  {
    Settings settings;
    ASSERT_TRUE(settings.SetUseMRUD(true));
    AppSettings = &settings;
    const std::string path = temp_ / "big.iso";
    ASSERT_TRUE(MakeSizedFile(path, 10));
    SetText(SplitJob.destFolder, "C:\\kept\\");
    SetDlgItemTextA(dialog_, IDC_DEST_FOLDER, "C:\\kept\\");
    Choose(path);
    AppSettings = nullptr;
    EXPECT_EQ(SplitJob.fileSize, 10u);
    EXPECT_STREQ(SplitJob.destFolder, "C:\\kept\\");
    EXPECT_EQ(Text(IDC_DEST_FOLDER), "C:\\kept\\");
  }
  DeletePlyxKey();
}

TEST_F(RequestStepsTest, ARefusedFileClearsTheEarlierFilesSizeAndCount) {
  const std::string earlier = temp_ / "earlier.bin";
  const std::string huge = temp_ / "huge.bin";
  ASSERT_TRUE(MakeSizedFile(earlier, 3000000));
  ASSERT_TRUE(MakeSizedFile(huge, 4294967296ull));
  BoxScript boxes;
  Choose(earlier);
  ASSERT_EQ(SplitJob.partCount, 3u);
  SetText(SplitJob.destFolder, temp_.path());
  SetFocus(Item(IDC_SOURCE_FILE));

  Choose(huge);

  const auto seen = boxes.Seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].info.text,
            "File Size More the 4 GB ! \n PLYX cannot handle files bigger than 4GB");
  EXPECT_EQ(seen[0].info.caption, kTitle);
  EXPECT_EQ(seen[0].info.icon, BoxIcon::kStop);
  EXPECT_EQ(seen[0].info.buttons, std::vector<int>({IDOK}));
  EXPECT_EQ(seen[0].owner, dialog_);
  EXPECT_EQ(SplitJob.fileSize, 0u);
  EXPECT_EQ(SplitJob.partCount, 0u);
  EXPECT_EQ(Text(IDC_FILE_SIZE_TEXT), "File Size : 0KB");
  EXPECT_EQ(Text(IDC_PART_COUNT_TEXT), "Num of Split Parts : 0");
  EXPECT_EQ(Text(IDC_SOURCE_FILE), huge);
  EXPECT_FALSE(HasFocus(IDC_SPLIT));

  // Split must not go on with the earlier file's three parts.
  EXPECT_FALSE(CheckSplitRequest(dialog_));
  ASSERT_EQ(boxes.Seen().size(), 2u);
  EXPECT_EQ(boxes.Seen()[1].info.text,
            "Choose a split size, such that the number of split parts does not exceed 999 !");
}

TEST_F(RequestStepsTest, AFileThatCannotBeOpenedIsRefusedWithoutOwner) {
  const std::string folder = temp_ / "folder.bin";
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  const std::string missing = temp_ / "missing.bin";
  for (const std::string& path : {folder, missing}) {
    SCOPED_TRACE(path);
    SplitJob.fileSize = 77;
    SplitJob.partCount = 1;
    BoxScript boxes;
    SetText(SplitJob.sourcePath, path);
    EXPECT_FALSE(ReadSourceFileSize(dialog_));
    const auto seen = boxes.Seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].info.text, "Unexpected Error : File Open Failure : 0005");
    EXPECT_EQ(seen[0].info.caption, kTitle);
    EXPECT_EQ(seen[0].info.icon, BoxIcon::kStop);
    EXPECT_EQ(seen[0].owner, nullptr);
    EXPECT_EQ(SplitJob.fileSize, 0u);
    EXPECT_EQ(SplitJob.partCount, 0u);
  }
}

TEST_F(RequestStepsTest, SplitIsRefusedAtTheFirstFailingCheck) {
  const std::string file = temp_ / "data.bin";
  ASSERT_TRUE(MakeSizedFile(file, 5));
  const std::string missing = temp_ / "gone.bin";
  const struct {
    std::string source, dest;
    std::uint32_t parts;
    const char* message;  // nullptr: accepted
    int focus;
    bool selected;
  } cases[] = {
      {"", "", 0, "Select a File to Split", IDC_SOURCE_FILE, false},
      {missing, "", 0, "File does not Exist", IDC_SOURCE_FILE, true},
      {file, "", 0, "Select a Destination Folder", IDC_DEST_FOLDER, false},
      {file, file, 1, "Directory not Valid / Insert Disk & Retry", IDC_DEST_FOLDER, true},
      {file, temp_.path(), 1145,
       "Choose a split size, such that the number of split parts does not exceed 999 !",
       IDC_SIZE_LIST, false},
      {file, temp_.path(), 0,
       "Choose a split size, such that the number of split parts does not exceed 999 !",
       IDC_SIZE_LIST, false},
      {file, temp_.path(), 999, nullptr, 0, false},
  };
  int index = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << index++);
    SetText(SplitJob.sourcePath, c.source);
    SetText(SplitJob.destFolder, c.dest);
    SplitJob.partCount = c.parts;
    // The checks read SplitJob, not the controls; the texts are there to be selected.
    SetDlgItemTextA(dialog_, IDC_SOURCE_FILE, c.source.c_str());
    SetDlgItemTextA(dialog_, IDC_DEST_FOLDER, c.dest.c_str());
    SetFocus(Item(IDC_CLOSE));
    BoxScript boxes;

    const bool accepted = CheckSplitRequest(dialog_);

    const auto seen = boxes.Seen();
    if (c.message == nullptr) {
      EXPECT_TRUE(accepted);
      EXPECT_TRUE(seen.empty());
      EXPECT_TRUE(HasFocus(IDC_CLOSE));
      continue;
    }
    EXPECT_FALSE(accepted);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].info.text, c.message);
    EXPECT_EQ(seen[0].info.caption, kTitle);
    EXPECT_EQ(seen[0].info.icon, BoxIcon::kInformation);
    EXPECT_EQ(seen[0].info.buttons, std::vector<int>({IDOK}));
    EXPECT_EQ(seen[0].owner, dialog_);
    EXPECT_TRUE(HasFocus(c.focus));
    if (c.selected) {
      EXPECT_TRUE(WholeTextSelected(c.focus));
    }
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

  EXPECT_EQ(SplitJob.fileSize, 0u);
  EXPECT_EQ(SplitJob.partSize, 1457664u);
  EXPECT_EQ(SplitJob.partCount, 0u);
  EXPECT_STREQ(SplitJob.sourcePath, "");
  EXPECT_EQ(Text(IDC_FILE_SIZE_TEXT), "File Size : 0KB");
  EXPECT_EQ(Text(IDC_PART_COUNT_TEXT), "Num of Split Parts : 0");
  EXPECT_EQ(Text(IDC_SPLIT_SIZE_TEXT), "Split Size : 1.38MB");
  EXPECT_EQ(Text(IDC_SOURCE_FILE), "");
  EXPECT_EQ(SendDlgItemMessageA(dialog_, IDC_SIZE_LIST, CB_GETCURSEL, 0, 0), 3);
  EXPECT_EQ(Text(IDC_SIZE_LIST), "1.44 MB (Floppy Disk)");
  EXPECT_EQ(std::string(SplitJob.destFolder), temp_.path());
  EXPECT_EQ(Text(IDC_DEST_FOLDER), temp_.path());
  EXPECT_TRUE(HasFocus(IDC_SOURCE_FILE));

  Choose(path);
  EXPECT_EQ(Text(IDC_SPLIT_SIZE_TEXT), "Split Size : 1.39 MB");
  EXPECT_EQ(Text(IDC_PART_COUNT_TEXT), "Num of Split Parts : 3");
}

}  // namespace
