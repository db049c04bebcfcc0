// The link control as a user meets it, in this process with real fonts.
#include <gtest/gtest.h>
#include <windows.h>

#include "holders.h"
#include "hyperlink.h"
#include "support/ui_driver.h"

namespace {

bool Shows(HWND link, COLORREF colour) {
  WindowDc dc(link);
  RECT client{};
  GetClientRect(link, &client);
  for (int i = 0; i < client.right * client.bottom; ++i)
    if (GetPixel(dc.Get(), i % client.right, i / client.right) == colour) return true;
  return false;
}

// The colours as drawn: hover, back once the cursor is away, visited after a failed click.
TEST(HyperLink, ColoursFollowTheMouseAndTheClick) {
  HWND parent =
      CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 200, 200, 300, 100, nullptr, nullptr, nullptr, nullptr);
  auto* link =
      new HyperLink(parent, {"C:\\no such folder\\page.html", "", 0, 0, 0, "Tahoma", 0, 1000, kLinkUnderline, 5, 40});
  HWND window = link->Window();
  SetCursorPos(0, 0);
  SendMessageA(window, WM_MOUSEMOVE, 0, 0);
  UpdateWindow(window);
  EXPECT_TRUE(Shows(window, kLinkHoverColour));
  EXPECT_TRUE(WaitFor([&] { return Shows(window, kLinkNormalColour); }, 2000)) << "still hovering";
  BoxAnswerer boxes;
  SendMessageA(window, WM_LBUTTONUP, 0, 0);
  ASSERT_EQ(boxes.Seen().size(), 1u);
  EXPECT_TRUE(IsBox(boxes.Seen()[0], "Error", "Error Opening the Browser", parent, {IDOK}));
  UpdateWindow(window);
  EXPECT_TRUE(Shows(window, kLinkVisitedColour));
  delete link;
  // Mended fault: the window outlives the object until its parent goes.
  EXPECT_EQ(GetWindowLongPtrA(window, GWLP_USERDATA), 0);
  DestroyWindow(parent);
}

}  // namespace
