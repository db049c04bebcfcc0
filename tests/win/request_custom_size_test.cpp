// The size list and the custom-size dialog, driven from a second thread while
// the dialog runs modally on the test's thread, as a user would drive it.
#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "request_main_window.h"
#include "split_size.h"

using namespace request_test;

namespace {

constexpr char kZeroMessage[] = "Split Size Cannot be 0 Bytes";

void Type(HWND custom, const char* digits) { SetDlgItemTextA(custom, IDC_CUSTOM_BYTES, digits); }
std::string Label(HWND custom) { return TextOf(GetDlgItem(custom, IDC_CUSTOM_LABEL)); }

bool SizeBoxFocusedAndSelected(HWND custom) {
  HWND box = GetDlgItem(custom, IDC_CUSTOM_BYTES);
  const LRESULT range = SendMessageA(box, EM_GETSEL, 0, 0);
  return FocusedControl(custom) == box && LOWORD(range) == 0 && HIWORD(range) == TextOf(box).size();
}

// Cancels what is left open, message boxes first, so a failing case ends.
void ForceClose(HWND custom) {
  WaitFor([&] {
    for (HWND box : DialogWindows(0)) PostMessageA(GetDlgItem(box, IDCANCEL), BM_CLICK, 0, 0);
    PostMessageA(GetDlgItem(custom, IDC_CUSTOM_CANCEL), BM_CLICK, 0, 0);
    return !IsWindow(custom);
  });
}

class CustomSizeTest : public MainWindowTest {
 protected:
  // Runs `open` here while `drive` works the dialog from a second thread.
  void RunDriven(const std::function<void()>& open, const std::function<void(HWND)>& drive) {
    std::thread driver([&] {
      HWND custom = WaitForTopLevel(0, "Choose Custom File Split Size");
      if (custom == nullptr) return ADD_FAILURE() << "the custom-size dialog did not open", void();
      drive(custom);
      if (!WaitFor([&] { return !IsWindow(custom); })) {
        ADD_FAILURE() << "the dialog was still open when the driver finished";
        ForceClose(custom);
      }
    });
    open();
    driver.join();
  }
  INT_PTR RunDialog(const std::function<void(HWND)>& drive) {
    INT_PTR result = -1;
    RunDriven([&] { result = CustomSizeDialog(dialog_); }, drive);
    return result;
  }
  // Picks "Custom Size" in the list; the kept partSize decides where a cancel goes.
  LRESULT ChooseCustomSize(std::uint32_t kept, const std::function<void(HWND)>& drive) {
    SplitJob.partSize = kept;
    SendDlgItemMessageA(dialog_, IDC_SIZE_LIST, CB_SETCURSEL, kCustomSizeIndex, 0);
    RunDriven([&] { SelectSplitSize(dialog_, Item(IDC_SIZE_LIST)); }, drive);
    return SendDlgItemMessageA(dialog_, IDC_SIZE_LIST, CB_GETCURSEL, 0, 0);
  }
};

TEST_F(CustomSizeTest, TheListStaysOnCustomSizeUnlessACancelKeepsAPreset) {
  const struct {
    std::uint32_t kept;
    const char* typed;
    int button;
    std::uint32_t partSize;
    LRESULT selection;
  } cases[] = {
      {1457664, "1048576", IDOK, 1048576, kCustomSizeIndex},  // a preset's size, typed
      {524288, "2048", IDC_CUSTOM_CANCEL, 524288, 1},
      {1000000, "2048", IDC_CUSTOM_CANCEL, 1000000, kCustomSizeIndex},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.kept);
    EXPECT_EQ(ChooseCustomSize(c.kept, [&](HWND custom) {
                Type(custom, c.typed);
                PressButton(custom, c.button);
              }),
              c.selection);
    EXPECT_EQ(SplitJob.partSize, c.partSize);
  }
  for (int index = 0; index < kCustomSizeIndex; ++index) {
    SendDlgItemMessageA(dialog_, IDC_SIZE_LIST, CB_SETCURSEL, index, 0);
    SelectSplitSize(dialog_, Item(IDC_SIZE_LIST));
    EXPECT_EQ(SplitJob.partSize, SizePresets[index].bytes) << SizePresets[index].text;
  }
}

TEST_F(CustomSizeTest, NoSizeAtOkOffersRetryOrCancel) {
  // 4294967295 is the largest size; Wine's own GetDlgItemInt would refuse it.
  for (const char* typed : {"0", "", "4294967296", "4294967295"}) {
    SCOPED_TRACE(std::string("typed \"") + typed + "\"");
    const bool zero = std::string(typed) != "4294967295";
    SplitJob.partSize = 524288;
    MessageBoxInfo box;
    HWND boxOwner = nullptr, customWindow = nullptr;
    bool refocused = false;
    const INT_PTR result = RunDialog([&](HWND custom) {
      customWindow = custom;
      Type(custom, typed);
      PressButton(custom, IDOK, false);
      if (!zero || (box.window = WaitForMessageBox(0, kZeroMessage)) == nullptr) return;
      box = DescribeMessageBox(box.window);
      boxOwner = GetWindow(box.window, GW_OWNER);
      AnswerMessageBox(box.window, IDRETRY);
      refocused = WaitFor([&] { return SizeBoxFocusedAndSelected(custom); });
      PressButton(custom, IDOK, false);
      AnswerMessageBox(WaitForMessageBox(0, kZeroMessage), IDCANCEL);
    });
    EXPECT_EQ(result, zero ? 1 : 0);
    EXPECT_EQ(SplitJob.partSize, zero ? 524288u : 4294967295u);
    if (!zero) continue;
    ExpectBox({box, boxOwner}, kZeroMessage, BoxIcon::kNone, {IDCANCEL, IDRETRY}, customWindow);
    EXPECT_TRUE(refocused);
  }
}

TEST_F(CustomSizeTest, OpensOnZeroFollowsTheTypingIgnoresEscapeAndTakesEnterAsOk) {
  std::string texts;
  bool selected = false;
  EXPECT_EQ(RunDialog([&](HWND custom) {
              selected = SizeBoxFocusedAndSelected(custom);
              texts = TextOf(GetDlgItem(custom, IDC_CUSTOM_BYTES)) + " | " + Label(custom);
              Type(custom, "1500");
              texts += " | " + Label(custom);
              // Posted keys are handled in order: had Escape closed the dialog,
              // the size would not have been taken.
              PostKey(custom, VK_ESCAPE);
              PostKey(custom, VK_RETURN);
            }),
            0);
  EXPECT_TRUE(selected);
  EXPECT_EQ(texts, "0 | Custom Size is : 0 Bytes | Custom Size is : 1.47 KB");
  EXPECT_EQ(SplitJob.partSize, 1500u);
}

}  // namespace
