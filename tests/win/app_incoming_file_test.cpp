// How a file reaches the running PLYX from outside: the command-line file, the
// text a second start sends and what the running copy takes of it (two real
// processes sharing the counter are driven end to end in tests/e2e), and the
// drop target as the main window registers it, driven by OLE's own drag loop
// with the shell's data object for real files, folders and shortcuts.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <cstring>
#include <string>
#include <thread>

#include "drop_target.h"
#include "globals.h"
#include "holders.h"
#include "main_dialog.h"
#include "resource_ids.h"
#include "split_job.h"
#include "startup.h"
#include "support/drag_drop.h"
#include "support/files.h"
#include "support/ui_driver.h"

namespace {

// Bound: a command line longer than a path buffer must not become a cut-off
// path. (An existing file is taken, a missing one not: the e2e journeys'.)
TEST(TakeCommandLineFile, RefusesATextLongerThanAPathBuffer) {
  TempFolder folder;
  ASSERT_TRUE(WriteBytes(folder / "with blank.bin", "x"));
  std::strcpy(SplitJob.sourcePath, "stale");
  TakeCommandLineFile((folder / "with blank.bin" + std::string(300, '\\')).c_str());
  EXPECT_EQ(std::string(SplitJob.sourcePath), "");
}

// Bound: a hand-over must fit the path buffer it is copied into.
TEST(TakeHandOverText, TakesWhatFitsAPathBufferWithItsTagAndNothingElse) {
  const std::string fits(259, 'a'), tooLong(260, 'a');
  const struct { ULONG_PTR tag; DWORD size; const void* data; bool taken; std::string text; } cases[] = {
      {PLYX_HANDOVER_TAG, 2, "C:\\ab", true, "C:"},  // no terminator counted
      {PLYX_HANDOVER_TAG, 259, fits.data(), true, fits},
      {PLYX_HANDOVER_TAG, 260, tooLong.data(), false, ""},
      {PLYX_HANDOVER_TAG, 0x7FFFFFFF, tooLong.data(), false, ""},
      {PLYX_HANDOVER_TAG, 5, nullptr, false, ""},
      {0x87654321, 2, "C:", false, ""},  // another program's message
  };
  for (const auto& c : cases) {
    COPYDATASTRUCT data{c.tag, c.size, const_cast<void*>(c.data)};
    char text[kPathBufferSize];
    std::memset(text, 'Z', sizeof text);
    EXPECT_EQ(TakeHandOverText(&data, text, sizeof text), c.taken) << c.size;
    EXPECT_EQ(std::string(text), c.text) << c.size;
  }
}

std::string receivedText;
ULONG_PTR receivedTag = 0;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_COPYDATA) return DefWindowProcA(window, message, wParam, lParam);
  const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
  receivedTag = data->dwData;
  receivedText.assign(static_cast<const char*>(data->lpData), data->cbData);
  return TRUE;
}

// Mended fault: a message box of the running copy bears the same title above
// its main window; the hand-over must still reach the main window.
// Mended fault: a name without an exact ANSI form was handed over as its best
// fit, which names another file (here Omega.bin); it is refused with a box.
// Mended fault: a relative name was taken in the running copy's own folder,
// where it named another file.
TEST(SecondStart, HandsTheWholeTextOverToTheMainWindowAndLeavesTheCounter) {
  TempFolder folder;
  const std::wstring omega = std::wstring(folder.Path().begin(), folder.Path().end()) + L"\u03a9mega.bin";
  ASSERT_TRUE(WriteBytes(folder / "Omega.bin", "other") &&
              UniqueHandle(CreateFileW(omega.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr)).IsValid());
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = RecordingProc;
  windowClass.lpszClassName = "PlyxRunningCopyStandIn";
  RegisterClassA(&windowClass);
  HWND running = CreateWindowExA(0, windowClass.lpszClassName, kPlyxTitle, WS_OVERLAPPED, 0, 0, 100, 100, nullptr,
                                 nullptr, nullptr, nullptr);
  ASSERT_NE(running, nullptr);
  CreateWindowExA(0, "EDIT", "", WS_CHILD, 0, 0, 10, 10, running, reinterpret_cast<HMENU>(IDC_SOURCE_FILE), nullptr,
                  nullptr);
  HWND box = CreateWindowExA(0, "#32770", kPlyxTitle, WS_POPUP, 0, 0, 10, 10, running, nullptr, nullptr, nullptr);
  ASSERT_EQ(FindWindowExA(nullptr, nullptr, nullptr, kPlyxTitle), box);
  const struct { std::wstring commandLine; std::string handedOver; } cases[] = {
      {L"", ""}, {L"\"C:\\a b\\x.bin\"", "\"C:\\a b\\x.bin\""}, {std::wstring(400, L'p'), std::string(400, 'p')},
      {omega, ""},  // still brings the running copy to the front
      {L"Omega.bin", folder / "Omega.bin"},  // relative to this copy's folder, set below
  };
  char started[MAX_PATH];
  ASSERT_TRUE(GetCurrentDirectoryA(sizeof started, started) && SetCurrentDirectoryA(folder.Path().c_str()));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.handedOver);
    receivedText = "none";
    volatile LONG counter = 0;
    BoxAnswerer boxes;
    EXPECT_EQ(RunPlyx(GetModuleHandleA(nullptr), c.commandLine.c_str(), &counter), 0);
    EXPECT_EQ(counter, 0);
    EXPECT_EQ(receivedTag, ULONG_PTR{PLYX_HANDOVER_TAG});
    EXPECT_EQ(receivedText, c.handedOver);
    const auto seen = boxes.Seen();
    EXPECT_EQ(seen.size(), c.commandLine == omega ? 1u : 0u);
    EXPECT_TRUE(seen.empty() || seen[0].text.find("PLYX cannot use the name") == 0) << seen[0].text;
  }
  SetCurrentDirectoryA(started);
  DestroyWindow(box);
  DestroyWindow(running);
}

// Hang: a second start waited for ever on a first copy that takes no messages.
TEST(SecondStart, EndsWhenTheRunningCopyDoesNotAnswer) {
  HWND running = CreateWindowExA(0, "STATIC", kPlyxTitle, WS_POPUP, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr);
  const UniqueHandle ended(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  std::thread second([&] { HandOverCommandLine("C:\\x.bin"), SetEvent(ended.Get()); });
  // This thread takes no messages meanwhile, as a copy that hangs.
  EXPECT_EQ(WaitForSingleObject(ended.Get(), 2 * kHandOverTimeoutMs), WAIT_OBJECT_0);
  WaitFor([&] { return WaitForSingleObject(ended.Get(), 0) == WAIT_OBJECT_0; });
  second.join();
  DestroyWindow(running);
}

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
