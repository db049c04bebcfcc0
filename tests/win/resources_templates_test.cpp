// The compiled resources as the dialog manager and the common controls see
// them: every dialog creates with its controls in tab order, at their places,
// with their texts and the styles the code relies on; the icon and the clip load.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "resource_ids.h"

namespace {

constexpr int kNone = -1;

struct ControlSpec {
  int id;
  const char* className;
  const char* text;  // nullptr: not compared (the icon static)
  int x, y, width, height;
  bool tabStop;
};

struct DialogSpec {
  const char* name;  // template name, or MAKEINTRESOURCE
  const char* caption;
  int width, height;
  DWORD requiredStyle;
  DWORD forbiddenStyle;
  std::vector<ControlSpec> controls;
};

INT_PTR CALLBACK DoNothingProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

std::string TextOfWindow(HWND window) {
  char buffer[300] = {};
  GetWindowTextA(window, buffer, sizeof buffer);
  return buffer;
}

std::string ClassOfWindow(HWND window) {
  char buffer[64] = {};
  GetClassNameA(window, buffer, sizeof buffer);
  return buffer;
}

// The dialog manager maps a control's origin and size separately (so must we:
// mapping its right edge instead can round one pixel apart).
struct Place {
  int x, y, width, height;
};

Place DialogUnits(HWND dialog, int x, int y, int width, int height) {
  RECT rect = {x, y, width, height};
  MapDialogRect(dialog, &rect);
  return {rect.left, rect.top, rect.right, rect.bottom};
}

RECT RectInClient(HWND dialog, HWND control) {
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// Destroys the modeless dialog at the end of a case.
struct DialogWindow {
  HWND window;
  explicit DialogWindow(const char* name)
      : window(CreateDialogParamA(GetModuleHandleA(nullptr), name, nullptr, DoNothingProc, 0)) {}
  ~DialogWindow() {
    if (window) DestroyWindow(window);
  }
};

const char* const kTitle = "PLYX - Quorvant Ver 1.4";

std::vector<DialogSpec> Dialogs() {
  return {
      {"PLYX", kTitle, 422, 199,
       WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
       WS_MAXIMIZEBOX | WS_THICKFRAME,
       {
           {kNone, "Button", "", 13, 13, 393, 128, false},
           {kNone, "Static", "File to be Split", 18, 23, 230, 9, false},
           {IDC_SOURCE_FILE, "Edit", "", 18, 34, 230, 14, true},
           {IDC_BROWSE_FILE, "Button", "Browse ...", 256, 34, 50, 14, true},
           {kNone, "Static", "Destination Folder", 18, 54, 230, 8, false},
           {IDC_DEST_FOLDER, "ComboBox", "", 18, 66, 230, 64, true},
           {IDC_BROWSE_FOLDER, "Button", "Browse ...", 256, 64, 50, 14, true},
           {kNone, "Static", "Split into File of Size", 17, 89, 99, 8, false},
           {IDC_SIZE_LIST, "ComboBox", "", 17, 99, 91, 46, true},
           {kNone, "Button", "", 14, 153, 393, 32, false},
           {IDC_SPLIT, "Button", "Split", 35, 165, 50, 14, true},
           {IDC_CUSTOMIZE, "Button", "Customize", 109, 165, 50, 14, true},
           {IDC_CLOSE, "Button", "Close", 183, 165, 50, 14, true},
           {IDC_ABOUT, "Button", "About", 260, 165, 50, 14, true},
           {IDC_HELP_BUTTON, "Button", "Help", 335, 165, 50, 14, true},
           {IDC_FILE_SIZE_TEXT, "Static", "File Size : 0 KB", 313, 36, 83, 12, false},
           {IDC_PART_COUNT_TEXT, "Static", "Num of Split Parts : 0", 121, 99, 129, 12, false},
           {IDC_SPLIT_SIZE_TEXT, "Static", "Split Size : 1.38 MB", 19, 120, 129, 12, false},
           {kNone, "Static", nullptr, 316, 91, 20, 20, false},
           {kNone, "Static", "PLYX - Quorvant Ver : 1.4", 249, 115, 151, 17, false},
       }},
      {"CUSTOMSIZE", "Choose Custom File Split Size", 186, 95,
       WS_POPUP | WS_VISIBLE | WS_CAPTION | DS_MODALFRAME,
       WS_SYSMENU | WS_THICKFRAME,
       {
           {IDC_CUSTOM_BYTES, "Edit", "", 19, 16, 45, 14, true},
           {IDOK, "Button", "OK", 31, 63, 50, 14, true},
           {IDC_CUSTOM_CANCEL, "Button", "Cancel", 97, 63, 50, 14, true},
           {kNone, "Static", "Size in Bytes", 71, 15, 98, 14, false},
           {IDC_CUSTOM_LABEL, "Static", "", 19, 38, 144, 16, false},
           {kNone, "Button", "", 7, 7, 172, 81, false},
       }},
      {MAKEINTRESOURCEA(IDD_PROGRESS), kTitle, 226, 79,
       WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
       WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX,
       {
           {IDC_PROGRESS_CANCEL, "Button", "Cancel", 169, 58, 50, 14, true},
           {IDC_PROGRESS_STATUS, "Static", "Splitting files ...", 7, 58, 162, 14, false},
       }},
  };
}

const char* NameOf(const DialogSpec& spec) {
  return IS_INTRESOURCE(spec.name) ? "113" : spec.name;
}

}  // namespace

TEST(ResourceTemplates, DialogsCreateWithTheirControlsInTabOrderAndPlace) {
  for (const DialogSpec& spec : Dialogs()) {
    SCOPED_TRACE(NameOf(spec));
    DialogWindow dialog(spec.name);
    ASSERT_NE(dialog.window, nullptr) << GetLastError();
    HWND window = dialog.window;
    EXPECT_EQ(TextOfWindow(window), spec.caption);
    const DWORD style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_EQ(style & spec.requiredStyle, spec.requiredStyle) << std::hex << style;
    EXPECT_EQ(style & spec.forbiddenStyle, 0u) << std::hex << style;
    RECT client;
    GetClientRect(window, &client);
    const Place expected = DialogUnits(window, 0, 0, spec.width, spec.height);
    EXPECT_EQ(client.right, expected.width);
    EXPECT_EQ(client.bottom, expected.height);

    HWND control = GetWindow(window, GW_CHILD);
    for (size_t i = 0; i < spec.controls.size(); ++i, control = GetWindow(control, GW_HWNDNEXT)) {
      const ControlSpec& want = spec.controls[i];
      SCOPED_TRACE("control #" + std::to_string(i) + " id " + std::to_string(want.id));
      ASSERT_NE(control, nullptr);
      EXPECT_EQ(GetDlgCtrlID(control), want.id == kNone ? 0xFFFF : want.id);
      EXPECT_STRCASEEQ(ClassOfWindow(control).c_str(), want.className);
      if (want.text) {
        EXPECT_EQ(TextOfWindow(control), want.text);
      }
      const DWORD controlStyle = GetWindowLongA(control, GWL_STYLE);
      EXPECT_EQ((controlStyle & WS_TABSTOP) != 0, want.tabStop);
      EXPECT_NE(controlStyle & WS_VISIBLE, 0u);
      const Place place = DialogUnits(window, want.x, want.y, want.width, want.height);
      const RECT actual = RectInClient(window, control);
      EXPECT_EQ(actual.left, place.x);
      EXPECT_EQ(actual.top, place.y);
      // A combo box's height is its closed height; an icon static takes the icon's size.
      if (want.text) {
        EXPECT_EQ(actual.right - actual.left, place.width);
        if (ClassOfWindow(control) != "ComboBox") {
          EXPECT_EQ(actual.bottom - actual.top, place.height);
        }
      }
    }
    EXPECT_EQ(control, nullptr) << "more controls than expected";
  }
}

TEST(ResourceTemplates, MainWindowHasNoDefaultButtonAndPlainLists) {
  DialogWindow dialog("PLYX");
  ASSERT_NE(dialog.window, nullptr);
  for (int id : {IDC_SPLIT, IDC_CUSTOMIZE, IDC_CLOSE, IDC_ABOUT, IDC_HELP_BUTTON, IDC_BROWSE_FILE,
                 IDC_BROWSE_FOLDER}) {
    SCOPED_TRACE(id);
    const DWORD style = GetWindowLongA(GetDlgItem(dialog.window, id), GWL_STYLE);
    EXPECT_EQ(style & BS_TYPEMASK, static_cast<DWORD>(BS_PUSHBUTTON));
  }
  // The destination list keeps the history's newest-first order: no sorting.
  struct ListCase {
    int id;
    DWORD kind;
  };
  for (const ListCase& list :
       {ListCase{IDC_DEST_FOLDER, CBS_DROPDOWN}, ListCase{IDC_SIZE_LIST, CBS_DROPDOWNLIST}}) {
    SCOPED_TRACE(list.id);
    HWND combo = GetDlgItem(dialog.window, list.id);
    EXPECT_EQ(GetWindowLongA(combo, GWL_STYLE) & 3u, list.kind);
    for (const char* text : {"C:\\b\\", "C:\\a\\", "C:\\c\\"}) {
      SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    char first[16] = {};
    SendMessageA(combo, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(first));
    EXPECT_STREQ(first, "C:\\b\\");
  }
  // The destination accepts a typed path wider than the box.
  HWND destination = GetDlgItem(dialog.window, IDC_DEST_FOLDER);
  SetFocus(destination);
  const std::string longPath = "C:\\" + std::string(200, 'x');
  for (char c : longPath) SendMessageA(GetFocus(), WM_CHAR, static_cast<WPARAM>(c), 0);
  EXPECT_EQ(TextOfWindow(destination), longPath);
  // The decoration shows icon 103.
  HWND iconStatic = GetWindow(GetDlgItem(dialog.window, IDC_SPLIT_SIZE_TEXT), GW_HWNDNEXT);
  EXPECT_NE(SendMessageA(iconStatic, STM_GETICON, 0, 0), 0);
}

TEST(ResourceTemplates, CustomSizeBoxTakesDigitsOnly) {
  DialogWindow dialog("CUSTOMSIZE");
  ASSERT_NE(dialog.window, nullptr);
  HWND box = GetDlgItem(dialog.window, IDC_CUSTOM_BYTES);
  const DWORD style = GetWindowLongA(box, GWL_STYLE);
  EXPECT_NE(style & ES_NUMBER, 0u);
  EXPECT_NE(style & ES_RIGHT, 0u);
  EXPECT_EQ(style & ES_AUTOHSCROLL, 0u);
  SetFocus(box);
  for (char c : std::string("12a3")) SendMessageA(box, WM_CHAR, static_cast<WPARAM>(c), 0);
  EXPECT_EQ(TextOfWindow(box), "123");
}

TEST(ResourceTemplates, IconHoldsA16AndA256ColourImageOf32Pixels) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC group = FindResourceA(module, MAKEINTRESOURCEA(IDI_PLYX), MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
  ASSERT_NE(group, nullptr);
  const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(module, group)));
  ASSERT_NE(data, nullptr);
  // GRPICONDIR: reserved, type, count; then 14-byte entries.
  const WORD count = *reinterpret_cast<const WORD*>(data + 4);
  ASSERT_EQ(count, 2);
  std::vector<int> depths;
  for (int i = 0; i < count; ++i) {
    const BYTE* entry = data + 6 + 14 * i;
    EXPECT_EQ(entry[0], 32);
    EXPECT_EQ(entry[1], 32);
    depths.push_back(*reinterpret_cast<const WORD*>(entry + 6));
  }
  EXPECT_EQ(depths, std::vector<int>({4, 8}));
  EXPECT_NE(LoadIconA(module, MAKEINTRESOURCEA(IDI_PLYX)), nullptr);
}

