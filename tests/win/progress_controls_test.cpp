// The animation and progress-bar wrappers against the real common controls.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include "animation_control.h"
#include "progress_bar.h"
#include "resource_ids.h"

namespace {

struct ParentWindow {
  HWND window = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 400, 200, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
  ~ParentWindow() { DestroyWindow(window); }
};

// Counts the ACM_OPENA messages a control receives, and those that close a clip.
WNDPROC originalProc = nullptr;
int opens = 0, closes = 0;
LRESULT CALLBACK CountOpens(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == ACM_OPENA) ++(lParam ? opens : closes);
  return CallWindowProcA(originalProc, window, message, wParam, lParam);
}
void WatchOpens(HWND control) {
  opens = closes = 0;
  originalProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountOpens)));
}

RECT PlaceInParent(HWND control) {
  RECT place;
  GetWindowRect(control, &place);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&place), 2);
  return place;
}

}  // namespace

TEST(AnimationControl, CreateDropsCenteringSoTheClipSetsTheSize) {
  ParentWindow parent;
  AnimationControl animation;
  ASSERT_TRUE(animation.Create(ACS_TRANSPARENT | ACS_AUTOPLAY | ACS_CENTER, -4, 5, parent.window,
                               IDC_PROGRESS_ANIMATION));
  const LONG_PTR style = GetWindowLongPtrA(animation.Window(), GWL_STYLE);
  EXPECT_TRUE(style & WS_CHILD);
  EXPECT_FALSE(style & ACS_CENTER);
  EXPECT_EQ(animation.State(), AnimationControl::kCreatedAutoPlay);

  // Hidden until a clip is open; then at the clip's frame size.
  EXPECT_FALSE(style & WS_VISIBLE);
  ASSERT_TRUE(animation.Open(IDA_SPLIT_CLIP));
  EXPECT_TRUE(GetWindowLongPtrA(animation.Window(), GWL_STYLE) & WS_VISIBLE);
  const RECT place = PlaceInParent(animation.Window());
  EXPECT_EQ(place.left, 0);
  EXPECT_EQ(place.top, 5);
  EXPECT_EQ(place.right - place.left, 272);
  EXPECT_EQ(place.bottom - place.top, 60);
}

TEST(AnimationControl, OpenRefusesResourceZeroWithoutSendingAndReopensAfterStopping) {
  ParentWindow parent;
  AnimationControl animation;
  ASSERT_TRUE(animation.Create(ACS_AUTOPLAY, 0, 0, parent.window, IDC_PROGRESS_ANIMATION));
  WatchOpens(animation.Window());
  EXPECT_FALSE(animation.Open(0));
  EXPECT_EQ(opens + closes, 0);
  EXPECT_FALSE(animation.Open(4321));  // no such clip
  EXPECT_EQ(animation.State(), AnimationControl::kCreatedAutoPlay);

  ASSERT_TRUE(animation.Open(IDA_SPLIT_CLIP));
  ASSERT_TRUE(animation.Open(IDA_SPLIT_CLIP));
  EXPECT_EQ(closes, 1);  // the second open stopped the first clip
  EXPECT_EQ(animation.State(), AnimationControl::kClipOpen);
}

TEST(AnimationControl, DestroyingTheWrapperStopsAnOpenClipAndKeepsTheWindow) {
  ParentWindow parent;
  auto* animation = new AnimationControl();
  ASSERT_TRUE(animation->Create(ACS_AUTOPLAY, 0, 0, parent.window, IDC_PROGRESS_ANIMATION));
  ASSERT_TRUE(animation->Open(IDA_SPLIT_CLIP));
  HWND window = animation->Window();
  WatchOpens(window);
  delete animation;
  EXPECT_EQ(closes, 1);
  EXPECT_TRUE(IsWindow(window));  // it goes with its parent
}

TEST(ProgressBar, CreateRefusesEmptyOrMisplacedBarsAndCreatesNothing) {
  ParentWindow parent;
  const RECT places[] = {{10, 65, 0, 20}, {10, 65, 315, 0}, {-1, 65, 315, 20}, {10, -1, 315, 20}};
  for (const RECT& place : places) {
    SCOPED_TRACE(testing::Message() << place.left << "," << place.top << " " << place.right
                                    << "x" << place.bottom);
    ProgressBar bar;
    EXPECT_FALSE(bar.Create(WS_CHILD | WS_VISIBLE, place, parent.window, IDC_PROGRESS_BAR));
    EXPECT_EQ(GetWindow(parent.window, GW_CHILD), nullptr);
    EXPECT_EQ(bar.StepIt(), 0);
  }
}

TEST(ProgressBar, PlacesByXYWidthHeightCutsTheRangeTo16BitsAndGoesWithTheWrapper) {
  ParentWindow parent;
  auto* bar = new ProgressBar();
  ASSERT_TRUE(bar->Create(WS_CHILD | PBS_SMOOTH, RECT{10, 65, 315, 20}, parent.window,
                          IDC_PROGRESS_BAR));
  HWND window = bar->Window();
  const RECT place = PlaceInParent(window);
  EXPECT_EQ(place.left, 10);
  EXPECT_EQ(place.top, 65);
  EXPECT_EQ(place.right - place.left, 315);
  EXPECT_EQ(place.bottom - place.top, 20);

  PBRANGE range{};
  bar->SetRange(0, 1000);
  EXPECT_EQ(bar->SetRange(3, 70000), MAKELONG(0, 1000));  // the previous range
  SendMessageA(window, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
  EXPECT_EQ(range.iLow, 3);
  EXPECT_EQ(range.iHigh, 70000 & 0xFFFF);

  bar->SetRange(0, 6);
  bar->SetPos(0);
  bar->SetStep(1);
  EXPECT_EQ(bar->StepIt(), 0);  // each operation returns its message's result
  EXPECT_EQ(bar->SetPos(6), 1);
  delete bar;
  EXPECT_FALSE(IsWindow(window));
}
