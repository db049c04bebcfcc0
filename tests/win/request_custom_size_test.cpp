// The size list and the custom-size dialog, driven from a second thread while
// the dialog runs modally on the test's thread, as a user would drive it.
#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "request_main_window.h"
#include "split_size.h"

using request_test::MainWindowTest;

namespace {

constexpr char kCustomCaption[] = "Choose Custom File Split Size";
constexpr char kZeroMessage[] = "Split Size Cannot be 0 Bytes";

// Cancels whatever is left open, message boxes first, so that a failing case
// ends instead of hanging the run.
void ForceClose(HWND custom) {
  WaitFor([&] {
    for (HWND window : DialogWindows(0)) {
      if (!IsMessageBox(window)) continue;
      const MessageBoxInfo box = DescribeMessageBox(window);
      if (!box.buttons.empty()) PostMessageA(GetDlgItem(window, box.buttons.front()), BM_CLICK, 0, 0);
    }
    if (IsWindow(custom) && IsWindowEnabled(custom)) {
      PostMessageA(GetDlgItem(custom, IDC_CUSTOM_CANCEL), BM_CLICK, 0, 0);
    }
    return !IsWindow(custom);
  });
}

class CustomSizeTest : public MainWindowTest {
 protected:
  // Runs `drive` on a second thread against the open custom-size dialog while
  // `open` shows it here. Should the driver lose its way, it cancels the dialog
  // so that the test fails instead of hanging.
  void RunDriven(const std::function<void()>& open, const std::function<void(HWND)>& drive) {
    std::thread driver([&] {
      HWND custom = WaitForTopLevel(0, kCustomCaption);
      if (custom == nullptr) {
        ADD_FAILURE() << "the custom-size dialog did not open";
        return;
      }
      drive(custom);
      if (!WaitFor([&] { return !IsWindow(custom) || !IsWindowVisible(custom); })) {
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

  void ChooseCustomSize(const std::function<void(HWND)>& drive) {
    SendDlgItemMessageA(dialog_, IDC_SIZE_LIST, CB_SETCURSEL, kCustomSizeIndex, 0);
    RunDriven([&] { SelectSplitSize(dialog_, Item(IDC_SIZE_LIST)); }, drive);
  }

  LRESULT Selection() const { return SendDlgItemMessageA(dialog_, IDC_SIZE_LIST, CB_GETCURSEL, 0, 0); }
};

void Type(HWND custom, const char* digits) { SetDlgItemTextA(custom, IDC_CUSTOM_BYTES, digits); }

bool BoxFocusedWithAllSelected(HWND custom) {
  HWND box = GetDlgItem(custom, IDC_CUSTOM_BYTES);
  const LRESULT range = SendMessageA(box, EM_GETSEL, 0, 0);
  return FocusedControl(custom) == box && LOWORD(range) == 0 &&
         HIWORD(range) == TextOf(box).size();
}

TEST_F(CustomSizeTest, OpensOnZeroAndFollowsTheTypedSize) {
  std::string initialBox, initialLabel, label1500, label1048576;
  bool selected = false;
  const INT_PTR result = RunDialog([&](HWND custom) {
    initialBox = TextOf(GetDlgItem(custom, IDC_CUSTOM_BYTES));
    initialLabel = TextOf(GetDlgItem(custom, IDC_CUSTOM_LABEL));
    selected = BoxFocusedWithAllSelected(custom);
    Type(custom, "1500");
    label1500 = TextOf(GetDlgItem(custom, IDC_CUSTOM_LABEL));
    Type(custom, "1048576");
    label1048576 = TextOf(GetDlgItem(custom, IDC_CUSTOM_LABEL));
    PressButton(custom, IDC_CUSTOM_CANCEL);
  });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(initialBox, "0");
  EXPECT_TRUE(selected);
  EXPECT_EQ(initialLabel, "Custom Size is : 0 Bytes");
  EXPECT_EQ(label1500, "Custom Size is : 1.47 KB");
  EXPECT_EQ(label1048576, "Custom Size is : 1.00 MB");
  EXPECT_EQ(SplitJob.partSize, kFloppyPartSize);
}

TEST_F(CustomSizeTest, AcceptedSizeStaysOnCustomSizeEvenWhenItIsAPreset) {
  for (const char* typed : {"1048576", "1000000"}) {
    SCOPED_TRACE(typed);
    SplitJob.partSize = kFloppyPartSize;
    ChooseCustomSize([&](HWND custom) {
      Type(custom, typed);
      PressButton(custom, IDOK);
    });
    EXPECT_EQ(SplitJob.partSize, std::stoul(typed));
    EXPECT_EQ(Selection(), kCustomSizeIndex);
  }
}

TEST_F(CustomSizeTest, CancelGoesBackToThePresetOfTheKeptSize) {
  const struct {
    std::uint32_t kept;
    LRESULT selection;
  } cases[] = {{524288, 1}, {1457664, 3}, {1000000, kCustomSizeIndex}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.kept);
    SplitJob.partSize = c.kept;
    ChooseCustomSize([&](HWND custom) {
      Type(custom, "2048");
      PressButton(custom, IDC_CUSTOM_CANCEL);
    });
    EXPECT_EQ(SplitJob.partSize, c.kept);
    EXPECT_EQ(Selection(), c.selection);
  }
}

TEST_F(CustomSizeTest, PresetsSetTheirSizeWithoutAsking) {
  for (int index = 0; index < kCustomSizeIndex; ++index) {
    SendDlgItemMessageA(dialog_, IDC_SIZE_LIST, CB_SETCURSEL, index, 0);
    SelectSplitSize(dialog_, Item(IDC_SIZE_LIST));
    EXPECT_EQ(SplitJob.partSize, SizePresets[index].bytes) << SizePresets[index].text;
  }
  SplitJob.partSize = 12345;
  SendDlgItemMessageA(dialog_, IDC_SIZE_LIST, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  SelectSplitSize(dialog_, Item(IDC_SIZE_LIST));
  EXPECT_EQ(SplitJob.partSize, 12345u);
}

TEST_F(CustomSizeTest, NoSizeAtOkAsksToRetryOrCancel) {
  // Wine's own GetDlgItemInt refuses 4294967295; the dialog must not.
  const struct {
    const char* typed;
    bool zero;
  } cases[] = {{"0", true}, {"", true}, {"4294967296", true}, {"4294967295", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("typed \"") + c.typed + "\"");
    SplitJob.partSize = 524288;
    MessageBoxInfo box;
    HWND boxOwner = nullptr;
    HWND customWindow = nullptr;
    bool refocused = false;
    const INT_PTR result = RunDialog([&](HWND custom) {
      customWindow = custom;
      Type(custom, c.typed);
      PressButton(custom, IDOK, false);
      if (!c.zero) return;
      HWND shown = WaitForMessageBox(0, kZeroMessage);
      if (shown == nullptr) return;
      box = DescribeMessageBox(shown);
      boxOwner = GetWindow(shown, GW_OWNER);
      AnswerMessageBox(shown, IDRETRY);
      refocused = WaitFor([&] { return BoxFocusedWithAllSelected(custom); });
      PressButton(custom, IDOK, false);
      AnswerMessageBox(WaitForMessageBox(0, kZeroMessage), IDCANCEL);
    });
    if (!c.zero) {
      EXPECT_EQ(result, 0);
      EXPECT_EQ(SplitJob.partSize, 4294967295u);
      continue;
    }
    EXPECT_EQ(result, 1);
    EXPECT_EQ(SplitJob.partSize, 524288u);
    EXPECT_EQ(box.text, kZeroMessage);
    EXPECT_EQ(box.caption, "PLYX - Quorvant Ver 1.4");
    EXPECT_EQ(box.buttons, std::vector<int>({IDCANCEL, IDRETRY}));
    EXPECT_EQ(box.icon, BoxIcon::kNone);
    EXPECT_EQ(boxOwner, customWindow);
    EXPECT_TRUE(refocused);
  }
}

TEST_F(CustomSizeTest, EscapeDoesNothingAndEnterActsAsOk) {
  const INT_PTR result = RunDialog([&](HWND custom) {
    Type(custom, "2048");
    // Posted keys are handled in order: had Escape closed the dialog, the
    // size would not have been taken.
    PostKey(custom, VK_ESCAPE);
    PostKey(custom, VK_RETURN);
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(SplitJob.partSize, 2048u);
}

}  // namespace
