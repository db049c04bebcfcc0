// The typed-destination check on the real main-window template with real
// folders: its boxes, where the focus goes, and the offer to create one
// missing level. Which names are well formed is host-tested (CheckFolderName).
#include <gtest/gtest.h>

#include "dest_folder.h"
#include "request_main_window.h"

using namespace request_test;

namespace {

constexpr char kAsk[] = "Directory does not exit do you want to create one ?";

class DestFolderTest : public MainWindowTest {
 protected:
  // Types the name, leaves the box as the focus change would, and checks it.
  bool Check(const std::string& name) {
    SetDlgItemTextA(dialog_, IDC_DEST_FOLDER, name.c_str());
    SetFocus(Item(IDC_SPLIT));
    SendDlgItemMessageA(dialog_, IDC_DEST_FOLDER, CB_SETEDITSEL, 0, MAKELPARAM(0, 0));
    return CheckDestinationFolder(dialog_, name.c_str());
  }
  bool Refused() const {
    const LRESULT range = SendMessageA(Item(IDC_DEST_FOLDER), CB_GETEDITSEL, 0, 0);
    return HasFocus(IDC_DEST_FOLDER) && LOWORD(range) == 0 && HIWORD(range) == Text(IDC_DEST_FOLDER).size();
  }
  static bool IsFolder(const std::string& path) { return (GetFileAttributesA(path.c_str()) & 0x80000010) == 0x10; }
};

TEST_F(DestFolderTest, ExistingOrEmptyPassSilentlyMalformedAreRefused) {
  const struct {
    std::string name, message;  // message empty: no box, focus stays
    bool result;
  } cases[] = {
      {temp_.path().substr(0, temp_.path().size() - 1), "", true},
      {"", "", false},
      {"Q:", "Directory Name is invalid Please Correct", false},
      {"parts\\x",
       "Directory Name cannot contain any of the following characters:\n              / : * ? \" < > | ", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    BoxScript boxes;
    EXPECT_EQ(Check(c.name), c.result);
    const auto seen = boxes.Seen();
    ASSERT_EQ(seen.size(), c.message.empty() ? 0u : 1u);
    if (!seen.empty()) ExpectBox(seen[0], c.message, BoxIcon::kStop, {IDOK}, dialog_);
    EXPECT_TRUE(seen.empty() ? HasFocus(IDC_SPLIT) : Refused());
  }
}

TEST_F(DestFolderTest, AMissingFolderIsCreatedOnYesIfOnlyOneLevelIsMissing) {
  const struct {
    std::string name;
    int answer;
    bool created;
    std::string outcome;
    BoxIcon icon;
  } cases[] = {
      {temp_ / "parts\\", IDYES, true, "Directory Created", BoxIcon::kNone},
      {temp_ / "new\\parts", IDYES, false, "Unexpected Error : Create Directory Failure : 0007", BoxIcon::kStop},
      {temp_ / "later", IDNO, false, "Correct the Directory Name", BoxIcon::kInformation},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    BoxScript boxes({c.answer, IDOK});
    EXPECT_EQ(Check(c.name), c.created);
    EXPECT_EQ(IsFolder(c.name), c.created);
    const auto seen = boxes.Seen();
    ASSERT_EQ(seen.size(), 2u);
    ExpectBox(seen[0], kAsk, BoxIcon::kQuestion, {IDYES, IDNO}, dialog_);
    ExpectBox(seen[1], c.outcome, c.icon, {IDOK}, dialog_);
    EXPECT_EQ(Refused(), !c.created);
  }
  EXPECT_FALSE(IsFolder(temp_ / "new"));
}

}  // namespace
