// The animation and progress-bar wrappers against the real common controls.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include "animation_control.h"
#include "progress_bar.h"
#include "resource_ids.h"

namespace {

struct ParentWindow {
  HWND window = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 400, 200, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  ~ParentWindow() { DestroyWindow(window); }
};

// x, y, width, height in the parent's client area.
RECT PlaceInParent(HWND control) {
  RECT place;
  GetWindowRect(control, &place);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&place), 2);
  return {place.left, place.top, place.right - place.left, place.bottom - place.top};
}

bool operator==(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

}  // namespace

TEST(AnimationControl, HiddenUntilAClipOpensThenAtTheClipsSizeAndPlace) {
  ParentWindow parent;
  AnimationControl animation;
  ASSERT_TRUE(animation.Create(ACS_TRANSPARENT | ACS_AUTOPLAY | ACS_CENTER, -4, 5, parent.window,
                               IDC_PROGRESS_ANIMATION));
  HWND window = animation.Window();
  EXPECT_EQ(GetWindowLongPtrA(window, GWL_STYLE) & (WS_CHILD | WS_VISIBLE | ACS_CENTER), WS_CHILD);
  EXPECT_FALSE(animation.Open(0));
  EXPECT_FALSE(animation.Open(4321));  // no such clip
  EXPECT_FALSE(GetWindowLongPtrA(window, GWL_STYLE) & WS_VISIBLE);
  // Centering is dropped, so the clip's frames set the size.
  ASSERT_TRUE(animation.Open(IDA_SPLIT_CLIP));
  EXPECT_TRUE(GetWindowLongPtrA(window, GWL_STYLE) & WS_VISIBLE);
  EXPECT_TRUE(PlaceInParent(window) == (RECT{0, 5, 272, 60}));
  EXPECT_EQ(animation.State(), AnimationControl::kClipOpen);
}

TEST(ProgressBar, PlacesByXYWidthHeightAndGoesWithTheWrapper) {
  ParentWindow parent;
  auto* bar = new ProgressBar();
  ASSERT_TRUE(bar->Create(WS_CHILD | PBS_SMOOTH, RECT{10, 65, 315, 20}, parent.window, IDC_PROGRESS_BAR));
  HWND window = bar->Window();
  EXPECT_TRUE(PlaceInParent(window) == (RECT{10, 65, 315, 20}));
  delete bar;
  EXPECT_FALSE(IsWindow(window));
}
