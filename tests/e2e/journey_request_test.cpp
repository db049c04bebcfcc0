// Filling in the request by hand: a custom part size, and a typed destination
// that is checked as the field is left.
#include "plyx_session.h"

namespace {

using Request = PlyxJourney;

constexpr int kCustomSize = 6;  // the last entry of the size list

// The dialog opens on "0" with the text selected; Escape is ignored, Enter is
// OK; "0 Bytes" offers Retry or Cancel; a cancel keeps the size chosen before,
// and the list shows its preset, if it has one.
TEST_F(Request, CustomSizeIsTakenRefusedOrCancelled) {
  ASSERT_TRUE(WriteBytes(temp / "data.bin", PatternBytes(3000000)));
  ASSERT_TRUE(StartMain(temp / "data.bin"));
  const struct {
    int preset;  // chosen first; -1: the size the row before left
    const char* typed;
    int button;    // or VK_RETURN: Escape, then Enter
    bool refused;  // "0 Bytes": Retry, then OK again and Cancel
    int index;
    const char* size;
  } cases[] = {
      {-1, "1048576", VK_RETURN, false, kCustomSize, "1.00 MB"},  // a preset's size, typed
      {1, "2048", IDC_CUSTOM_CANCEL, false, 1, "512.00 KB"},
      // The largest size; Wine's own GetDlgItemInt would refuse it.
      {-1, "4294967295", IDOK, false, kCustomSize, "4.00 GB"},
      {-1, "2048", IDC_CUSTOM_CANCEL, false, kCustomSize, "4.00 GB"},
      {1, "0", IDOK, true, 1, "512.00 KB"},
      {-1, "4294967296", IDOK, true, 1, "512.00 KB"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("typed \"") + c.typed + "\"");
    if (c.preset >= 0) ChooseSize(c.preset), Settle();
    ChooseSize(kCustomSize);
    HWND custom = WaitForWindow(Pid(), "Choose Custom File Split Size");
    ASSERT_NE(custom, nullptr);
    HWND box = GetDlgItem(custom, IDC_CUSTOM_BYTES);
    auto ready = [&] { return HasFocus(box) && WholeTextSelected(box); };
    EXPECT_TRUE(WaitFor(ready, 5000) && TextOf(box) == "0");
    SendTo(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(c.typed));
    // Posted keys are handled in order: had Escape closed the dialog, the size would not be taken.
    if (c.button == VK_RETURN) PostKey(custom, VK_ESCAPE), PostKey(custom, VK_RETURN);
    else Click(GetDlgItem(custom, c.button));
    for (int answer : c.refused ? std::vector<int>{IDRETRY, IDCANCEL} : std::vector<int>{}) {
      const MessageBoxInfo refusal = WaitForMessageBox(Pid(), "Split Size Cannot be 0 Bytes");
      EXPECT_EQ(refusal.caption, kPlyxTitle);
      EXPECT_TRUE(refusal.buttons == std::vector<int>({IDCANCEL, IDRETRY}) && refusal.owner == custom);
      ASSERT_TRUE(refusal.window && AnswerMessageBox(refusal.window, answer));
      if (answer == IDRETRY) {
        EXPECT_TRUE(WaitFor(ready, 5000)) << "Retry puts the focus back in the box with its text selected";
        Click(GetDlgItem(custom, IDOK));
      }
    }
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(custom); })) << "the custom-size dialog is still open";
    ASSERT_TRUE(Settle());
    EXPECT_EQ(SizeIndex(), c.index);
    EXPECT_EQ(Text(IDC_SPLIT_SIZE_TEXT), std::string("Split Size : ") + c.size);
  }
  CloseAndExpectExitZero();
}

// An existing folder passes silently, an empty name is left alone, a malformed
// one is refused, and a missing one is created on Yes if only one level is
// missing. A refused name keeps the focus with its text selected.
TEST_F(Request, TypedDestinationIsCheckedAsTheFieldIsLeft) {
  ASSERT_TRUE(StartMain(""));
  const std::string exists = temp.Path().substr(0, temp.Path().size() - 1);
  const struct { std::string name; int answer; bool passes; std::string message; } cases[] = {
      // answer: to the question whether to create it; message: the last box, none when empty
      {exists, 0, true, ""},
      {"", 0, false, ""},
      {"Q:", 0, false, "Directory Name is invalid Please Correct"},
      {"parts\\x", 0, false,
       "Directory Name cannot contain any of the following characters:\n              / : * ? \" < > | "},
      {temp / "parts\\", IDYES, true, "Directory Created"},
      {temp / "new\\parts", IDYES, false, "Unexpected Error : Create Directory Failure : 0007"},
      {temp / "later", IDNO, false, "Correct the Directory Name"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Type(IDC_DEST_FOLDER, c.name);
    Focus(IDC_SIZE_LIST);
    if (c.answer != 0) {
      const MessageBoxInfo question = WaitForMessageBox(Pid(), "Directory does not exit do you want to create one ?");
      EXPECT_TRUE(question.buttons == std::vector<int>({IDYES, IDNO}) && question.owner == Main());
      ASSERT_TRUE(question.window && AnswerMessageBox(question.window, c.answer));
    }
    if (!c.message.empty()) {
      const MessageBoxInfo box = NextMessageBox();
      EXPECT_EQ(box.caption + " | " + box.text, kPlyxTitle + (" | " + c.message));
      EXPECT_TRUE(box.buttons == std::vector<int>{IDOK} && box.owner == Main());
      ASSERT_TRUE(box.window && AnswerMessageBox(box.window, IDOK));
    }
    ASSERT_TRUE(Settle());
    const bool refused = !c.passes && !c.message.empty();
    EXPECT_TRUE(refused ? WaitForFocus(IDC_DEST_FOLDER) && WholeTextSelected(Item(IDC_DEST_FOLDER))
                        : HasFocus(Item(IDC_SIZE_LIST)));
    EXPECT_EQ(NextMessageBox(0).window, nullptr);
    EXPECT_EQ((GetFileAttributesA(c.name.c_str()) & 0x80000010) == 0x10, c.passes);
  }
  EXPECT_FALSE(Exists(temp / "new"));
  CloseAndExpectExitZero(/*byTitleBar=*/true);  // Close would take the focus and ask again
}

}  // namespace
