// What the compiled resources do that their script does not show: the styles
// windres gives the controls, and how the controls take typing.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "resource_ids.h"
#include "support/ui_driver.h"

namespace {

INT_PTR CALLBACK DoNothingProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// The modeless dialog, destroyed at the end of a case.
struct DialogWindow {
  HWND window;
  explicit DialogWindow(const char* name)
      : window(CreateDialogParamA(GetModuleHandleA(nullptr), name, nullptr, DoNothingProc, 0)) {}
  ~DialogWindow() { DestroyWindow(window); }
};

void Type(HWND box, const std::string& text) {
  SetFocus(box);
  for (char c : text) SendMessageA(GetFocus(), WM_CHAR, static_cast<WPARAM>(c), 0);
}

}  // namespace

// Every control shows, and Tab reaches exactly the fields and push buttons;
// no button of the main window is the default one, so Enter starts nothing.
TEST(ResourceTemplates, ControlsShowAndTabStopsAreTheFieldsAndPushButtons) {
  const LPCSTR dialogs[] = {"PLYX", "CUSTOMSIZE", MAKEINTRESOURCEA(IDD_PROGRESS)};
  for (LPCSTR name : dialogs) {
    SCOPED_TRACE(IS_INTRESOURCE(name) ? "113" : name);
    DialogWindow dialog(name);
    ASSERT_NE(dialog.window, nullptr) << GetLastError();
    for (HWND control = GetWindow(dialog.window, GW_CHILD); control;
         control = GetWindow(control, GW_HWNDNEXT)) {
      SCOPED_TRACE(GetDlgCtrlID(control));
      char kind[16] = {};
      GetClassNameA(control, kind, sizeof kind);
      const DWORD style = GetWindowLongA(control, GWL_STYLE);
      const bool button = lstrcmpiA(kind, "Button") == 0;
      const bool field = lstrcmpiA(kind, "Edit") == 0 || lstrcmpiA(kind, "ComboBox") == 0;
      EXPECT_NE(style & WS_VISIBLE, 0u);
      const DWORD type = style & BS_TYPEMASK;
      EXPECT_EQ((style & WS_TABSTOP) != 0, field || (button && type != DWORD{BS_GROUPBOX}));
      if (button && name == dialogs[0]) {
        EXPECT_NE(type, DWORD{BS_DEFPUSHBUTTON});
      }
    }
  }
}

// A sorted destination list would show the history out of its newest-first
// order, and a box without horizontal scrolling would cut a typed path.
TEST(ResourceTemplates, FieldsTakeWhatTheyShouldAndTheDecorationShowsTheIcon) {
  DialogWindow plyx("PLYX");
  ASSERT_NE(plyx.window, nullptr);
  HWND destination = GetDlgItem(plyx.window, IDC_DEST_FOLDER);
  for (const char* text : {"C:\\b\\", "C:\\a\\"}) {
    SendMessageA(destination, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  }
  char first[16] = {};
  SendMessageA(destination, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(first));
  EXPECT_STREQ(first, "C:\\b\\");
  const std::string longPath = "C:\\" + std::string(200, 'x');
  Type(destination, longPath);
  EXPECT_EQ(TextOf(destination), longPath);
  HWND decoration = GetWindow(GetDlgItem(plyx.window, IDC_SPLIT_SIZE_TEXT), GW_HWNDNEXT);
  EXPECT_NE(SendMessageA(decoration, STM_GETICON, 0, 0), 0) << "the decoration shows the icon";

  DialogWindow custom("CUSTOMSIZE");
  ASSERT_NE(custom.window, nullptr);
  HWND box = GetDlgItem(custom.window, IDC_CUSTOM_BYTES);
  Type(box, "12a3");
  EXPECT_EQ(TextOf(box), "123") << "digits only";
}
