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

// An existing folder passes silently, an empty name fails silently, a malformed
// one is refused, and a missing one is created on Yes if only one level is missing.
TEST_F(DestFolderTest, ExistingPassesMalformedIsRefusedAndOneMissingLevelIsCreatedOnYes) {
  const std::string exists = temp_.path().substr(0, temp_.path().size() - 1);
  const struct {
    std::string name;
    int answer;  // to the question whether to create it
    bool passes;
    std::string message;  // the last box; none when empty
    BoxIcon icon;
  } cases[] = {
      {exists, 0, true, "", BoxIcon::kNone},
      {"", 0, false, "", BoxIcon::kNone},
      {"Q:", 0, false, "Directory Name is invalid Please Correct", BoxIcon::kStop},
      {"parts\\x", 0, false, "Directory Name cannot contain any of the following characters:\n              / : * ? \" < > | ",
       BoxIcon::kStop},
      {temp_ / "parts\\", IDYES, true, "Directory Created", BoxIcon::kNone},
      {temp_ / "new\\parts", IDYES, false, "Unexpected Error : Create Directory Failure : 0007", BoxIcon::kStop},
      {temp_ / "later", IDNO, false, "Correct the Directory Name", BoxIcon::kInformation},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    BoxScript boxes({c.answer ? c.answer : IDOK, IDOK});
    EXPECT_EQ(Check(c.name), c.passes);
    EXPECT_EQ(IsFolder(c.name), c.passes);
    const auto seen = boxes.Seen();
    ASSERT_EQ(seen.size(), (c.answer ? 1u : 0u) + (c.message.empty() ? 0u : 1u));
    if (c.answer) ExpectBox(seen[0], kAsk, BoxIcon::kQuestion, {IDYES, IDNO}, dialog_);
    if (!c.message.empty()) ExpectBox(seen.back(), c.message, c.icon, {IDOK}, dialog_);
    EXPECT_EQ(Refused(), !c.passes && !c.message.empty());
    EXPECT_TRUE(!c.message.empty() || HasFocus(IDC_SPLIT)) << "a silent check leaves the focus";
  }
  EXPECT_FALSE(IsFolder(temp_ / "new"));
}

}  // namespace
