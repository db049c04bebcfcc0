// The compiled dialog templates' fields as a user types into them.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "resource_ids.h"
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
  ASSERT_NE(plyx, nullptr);
  ASSERT_NE(custom, nullptr);
  const std::string longPath = "C:\\" + std::string(200, 'x');
  EXPECT_EQ(Typed(GetDlgItem(plyx, IDC_DEST_FOLDER), longPath), longPath);
  // Guards: the largest size the dialog accepts could not be typed in full.
  EXPECT_EQ(Typed(GetDlgItem(custom, IDC_CUSTOM_BYTES), "42949a67295"), "4294967295") << "digits only, all ten";
  DestroyWindow(custom);
  DestroyWindow(plyx);
}

}  // namespace
