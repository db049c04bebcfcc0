// The typed-destination check on the real main-window template, with real
// folders: what passes silently, what is refused and where the focus goes,
// and the offer to create one missing level.
#include <gtest/gtest.h>

#include "dest_folder.h"
#include "request_main_window.h"

using request_test::BoxScript;
using request_test::MainWindowTest;

namespace {

constexpr char kTitle[] = "PLYX - Quorvant Ver 1.4";
constexpr char kAsk[] = "Directory does not exit do you want to create one ?";

class DestFolderTest : public MainWindowTest {
 protected:
  // Types the name into the destination box, leaves the focus elsewhere and checks.
  bool Check(const std::string& name) {
    SetDlgItemTextA(dialog_, IDC_DEST_FOLDER, name.c_str());
    SendDlgItemMessageA(dialog_, IDC_DEST_FOLDER, CB_SETEDITSEL, 0, MAKELPARAM(0, 0));
    SetFocus(Item(IDC_SPLIT));
    return CheckDestinationFolder(dialog_, name.c_str());
  }

  void ExpectRefusedTo(const std::string& name) {
    EXPECT_TRUE(HasFocus(IDC_DEST_FOLDER)) << name;
    EXPECT_TRUE(WholeTextSelected(IDC_DEST_FOLDER)) << name;
  }

  static bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
  }
};

TEST_F(DestFolderTest, ExistingFoldersPassSilently) {
  std::string withoutBackslash = temp_.path();
  withoutBackslash.pop_back();
  BoxScript boxes;
  for (const std::string& name : {temp_.path(), withoutBackslash, std::string("C:\\")}) {
    EXPECT_TRUE(Check(name)) << name;
    EXPECT_TRUE(HasFocus(IDC_SPLIT)) << name;
  }
  EXPECT_FALSE(Check(""));
  EXPECT_TRUE(HasFocus(IDC_SPLIT));
  EXPECT_TRUE(boxes.Seen().empty()) << boxes.Seen().front().info.text;
}

TEST_F(DestFolderTest, MalformedNamesAreRefusedWithTheirMessage) {
  const std::string invalid = "Directory Name is invalid Please Correct";
  const std::string characters =
      "Directory Name cannot contain any of the following characters:\n"
      "              / : * ? \" < > | ";
  const struct {
    std::string name;
    std::string message;
  } cases[] = {
      {"Q", invalid},
      {"Q:", invalid},
      {temp_ / "parts\\\\", invalid},
      {temp_ / "parts?x", characters},
      {"parts\\x", characters},
      {temp_ / "a|b", characters},
      {"C:\\" + std::string(256, 'n'), invalid},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    BoxScript boxes;
    EXPECT_FALSE(Check(c.name));
    const auto seen = boxes.Seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].info.text, c.message);
    EXPECT_EQ(seen[0].info.caption, kTitle);
    EXPECT_EQ(seen[0].info.icon, BoxIcon::kStop);
    EXPECT_EQ(seen[0].info.buttons, std::vector<int>({IDOK}));
    EXPECT_EQ(seen[0].owner, dialog_);
    ExpectRefusedTo(c.name);
  }
}

TEST_F(DestFolderTest, YesCreatesOneMissingLevel) {
  const std::string folder = temp_ / "parts";
  for (const std::string& name : {folder, folder + "\\"}) {
    SCOPED_TRACE(name);
    RemoveDirectoryA(folder.c_str());
    BoxScript boxes({IDYES, IDOK});
    EXPECT_TRUE(Check(name));
    EXPECT_TRUE(IsFolder(folder));
    const auto seen = boxes.Seen();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].info.text, kAsk);
    EXPECT_EQ(seen[0].info.buttons, std::vector<int>({IDYES, IDNO}));
    EXPECT_EQ(seen[0].info.icon, BoxIcon::kQuestion);
    EXPECT_EQ(seen[1].info.text, "Directory Created");
    EXPECT_EQ(seen[1].info.buttons, std::vector<int>({IDOK}));
    EXPECT_EQ(seen[1].info.icon, BoxIcon::kNone);
    for (const auto& box : seen) {
      EXPECT_EQ(box.info.caption, kTitle);
      EXPECT_EQ(box.owner, dialog_);
    }
  }
}

TEST_F(DestFolderTest, TwoMissingLevelsCannotBeCreated) {
  const std::string name = temp_ / "new\\parts";
  BoxScript boxes({IDYES, IDOK});
  EXPECT_FALSE(Check(name));
  EXPECT_FALSE(IsFolder(temp_ / "new"));
  const auto seen = boxes.Seen();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].info.text, kAsk);
  EXPECT_EQ(seen[1].info.text, "Unexpected Error : Create Directory Failure : 0007");
  EXPECT_EQ(seen[1].info.icon, BoxIcon::kStop);
  EXPECT_EQ(seen[1].owner, dialog_);
  ExpectRefusedTo(name);
}

TEST_F(DestFolderTest, NoLeavesTheFolderUncreatedAndTheNameToCorrect) {
  const std::string name = temp_ / "parts";
  BoxScript boxes({IDNO, IDOK});
  EXPECT_FALSE(Check(name));
  EXPECT_FALSE(IsFolder(name));
  const auto seen = boxes.Seen();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].info.text, kAsk);
  EXPECT_EQ(seen[1].info.text, "Correct the Directory Name");
  EXPECT_EQ(seen[1].info.icon, BoxIcon::kInformation);
  EXPECT_EQ(seen[1].info.caption, kTitle);
  EXPECT_EQ(seen[1].owner, dialog_);
  ExpectRefusedTo(name);
}

}  // namespace
