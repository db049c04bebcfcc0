// The tray record must be the short form the shell of every Windows accepts,
// and the animation must leave the window alone where it cannot run.
#include <gtest/gtest.h>

#include <cstring>

#include "globals.h"
#include "resource_ids.h"
#include "tray.h"

namespace {

class TrayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InstanceHandle = GetModuleHandleA(nullptr);
    window_ = CreateWindowExA(0, "STATIC", "tray owner", WS_OVERLAPPEDWINDOW, 10, 10, 200, 100,
                              nullptr, nullptr, InstanceHandle, nullptr);
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override {
    // Leave no icon behind even when an assertion stopped the test midway.
    NOTIFYICONDATAA record;
    FillTrayRecord(window_, false, &record);
    Shell_NotifyIconA(NIM_DELETE, &record);
    DestroyWindow(window_);
  }
  HWND window_ = nullptr;
};

TEST_F(TrayTest, RecordHoldsOnlyTheFieldsOfItsOperation) {
  for (bool add : {true, false}) {
    SCOPED_TRACE(add ? "adding" : "removing");
    NOTIFYICONDATAA record;
    std::memset(&record, 0xAB, sizeof record);
    FillTrayRecord(window_, add, &record);

    NOTIFYICONDATAA expected;
    std::memset(&expected, 0, sizeof expected);
    expected.cbSize = kTrayRecordSize;
    expected.hWnd = window_;
    expected.uID = IDI_PLYX;
    if (add) {
      EXPECT_NE(record.hIcon, nullptr) << "icon 103 not loaded";
      expected.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
      expected.uCallbackMessage = WM_USER + 1000;
      expected.hIcon = record.hIcon;
      std::strcpy(expected.szTip, "PLYX - Quorvant Ver 1.4");
    }
    EXPECT_EQ(std::memcmp(&record, &expected, sizeof record), 0)
        << "flags " << record.uFlags << ", callback " << record.uCallbackMessage << ", tip '"
        << record.szTip << "'";
  }
}

TEST_F(TrayTest, RecordIsTheFormWithTheShortTip) {
  // The shell reads cbSize to tell the record's layout; the full structure's
  // size would announce fields PLYX never fills.
  EXPECT_EQ(kTrayRecordSize, sizeof(void*) == 4 ? 88u : 104u);
  EXPECT_LT(kTrayRecordSize, sizeof(NOTIFYICONDATAA));
}

TEST_F(TrayTest, IconIsAddedOnceAndRemovedOnce) {
  EXPECT_NE(SetTrayIcon(window_, true), FALSE);
  EXPECT_NE(SetTrayIcon(window_, false), FALSE);
  // Gone: a second removal finds nothing.
  EXPECT_EQ(SetTrayIcon(window_, false), FALSE);
}

TEST_F(TrayTest, WithoutNotificationAreaNothingIsDrawnAndTheWindowStaysAsItWas) {
  HWND taskbar = FindWindowExA(nullptr, nullptr, "Shell_TrayWnd", nullptr);
  if (taskbar != nullptr && FindWindowExA(taskbar, nullptr, "TrayNotifyWnd", nullptr) != nullptr) {
    GTEST_SKIP() << "this desktop has a notification area";
  }
  struct Case {
    bool visible;
    bool towardsTray;
  } cases[] = {{true, true}, {true, false}, {false, true}, {false, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "visible " << c.visible << ", towards " << c.towardsTray);
    ShowWindow(window_, c.visible ? SW_SHOWNOACTIVATE : SW_HIDE);
    EXPECT_FALSE(AnimateTrayTransition(window_, c.towardsTray));
    EXPECT_EQ(IsWindowVisible(window_) != FALSE, c.visible);
  }
}

}  // namespace
