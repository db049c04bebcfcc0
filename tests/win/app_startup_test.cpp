// Start-up: the command-line file, the hand-over of a second start, and the
// counter that two processes of plyx.exe really share.
#include <gtest/gtest.h>

#include <string>

#include "app_fixture.h"
#include "resource_ids.h"
#include "startup.h"
#include "support/temp_dir.h"
#include "support/ui_driver.h"

namespace {

TEST(TakeCommandLineFile, TakesTheWholeTextOnlyWhenItNamesAnExistingPath) {
  TempDir folder;
  const std::string file = folder / "with blank.bin";
  ASSERT_TRUE(WriteWholeFile(file, "x"));
  const std::string folderPath = folder.path().substr(0, folder.path().size() - 1);
  struct Case {
    const char* name;
    std::string text, expected;
  } cases[] = {
      {"existing file with a blank", file, file},
      {"existing folder", folderPath, folderPath},
      {"missing file", folder / "none.bin", ""},
      {"quoted path is not unquoted", "\"" + file + "\"", ""},
      {"longer than a path buffer", file + std::string(300, '\\'), ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::snprintf(SplitJob.sourcePath, sizeof SplitJob.sourcePath, "stale");
    TakeCommandLineFile(c.text.c_str());
    EXPECT_EQ(std::string(SplitJob.sourcePath), c.expected);
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

class Process {
 public:
  Process(const std::string& exe, const std::string& arguments) {
    std::string commandLine = "\"" + exe + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info_)) {
      return;
    }
    CloseHandle(info_.hThread);
  }
  ~Process() {
    if (info_.hProcess == nullptr) return;
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info_.hProcess, 99);
    CloseHandle(info_.hProcess);
  }
  DWORD Id() const { return info_.dwProcessId; }
  DWORD WaitExit() const {
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(info_.hProcess, 20000) == WAIT_OBJECT_0) GetExitCodeProcess(info_.hProcess, &code);
    return code;
  }

 private:
  PROCESS_INFORMATION info_ = {};
};

class TwoProcesses : public PlyxKeyTest {};

TEST_F(TwoProcesses, SecondStartHandsItsFileToTheFirstThroughTheSharedCounter) {
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, sizeof self);
  std::string exe = self;  // <build>\tests\win\plyx-win-tests.exe
  for (int up = 0; up < 3; ++up) exe = exe.substr(0, exe.find_last_of('\\'));
  exe += "\\plyx.exe";
  if (GetFileAttributesA(exe.c_str()) == INVALID_FILE_ATTRIBUTES) GTEST_SKIP() << exe << " not built";
  TempDir folder;
  const std::string file = folder / "handed.bin";
  ASSERT_TRUE(WriteWholeFile(file, std::string(4000, 'h')));

  // The second round proves the counter reads "no copy" again once the first has ended.
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    Process first(exe, "");
    HWND window = WaitForTopLevel(first.Id(), "PLYX - Quorvant Ver 1.4", 20000);
    ASSERT_NE(window, nullptr);
    Process second(exe, file);
    EXPECT_EQ(second.WaitExit(), 0u) << "the second copy must hand over and end";
    EXPECT_TRUE(WaitFor([&] { return TextOf(GetDlgItem(window, IDC_SOURCE_FILE)) == file; }));
    ASSERT_TRUE(PressButton(window, IDC_CLOSE, true, 20000));
    EXPECT_EQ(first.WaitExit(), 0u);
  }
}

}  // namespace
