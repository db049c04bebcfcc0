// Controls as a user meets them, in this process with real common controls
// and fonts: the fields of the compiled templates and the link control.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "holders.h"
#include "hyperlink.h"
#include "resource_ids.h"
#include "support/files.h"
#include "support/ui_driver.h"

namespace {

INT_PTR CALLBACK DoNothingProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
HWND Template(const char* name) {
  return CreateDialogParamA(GetModuleHandleA(nullptr), name, nullptr, DoNothingProc, 0);
}

std::string Typed(HWND box, const std::string& text) {
  SetFocus(box);
  for (char c : text) SendMessageA(GetFocus(), WM_CHAR, static_cast<WPARAM>(c), 0);
  return TextOf(box);
}

// A box without horizontal scrolling would cut a typed path. (A sorted
// destination list would show the history's oldest: the command-line journey's.)
TEST(ResourceTemplates, FieldsTakeAllThatIsTyped) {
  HWND plyx = Template("PLYX"), custom = Template("CUSTOMSIZE");
  ASSERT_TRUE(plyx && custom);
  const std::string longPath = "C:\\" + std::string(200, 'x');
  EXPECT_EQ(Typed(GetDlgItem(plyx, IDC_DEST_FOLDER), longPath), longPath);
  // Guards: the largest size the dialog accepts could not be typed in full.
  EXPECT_EQ(Typed(GetDlgItem(custom, IDC_CUSTOM_BYTES), "42949a67295"), "4294967295") << "digits only, all ten";
  DestroyWindow(custom);
  DestroyWindow(plyx);
}

bool Shows(HWND link, COLORREF colour) {
  WindowDc dc(link);
  RECT client{};
  GetClientRect(link, &client);
  for (int i = 0; i < client.right * client.bottom; ++i) {
    if (GetPixel(dc.Get(), i % client.right, i / client.right) == colour) return true;
  }
  return false;
}

// The colours as drawn: hover at once, back once the cursor is away, visited
// after a click whose browser fails.
TEST(HyperLink, ColoursFollowTheMouseAndTheClick) {
  TempFolder temp;
  HWND parent = Template("PLYX");
  const std::string missing = temp / "missing.html";
  auto* link = new HyperLink(parent, {missing.c_str(), "", 0, 0, 0, "Tahoma", 0, 1000, kLinkUnderline, 5, 40});
  HWND window = link->Window();
  SetCursorPos(0, 0);
  EXPECT_TRUE(Shows(window, kLinkNormalColour));
  SendMessageA(window, WM_MOUSEMOVE, 0, 0);
  UpdateWindow(window);
  EXPECT_TRUE(Shows(window, kLinkHoverColour));
  EXPECT_TRUE(WaitFor([&] { return Shows(window, kLinkNormalColour); }, 2000)) << "still hovering";
  BoxAnswerer boxes;
  SendMessageA(window, WM_LBUTTONUP, 0, 0);
  ASSERT_EQ(boxes.Seen().size(), 1u);
  EXPECT_EQ(boxes.Seen()[0].caption + " | " + boxes.Seen()[0].text, "Error | Error Opening the Browser");
  EXPECT_EQ(boxes.Seen()[0].owner, parent);
  UpdateWindow(window);
  EXPECT_TRUE(Shows(window, kLinkVisitedColour));
  delete link;
  // Mended fault: the window outlives the object until its parent goes.
  EXPECT_EQ(GetWindowLongPtrA(window, GWLP_USERDATA), 0);
  DestroyWindow(parent);
}

}  // namespace
