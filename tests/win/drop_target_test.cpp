// The drop target as the main window registers it, driven by OLE's own drag
// loop with the shell's data object for real files, folders and shortcuts.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <cstring>
#include <string>
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

// Wine's shell cuts an item's path at MAX_PATH, so a longer one comes as the
// file manager puts it on the clipboard, in OLE's data object of the clipboard.
ComPtr<IDataObject> ClipboardDrop(const std::wstring& path) {
  HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + (path.size() + 2) * sizeof(wchar_t));
  auto* files = static_cast<DROPFILES*>(GlobalLock(memory));
  files->pFiles = sizeof(DROPFILES), files->fWide = TRUE;
  std::memcpy(files + 1, path.c_str(), path.size() * sizeof(wchar_t));
  GlobalUnlock(memory);
  ComPtr<IDataObject> data;
  if (OpenClipboard(nullptr) && EmptyClipboard() && SetClipboardData(CF_HDROP, memory) && CloseClipboard()) {
    OleGetClipboard(data.Out());
  }
  return data;
}

// One drag per row onto PLYX's main window, its request emptied before.
// Mended faults: a 260-byte path was cut into the name of another file; a name
// without an exact ANSI form came as its best fit (Omega.bin, another file); a
// shortcut to nothing was accepted; a drop under a modal window (the main
// window disabled) changed the request.
TEST(DropOnMainWindow, TakesOneFileFolderOrShortcutAndRefusesTheRest) {
  ASSERT_EQ(OleInitialize(nullptr), S_OK);
  TempFolder temp;
  const std::string file = temp / "data.bin", folder = temp.MakeFolder("parts"), gone = temp / "gone.bin";
  const std::wstring omega = Widen(temp.Path()) + L"\u03a9mega.bin";
  ASSERT_TRUE(WriteBytes(file, "data") && WriteBytes(temp / "Omega.bin", "") && WriteBytes(temp / "\xc9t\xe9", "") &&
              UniqueHandle(CreateFileW(omega.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr)).IsValid());
  ASSERT_TRUE(MakeShortcut(temp / "to file.lnk", file) && MakeShortcut(temp / "UPPER.LNK", file) &&
              MakeShortcut(temp / "to folder.lnk", folder) && WriteBytes(gone, "") &&
              MakeShortcut(temp / "gone.lnk", gone) && DeleteFileA(gone.c_str()));
  InstanceHandle = GetModuleHandleA(nullptr);
  HWND dialog = CreateDialogParamA(InstanceHandle, "PLYX", nullptr, MainDialog, 0);
  ASSERT_TRUE(dialog != nullptr && MainDropTarget != nullptr);
  RECT frame;
  GetWindowRect(dialog, &frame);
  const POINT centre = {(frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2};
  const struct { std::vector<std::wstring> items; bool drop, disabled; std::string source, dest; } cases[] = {
      // source, dest: what the request holds afterwards; both empty: refused
      {{Widen(file)}, true, false, file, temp.Path()},
      {{Widen(temp / "\xc9t\xe9")}, true, false, temp / "\xc9t\xe9", temp.Path()},
      {{Widen(folder)}, true, false, "", folder},
      {{Widen(temp / "to file.lnk")}, true, false, file, temp.Path()},
      {{Widen(temp / "UPPER.LNK")}, true, false, file, temp.Path()},
      {{Widen(temp / "to folder.lnk")}, true, false, folder, ""},  // a file to split: "File Open Failure" follows
      {{Widen(temp / "gone.lnk")}, true, false, "", ""},
      {{Widen(file), Widen(folder)}, true, false, "", ""},
      {{Widen(temp / std::string(260, 'f'))}, true, false, "", ""},  // through the clipboard
      {{omega}, true, false, "", ""},
      {{Widen(file)}, true, true, "", ""},
      {{Widen(file)}, false, false, "", ""},  // left without a drop
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("row " + std::to_string(&c - cases));
    SetDlgItemTextA(dialog, IDC_SOURCE_FILE, "");
    SplitJob.sourcePath[0] = SplitJob.destFolder[0] = '\0';
    ComPtr<IDataObject> data = c.items[0].size() < MAX_PATH ? ShellDataObject(c.items) : ClipboardDrop(c.items[0]);
    ASSERT_NE(data.Get(), nullptr);
    EnableWindow(dialog, !c.disabled);
    BoxAnswerer boxes;
    const bool taken = !c.source.empty() || !c.dest.empty();
    EXPECT_EQ(DragOnto(data.Get(), centre, c.drop), taken ? DWORD{DROPEFFECT_COPY} : DWORD{DROPEFFECT_NONE});
    EnableWindow(dialog, TRUE);
    EXPECT_EQ(TextOf(GetDlgItem(dialog, IDC_SOURCE_FILE)) + " | " + SplitJob.destFolder, c.source + " | " + c.dest);
    // Emptied when the drag leaves; what a refused drag held is never read.
    const std::string held = !c.drop ? "" : c.source.empty() ? c.dest : c.source;
    EXPECT_TRUE((!taken && c.drop) || MainDropTarget->HeldPath() == held) << MainDropTarget->HeldPath();
    EXPECT_EQ(boxes.Seen().size(), c.source == folder ? 1u : 0u);
  }
  DestroyWindow(dialog);  // revoked and released: the object frees itself
  EXPECT_EQ(MainDropTarget, nullptr);
  OleUninitialize();
}

}  // namespace
