// The animation and progress-bar wrappers against the real common controls.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "animation_control.h"
#include "progress_bar.h"
#include "resource_ids.h"

namespace {

// A plain top-level parent for the controls, destroyed with its children.
class ParentWindow {
 public:
  ParentWindow() {
    window = CreateWindowExA(0, "STATIC", "parent", WS_OVERLAPPEDWINDOW, 0, 0, 400, 200, nullptr,
                             nullptr, GetModuleHandleA(nullptr), nullptr);
  }
  ~ParentWindow() { DestroyWindow(window); }
  HWND window;
};

// Counts the ACM_OPENA messages a control receives.
struct OpenCounter {
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == ACM_OPENA) {
      ++count;
      if (lParam == 0) ++closes;
    }
    return CallWindowProcA(original, window, message, wParam, lParam);
  }
  static void Attach(HWND control) {
    count = closes = 0;
    original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
  }
  static inline WNDPROC original = nullptr;
  static inline int count = 0;
  static inline int closes = 0;
};

RECT PlaceInParent(HWND control) {
  RECT place;
  GetWindowRect(control, &place);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&place), 2);
  return place;
}

}  // namespace

TEST(AnimationControl, CreateRefusesAMissingParent) {
  AnimationControl animation;
  HWND gone = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  DestroyWindow(gone);
  EXPECT_FALSE(animation.Create(WS_CHILD | ACS_AUTOPLAY, 0, 0, gone, 1001));
  EXPECT_EQ(animation.Window(), nullptr);
  EXPECT_EQ(animation.State(), AnimationControl::kNew);
  // Nothing to open or stop without a window.
  EXPECT_FALSE(animation.Open(IDA_SPLIT_CLIP));
  animation.Stop();
  EXPECT_EQ(animation.State(), AnimationControl::kNew);
}

TEST(AnimationControl, CreateSetsStyleStateAndPlace) {
  struct Case {
    DWORD style;
    int x, y;
    std::uint32_t state;
    bool autoPlay;
    int placeX, placeY;
  };
  const Case cases[] = {
      {ACS_TRANSPARENT | ACS_AUTOPLAY | ACS_CENTER, 30, 5, AnimationControl::kCreatedAutoPlay,
       true, 30, 5},
      {ACS_TRANSPARENT, -4, -9, AnimationControl::kCreated, false, 0, 0},
      {WS_CHILD | ACS_CENTER, 7, -1, AnimationControl::kCreated, false, 7, 0},
  };
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    SCOPED_TRACE(testing::Message() << "case " << i);
    const Case& c = cases[i];
    ParentWindow parent;
    AnimationControl animation;
    ASSERT_TRUE(animation.Create(c.style, c.x, c.y, parent.window, 1001));
    HWND window = animation.Window();
    ASSERT_NE(window, nullptr);
    const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
    EXPECT_TRUE(style & WS_CHILD);
    EXPECT_FALSE(style & ACS_CENTER);
    EXPECT_EQ(GetDlgCtrlID(window), 1001);
    EXPECT_EQ(GetParent(window), parent.window);
    EXPECT_EQ(animation.Parent(), parent.window);
    EXPECT_EQ(animation.State(), c.state);
    EXPECT_EQ(animation.AutoPlay(), c.autoPlay);
    const RECT place = PlaceInParent(window);
    EXPECT_EQ(place.left, c.placeX);
    EXPECT_EQ(place.top, c.placeY);
    EXPECT_EQ(place.right - place.left, 20);
    EXPECT_EQ(place.bottom - place.top, 20);
  }
}

TEST(AnimationControl, OpenShowsTheClipAtItsFrameSize) {
  ParentWindow parent;
  AnimationControl animation;
  ASSERT_TRUE(animation.Create(ACS_TRANSPARENT | ACS_AUTOPLAY, 30, 5, parent.window, 1001));
  EXPECT_FALSE(GetWindowLongPtrA(animation.Window(), GWL_STYLE) & WS_VISIBLE);

  ASSERT_TRUE(animation.Open(IDA_SPLIT_CLIP));
  EXPECT_EQ(animation.State(), AnimationControl::kClipOpen);
  EXPECT_TRUE(GetWindowLongPtrA(animation.Window(), GWL_STYLE) & WS_VISIBLE);
  const RECT place = PlaceInParent(animation.Window());
  EXPECT_EQ(place.left, 30);
  EXPECT_EQ(place.top, 5);
  EXPECT_EQ(place.right - place.left, 272);
  EXPECT_EQ(place.bottom - place.top, 60);

  // Reopening stops the old clip first, then opens the new one.
  OpenCounter::Attach(animation.Window());
  ASSERT_TRUE(animation.Open(IDA_SPLIT_CLIP));
  EXPECT_EQ(OpenCounter::closes, 1);
  EXPECT_EQ(OpenCounter::count, 2);
  EXPECT_EQ(animation.State(), AnimationControl::kClipOpen);
}