TEST(ResourceTemplates, AnimationControlOpensTheClipAtItsFrameSize) {
  INITCOMMONCONTROLSEX init = {sizeof init, ICC_ANIMATE_CLASS};
  ASSERT_TRUE(InitCommonControlsEx(&init));
  DialogWindow dialog(MAKEINTRESOURCEA(IDD_PROGRESS));
  ASSERT_NE(dialog.window, nullptr);
  HMODULE module = GetModuleHandleA(nullptr);
  HWND animation = CreateWindowExA(0, ANIMATE_CLASSA, nullptr, WS_CHILD | ACS_TRANSPARENT, 30, 5, 20, 20,
                                   dialog.window, reinterpret_cast<HMENU>(IDC_PROGRESS_ANIMATION), module, nullptr);
  ASSERT_NE(animation, nullptr);
  ASSERT_TRUE(SendMessageA(animation, ACM_OPENA, reinterpret_cast<WPARAM>(module),
                           reinterpret_cast<LPARAM>(MAKEINTRESOURCEA(IDA_SPLIT_CLIP))));
  // Without ACS_CENTER the control takes the size of the clip's frames.
  RECT rect;
  GetWindowRect(animation, &rect);
  EXPECT_EQ(rect.right - rect.left, 272);
  EXPECT_EQ(rect.bottom - rect.top, 60);
  EXPECT_TRUE(SendMessageA(animation, ACM_PLAY, static_cast<WPARAM>(-1), MAKELONG(0, 24)));
  EXPECT_TRUE(SendMessageA(animation, ACM_STOP, 0, 0));
}
