// The size list and the custom-size dialog, driven from a second thread while
// the dialog runs modally on the test's thread, as a user would drive it.
#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "request_main_window.h"
#include "split_size.h"

using namespace request_test;

namespace {

bool SizeBoxFocusedAndSelected(HWND custom) {
  HWND box = GetDlgItem(custom, IDC_CUSTOM_BYTES);
  const LRESULT range = SendMessageA(box, EM_GETSEL, 0, 0);
  return FocusedControl(custom) == box && LOWORD(range) == 0 && HIWORD(range) == TextOf(box).size();
}

class CustomSizeTest : public MainWindowTest {
 protected:
  // Picks "Custom Size" in the list while `drive` works the dialog from a second
  // thread; what is left open then is cancelled, message boxes first, so a
  // failing case ends. The kept partSize decides where a cancel goes.
  LRESULT ChooseCustomSize(std::uint32_t kept, const std::function<void(HWND)>& drive) {
    SplitJob.partSize = kept;
    SendDlgItemMessageA(dialog_, IDC_SIZE_LIST, CB_SETCURSEL, kCustomSizeIndex, 0);
    std::thread driver([&] {
      HWND custom = WaitForTopLevel(0, "Choose Custom File Split Size");
      if (custom == nullptr) return ADD_FAILURE() << "the custom-size dialog did not open", void();
      drive(custom);
      if (WaitFor([&] { return !IsWindow(custom); })) return;
      ADD_FAILURE() << "the dialog was still open when the driver finished";
      WaitFor([&] {
        for (HWND box : DialogWindows(0)) PostMessageA(GetDlgItem(box, IDCANCEL), BM_CLICK, 0, 0);
        PostMessageA(GetDlgItem(custom, IDC_CUSTOM_CANCEL), BM_CLICK, 0, 0);
        return !IsWindow(custom);
      });
    });
    SelectSplitSize(dialog_, Item(IDC_SIZE_LIST));
    driver.join();
    return SendDlgItemMessageA(dialog_, IDC_SIZE_LIST, CB_GETCURSEL, 0, 0);
  }
};

// The dialog opens on "0" with the text selected; Escape is ignored, Enter is
// OK; "0 Bytes" offers Retry or Cancel; the list stays on Custom Size unless a
// cancel keeps a preset.
TEST_F(CustomSizeTest, OpensOnZeroRefusesNoSizeAndTheListStaysOnCustomSizeUnlessACancelKeepsAPreset) {
  const struct {
    const char* typed;
    int button;  // or VK_RETURN: Escape, then Enter
    std::uint32_t kept;
    bool refused;  // "0 Bytes": Retry, then OK again and Cancel
    LRESULT selection;
    std::uint32_t partSize;
  } cases[] = {
      {"1048576", VK_RETURN, 1457664, false, kCustomSizeIndex, 1048576},  // a preset's size, typed
      // The largest size; Wine's own GetDlgItemInt would refuse it.
      {"4294967295", IDOK, 524288, false, kCustomSizeIndex, 4294967295u},
      {"2048", IDC_CUSTOM_CANCEL, 524288, false, 1, 524288},
      {"2048", IDC_CUSTOM_CANCEL, 1000000, false, kCustomSizeIndex, 1000000},
      {"0", IDOK, 524288, true, 1, 524288},
      {"4294967296", IDOK, 524288, true, 1, 524288},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("typed \"") + c.typed + "\"");
    BoxScript boxes({IDRETRY, IDCANCEL});
    HWND window = nullptr;
    bool opened = false, refocused = false;
    EXPECT_EQ(ChooseCustomSize(c.kept, [&](HWND custom) {
                opened = SizeBoxFocusedAndSelected(custom) && TextOf(GetDlgItem(custom, IDC_CUSTOM_BYTES)) == "0";
                SetDlgItemTextA(window = custom, IDC_CUSTOM_BYTES, c.typed);
                // Posted keys are handled in order: had Escape closed the
                // dialog, the size would not have been taken.
                if (c.button == VK_RETURN) PostKey(custom, VK_ESCAPE), PostKey(custom, VK_RETURN);
                else PressButton(custom, c.button, !c.refused);
                if (!c.refused) return;
                // Retry puts the focus back in the box with its text selected.
                refocused = WaitFor([&] { return boxes.Seen().size() == 1 && SizeBoxFocusedAndSelected(custom); });
                PressButton(custom, IDOK, false);
              }),
              c.selection);
    EXPECT_EQ(SplitJob.partSize, c.partSize);
    EXPECT_TRUE(opened);
    ASSERT_EQ(boxes.Seen().size(), c.refused ? 2u : 0u);
    if (!c.refused) continue;
    ExpectBox(boxes.Seen()[0], "Split Size Cannot be 0 Bytes", BoxIcon::kNone, {IDCANCEL, IDRETRY}, window);
    EXPECT_TRUE(refocused);
  }
}

}  // namespace
