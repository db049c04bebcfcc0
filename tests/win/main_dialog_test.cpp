// The main window's templates, icon and drop target (OLE's own drag loop, the shell's data object).
#include <gtest/gtest.h>

#include <shlobj.h>

#include <cstring>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "drop_target.h"
#include "globals.h"
#include "holders.h"
#include "main_dialog.h"
#include "resource_ids.h"
#include "split_job.h"
#include "support/drag_drop.h"
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

// A box without horizontal scrolling would cut a typed path; an icon stretched from another size blurs.
TEST(Resources, FieldsTakeAllThatIsTypedAndTheIconHasAFormForEverySizeTheSystemAsksFor) {
  HWND plyx = Template("PLYX"), custom = Template("CUSTOMSIZE");
  ASSERT_TRUE(plyx && custom);
  const std::string longPath = "C:\\" + std::string(200, 'x');
  EXPECT_EQ(Typed(GetDlgItem(plyx, IDC_DEST_FOLDER), longPath), longPath);
  // Guards: the largest size the dialog accepts could not be typed in full.
  EXPECT_EQ(Typed(GetDlgItem(custom, IDC_CUSTOM_BYTES), "42949a67295"), "4294967295") << "digits only, all ten";
  DestroyWindow(custom);
  DestroyWindow(plyx);
  // 16 for the title bar, 48 at 150 %.
  auto resource = [](int id, LPCSTR type) {
    return static_cast<const BYTE*>(
        LockResource(LoadResource(nullptr, FindResourceA(nullptr, MAKEINTRESOURCEA(id), type))));
  };
  for (int size : {16, 32, 48}) {
    const int id =
        LookupIconIdFromDirectoryEx(const_cast<BYTE*>(resource(IDI_PLYX, RT_GROUP_ICON)), TRUE, size, size, 0);
    const auto* image = reinterpret_cast<const BITMAPINFOHEADER*>(resource(id, RT_ICON));
    EXPECT_EQ(image ? image->biWidth : 0, size);
  }
}

// Wine's shell cuts an item's path at MAX_PATH: a longer one comes through the clipboard.
ComPtr<IDataObject> ClipboardDrop(const std::wstring& path) {
  HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + (path.size() + 2) * sizeof(wchar_t));
  auto* files = static_cast<DROPFILES*>(GlobalLock(memory));
  files->pFiles = sizeof(DROPFILES), files->fWide = TRUE;
  std::memcpy(files + 1, path.c_str(), path.size() * sizeof(wchar_t));
  GlobalUnlock(memory);
  ComPtr<IDataObject> data;
  if (OpenClipboard(nullptr) && EmptyClipboard() && SetClipboardData(CF_HDROP, memory) && CloseClipboard())
    OleGetClipboard(data.Out());
  return data;
}

// Mended faults: a 260-byte path was cut into another file's name; a name without an exact
// ANSI form came as its best fit (Omega.bin); a shortcut to nothing, or a drop under a modal window, was taken.
TEST(DropOnMainWindow, TakesOneFileFolderOrShortcutAndRefusesTheRest) {
  ASSERT_EQ(OleInitialize(nullptr), S_OK);
  TempFolder temp;
  const std::string file = temp / "data.bin", folder = temp.MakeFolder("parts"), gone = temp / "gone.bin";
  const std::wstring omega = MakeBestFitPair(temp.Path());
  ASSERT_NE(omega, L"");
  const std::string ete = temp / Narrow(L"\u00c9t\u00e9");
  for (const std::string& made : {file, ete, gone}) ASSERT_TRUE(WriteBytes(made, "data")) << made;
  const std::pair<const char*, std::string> shortcuts[] = {
      {"to file.lnk", file}, {"UPPER.LNK", file}, {"to folder.lnk", folder}, {"gone.lnk", gone}};
  for (const auto& [name, target] : shortcuts) ASSERT_TRUE(MakeShortcut(temp / name, target)) << name;
  ASSERT_TRUE(DeleteFileA(gone.c_str()));
  InstanceHandle = GetModuleHandleA(nullptr);
  SplitJob.sourcePath[0] = '\0';  // a file left by an earlier test would be opened, and refused, at the start
  HWND dialog = CreateDialogParamA(InstanceHandle, "PLYX", nullptr, MainDialog, 0);
  ASSERT_NE(dialog, nullptr);
  ASSERT_NE(MainDropTarget, nullptr) << "the main window registered no drop target";
  RECT frame;
  GetWindowRect(dialog, &frame);
  const POINT centre = {(frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2};
  // source, dest: what the request holds afterwards; both empty: refused
  const std::tuple<std::vector<std::wstring>, bool, bool, std::string, std::string> cases[] = {
      {{Widen(file)}, true, false, file, temp.Path()},
      {{Widen(ete)}, true, false, ete, temp.Path()},
      {{Widen(folder)}, true, false, "", folder},
      {{Widen(temp / "to file.lnk")}, true, false, file, temp.Path()},
      {{Widen(temp / "UPPER.LNK")}, true, false, file, temp.Path()},
      {{Widen(temp / "to folder.lnk")}, true, false, folder, ""},  // a file to split: "File Open Failure" follows
      {{Widen(temp / "gone.lnk")}, true, false, "", ""},
      {{Widen(file), Widen(folder)}, true, false, "", ""},
      {{Widen(temp / std::string(260, 'f'))}, true, false, "", ""},                     // through the clipboard
      {{omega}, true, false, Narrow(omega), Narrow(omega).empty() ? "" : temp.Path()},  // taken where exact
      {{Widen(file)}, true, true, "", ""},
      {{Widen(file)}, false, false, "", ""},  // left without a drop
  };
  for (const auto& c : cases) {
    const auto& [items, drop, disabled, source, dest] = c;
    SCOPED_TRACE("row " + std::to_string(&c - cases));
    SetDlgItemTextA(dialog, IDC_SOURCE_FILE, "");
    SplitJob.sourcePath[0] = SplitJob.destFolder[0] = '\0';
    ComPtr<IDataObject> data = items[0].size() < MAX_PATH ? ShellDataObject(items) : ClipboardDrop(items[0]);
    ASSERT_NE(data.Get(), nullptr);
    EnableWindow(dialog, !disabled);
    BoxAnswerer boxes;
    const bool taken = !source.empty() || !dest.empty();
    EXPECT_EQ(DragOnto(data.Get(), centre, drop), taken ? DWORD{DROPEFFECT_COPY} : DWORD{DROPEFFECT_NONE});
    EnableWindow(dialog, TRUE);
    EXPECT_EQ(TextOf(GetDlgItem(dialog, IDC_SOURCE_FILE)) + " | " + SplitJob.destFolder, source + " | " + dest);
    // Emptied when the drag leaves; what a refused drag held is never read.
    const std::string held = !drop ? "" : source.empty() ? dest : source;
    if (taken || !drop) { EXPECT_EQ(MainDropTarget->HeldPath(), held); }
    EXPECT_EQ(boxes.Seen().size(), source == folder ? 1u : 0u);
  }
  DestroyWindow(dialog);  // revoked and released: the object frees itself
  EXPECT_EQ(MainDropTarget, nullptr);
  OleUninitialize();
}

}  // namespace
