// What the compiled templates do that their script does not show: how the
// controls windres made take what is typed and added.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "resource_ids.h"
#include "support/ui_driver.h"

namespace {

INT_PTR CALLBACK DoNothingProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

std::string Typed(HWND box, const std::string& text) {
  SetFocus(box);
  for (char c : text) SendMessageA(GetFocus(), WM_CHAR, static_cast<WPARAM>(c), 0);
  return TextOf(box);
}

// A sorted destination list would show the history out of its newest-first
// order, and a box without horizontal scrolling would cut a typed path.
TEST(ResourceTemplates, FieldsTakeWhatTheyShouldAndTheDecorationShowsTheIcon) {
  HWND plyx = CreateDialogParamA(GetModuleHandleA(nullptr), "PLYX", nullptr, DoNothingProc, 0);
  HWND custom = CreateDialogParamA(GetModuleHandleA(nullptr), "CUSTOMSIZE", nullptr, DoNothingProc, 0);
  ASSERT_TRUE(plyx && custom);
  HWND destination = GetDlgItem(plyx, IDC_DEST_FOLDER);
  for (const char* text : {"C:\\b\\", "C:\\a\\"}) SendMessageA(destination, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  char first[16] = {};
  SendMessageA(destination, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(first));
  EXPECT_STREQ(first, "C:\\b\\");
  const std::string longPath = "C:\\" + std::string(200, 'x');
  EXPECT_EQ(Typed(destination, longPath), longPath);
  HWND decoration = GetWindow(GetDlgItem(plyx, IDC_SPLIT_SIZE_TEXT), GW_HWNDNEXT);
  EXPECT_NE(SendMessageA(decoration, STM_GETICON, 0, 0), 0) << "the decoration shows the icon";
  // Guards: the largest size the dialog accepts could not be typed in full.
  EXPECT_EQ(Typed(GetDlgItem(custom, IDC_CUSTOM_BYTES), "42949a67295"), "4294967295") << "digits only, all ten";
  DestroyWindow(custom);
  DestroyWindow(plyx);
}

}  // namespace
