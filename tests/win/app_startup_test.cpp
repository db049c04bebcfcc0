// Start-up: the command-line file and the hand-over of a second start (two real
// processes sharing the counter are driven end to end in tests/e2e).
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "resource_ids.h"
#include "split_job.h"
#include "startup.h"
#include "support/temp_dir.h"

namespace {

TEST(TakeCommandLineFile, TakesTheWholeTextOnlyWhenItNamesAnExistingPath) {
  TempDir folder;
  const std::string file = folder / "with blank.bin";
  ASSERT_TRUE(WriteWholeFile(file, "x"));
  const std::pair<std::string, std::string> cases[] = {
      {file, file}, {folder / "none.bin", ""}, {file + std::string(300, '\\'), ""}};
  for (const auto& [text, expected] : cases) {
    SCOPED_TRACE(text);
    std::snprintf(SplitJob.sourcePath, sizeof SplitJob.sourcePath, "stale");
    TakeCommandLineFile(text.c_str());
    EXPECT_EQ(std::string(SplitJob.sourcePath), expected);
  }
  SplitJob.sourcePath[0] = '\0';
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

TEST(SecondStart, HandsTheWholeTextOverToTheMainWindowAndLeavesTheCounter) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = RecordingProc;
  windowClass.lpszClassName = "PlyxRunningCopyStandIn";
  RegisterClassA(&windowClass);
  HWND running = CreateWindowExA(0, windowClass.lpszClassName, "PLYX - Quorvant Ver 1.4", WS_OVERLAPPED, 0, 0,
                                 100, 100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(running, nullptr);
  CreateWindowExA(0, "EDIT", "", WS_CHILD, 0, 0, 10, 10, running, reinterpret_cast<HMENU>(IDC_SOURCE_FILE),
                  nullptr, nullptr);
  // A message box of the running copy, with the same title and above it, must not take the text.
  HWND box = CreateWindowExA(0, "#32770", "PLYX - Quorvant Ver 1.4", WS_POPUP, 0, 0, 10, 10, running, nullptr,
                             nullptr, nullptr);
  ASSERT_EQ(FindWindowExA(nullptr, nullptr, nullptr, "PLYX - Quorvant Ver 1.4"), box);
  for (const std::string& text : {std::string(""), std::string("\"C:\\a b\\x.bin\""), std::string(400, 'p')}) {
    SCOPED_TRACE(text);
    receivedText = "none";
    volatile LONG counter = 0;
    EXPECT_EQ(RunPlyx(GetModuleHandleA(nullptr), text.c_str(), &counter), 0);
    EXPECT_EQ(counter, 0);
    EXPECT_EQ(receivedTag, 0x12345678u);
    EXPECT_EQ(receivedText, text);
  }
  DestroyWindow(box);
  DestroyWindow(running);
}

}  // namespace