TEST(AnimationControl, OpenRefusesResourceZeroAndMissingClips) {
  ParentWindow parent;
  AnimationControl animation;
  ASSERT_TRUE(animation.Create(ACS_AUTOPLAY, 0, 0, parent.window, 1001));
  OpenCounter::Attach(animation.Window());
  EXPECT_FALSE(animation.Open(0));
  EXPECT_EQ(OpenCounter::count, 0);
  EXPECT_EQ(animation.State(), AnimationControl::kCreatedAutoPlay);

  EXPECT_FALSE(animation.Open(4321));  // no such AVI resource
  EXPECT_EQ(animation.State(), AnimationControl::kCreatedAutoPlay);
  EXPECT_FALSE(GetWindowLongPtrA(animation.Window(), GWL_STYLE) & WS_VISIBLE);
}

TEST(AnimationControl, StopAndDestructionCloseAnOpenClip) {
  ParentWindow parent;
  {
    AnimationControl animation;
    ASSERT_TRUE(animation.Create(ACS_AUTOPLAY, 0, 0, parent.window, 1001));
    ASSERT_TRUE(animation.Open(IDA_SPLIT_CLIP));
    OpenCounter::Attach(animation.Window());
    animation.Stop();
    EXPECT_EQ(animation.State(), AnimationControl::kStopped);
    EXPECT_EQ(OpenCounter::closes, 1);
  }
  auto animation = std::make_unique<AnimationControl>();
  ASSERT_TRUE(animation->Create(ACS_AUTOPLAY, 0, 0, parent.window, 1002));
  ASSERT_TRUE(animation->Open(IDA_SPLIT_CLIP));
  HWND window = animation->Window();
  OpenCounter::Attach(window);
  animation.reset();
  EXPECT_EQ(OpenCounter::closes, 1);
  // The window goes with its parent, not with the wrapper.
  EXPECT_TRUE(IsWindow(window));
}

TEST(ProgressBar, CreateRefusesBadPlacesAndParents) {
  ParentWindow parent;
  HWND gone = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  DestroyWindow(gone);
  struct Case {
    RECT place;
    HWND parent;
  };
  const Case cases[] = {
      {{10, 65, 0, 20}, parent.window},   {{10, 65, 315, 0}, parent.window},
      {{-1, 65, 315, 20}, parent.window}, {{10, -1, 315, 20}, parent.window},
      {{10, 65, -5, 20}, parent.window},  {{10, 65, 315, 20}, gone},
  };
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    SCOPED_TRACE(testing::Message() << "case " << i);
    ProgressBar bar;
    EXPECT_FALSE(bar.Create(WS_CHILD | WS_VISIBLE, cases[i].place, cases[i].parent, 1002));
    EXPECT_EQ(bar.Window(), nullptr);
    EXPECT_EQ(GetWindow(parent.window, GW_CHILD), nullptr);
    // Without a window every operation is a no-op.
    EXPECT_EQ(bar.StepIt(), 0);
    EXPECT_EQ(bar.SetRange(0, 10), 0);
  }
}

TEST(ProgressBar, CreatePlacesTheBarByXYWidthHeight) {
  ParentWindow parent;
  HWND window = nullptr;
  {
    ProgressBar bar;
    ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE | PBS_SMOOTH, RECT{10, 65, 315, 20},
                           parent.window, 1002));
    window = bar.Window();
    EXPECT_EQ(GetDlgItem(parent.window, 1002), window);
    EXPECT_TRUE(GetWindowLongPtrA(window, GWL_STYLE) & PBS_SMOOTH);
    const RECT place = PlaceInParent(window);
    EXPECT_EQ(place.left, 10);
    EXPECT_EQ(place.top, 65);
    EXPECT_EQ(place.right - place.left, 315);
    EXPECT_EQ(place.bottom - place.top, 20);
  }
  EXPECT_FALSE(IsWindow(window));
}

TEST(ProgressBar, RangeIsCutTo16BitsAndOperationsReturnTheirMessagesResults) {
  ParentWindow parent;
  ProgressBar bar;
  ASSERT_TRUE(bar.Create(WS_CHILD, RECT{0, 0, 100, 10}, parent.window, 1002));
  HWND window = bar.Window();
  PBRANGE range{};

  bar.SetRange(0, 1000);
  SendMessageA(window, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
  EXPECT_EQ(range.iLow, 0);
  EXPECT_EQ(range.iHigh, 1000);

  // The previous range comes back as low and high words.
  EXPECT_EQ(bar.SetRange(3, 70000), MAKELONG(0, 1000));
  SendMessageA(window, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
  EXPECT_EQ(range.iLow, 3);
  EXPECT_EQ(range.iHigh, 70000 & 0xFFFF);

  bar.SetRange(0, 6);
  bar.SetPos(0);
  EXPECT_EQ(bar.SetStep(1), 10);  // the control's default step
  EXPECT_EQ(bar.StepIt(), 0);
  EXPECT_EQ(bar.StepIt(), 1);
  EXPECT_EQ(bar.SetPos(6), 2);
  EXPECT_EQ(SendMessageA(window, PBM_GETPOS, 0, 0), 6);

  bar.SetBarColor(RGB(62, 17, 238));
  EXPECT_EQ(bar.SetBarColor(RGB(1, 2, 3)), static_cast<LRESULT>(RGB(62, 17, 238)));
  bar.SetBkColor(RGB(255, 255, 255));
  EXPECT_EQ(bar.SetBkColor(RGB(4, 5, 6)), static_cast<LRESULT>(RGB(255, 255, 255)));
}
