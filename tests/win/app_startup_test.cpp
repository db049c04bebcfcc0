// Start-up: the command-line file, the hand-over of a second start, the first
// copy's run, and the counter that two processes of plyx.exe really share.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "app_fixture.h"
#include "resource_ids.h"
#include "startup.h"
#include "support/temp_dir.h"
#include "support/ui_driver.h"

namespace {

// --- The command-line file ----------------------------------------------------

TEST(TakeCommandLineFile, TakesTheWholeTextOnlyWhenItNamesAnExistingPath) {
  TempDir folder;
  const std::string file = folder / "with blank.bin";
  ASSERT_TRUE(WriteWholeFile(file, "x"));
  const std::string folderPath = folder.path().substr(0, folder.path().size() - 1);
  struct Case {
    const char* name;
    std::string text;
    std::string expected;
  } cases[] = {
      {"existing file with a blank", file, file},
      {"existing folder", folderPath, folderPath},
      {"missing file", folder / "none.bin", ""},
      {"quoted path is not unquoted", "\"" + file + "\"", ""},
      {"empty", "", ""},
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

// --- A second start -------------------------------------------------------------

struct Received {
  int count = 0;
  ULONG_PTR tag = 0;
  DWORD size = 0xFFFF;
  std::string text;
  HWND sender = reinterpret_cast<HWND>(1);
};
Received received;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COPYDATA) {
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    ++received.count;
    received.tag = data->dwData;
    received.size = data->cbData;
    received.text.assign(static_cast<const char*>(data->lpData), data->cbData);
    received.sender = reinterpret_cast<HWND>(wParam);
    return TRUE;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// A stand-in for the running copy's main window, found by its title.
class RunningCopy {
 public:
  RunningCopy() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = RecordingProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "PlyxRunningCopyStandIn";
    RegisterClassA(&windowClass);
    window_ = CreateWindowExA(0, windowClass.lpszClassName, "PLYX - Quorvant Ver 1.4", WS_OVERLAPPED, 0, 0,
                              100, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
  }
  ~RunningCopy() { DestroyWindow(window_); }
  HWND window_;
};

TEST(SecondStart, HandsTheWholeTextOverWithoutTerminatorAndLeavesTheCounter) {
  RunningCopy running;
  ASSERT_NE(running.window_, nullptr);
  for (const std::string& text : {std::string(""), std::string("C:\\a b\\file.bin"),
                                  std::string("\"C:\\quoted.bin\""), std::string(400, 'p')}) {
    SCOPED_TRACE(text);
    for (LONG before : {0L, 3L}) {
      received = Received();
      volatile LONG counter = before;
      EXPECT_EQ(RunPlyx(GetModuleHandleA(nullptr), text.c_str(), &counter), 0);
      EXPECT_EQ(counter, before);
      EXPECT_EQ(received.count, 1);
      EXPECT_EQ(received.tag, 0x12345678u);
      EXPECT_EQ(received.size, text.size());
      EXPECT_EQ(received.text, text);
      EXPECT_EQ(received.sender, nullptr);
    }
  }
}

TEST(SecondStart, EndsQuietlyWhenTheRunningCopyHasNoWindow) {
  ASSERT_EQ(FindWindowExA(nullptr, nullptr, nullptr, "PLYX - Quorvant Ver 1.4"), nullptr);
  volatile LONG counter = 0;
  EXPECT_FALSE(HandOverCommandLine("C:\\x"));
  EXPECT_EQ(RunPlyx(GetModuleHandleA(nullptr), "C:\\x", &counter), 0);
  EXPECT_EQ(counter, 0);
  EXPECT_EQ(AppSettings, nullptr);
}

// --- The first copy -------------------------------------------------------------

class FirstStart : public PlyxKeyTest {
 protected:
  void TearDown() override {
    DrainQuit();
    ResetSplitJob();
    PlyxKeyTest::TearDown();
  }
};

TEST_F(FirstStart, RunsTheMainDialogWithTheFileAndEndsWithTheStoreGone) {
  TempDir folder;
  const std::string file = folder / "start.bin";
  ASSERT_TRUE(WriteWholeFile(file, std::string(3000, 's')));
  std::string shownFile;
  bool storeWhileRunning = false;
  std::thread user([&] {
    HWND window = WaitForTopLevel(0, "PLYX - Quorvant Ver 1.4");
    if (window == nullptr) return;
    shownFile = TextOf(GetDlgItem(window, IDC_SOURCE_FILE));
    storeWhileRunning = AppSettings != nullptr;
    PressButton(window, IDC_CLOSE, true);
  });
  volatile LONG counter = -1;
  EXPECT_EQ(RunPlyx(GetModuleHandleA(nullptr), file.c_str(), &counter), 0);
  user.join();
  EXPECT_EQ(shownFile, file);
  EXPECT_TRUE(storeWhileRunning);
  EXPECT_EQ(AppSettings, nullptr);
  EXPECT_EQ(counter, 0) << "the first copy never gives its place back";
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Plyx", 0, KEY_READ, &key), ERROR_SUCCESS);
  if (key != nullptr) RegCloseKey(key);
}

// --- Two processes of plyx.exe ----------------------------------------------------

class Process {
 public:
  Process(const std::string& exe, const std::string& arguments) {
    std::string commandLine = "\"" + exe + "\"";
    if (!arguments.empty()) commandLine += " " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &info_)) {
      CloseHandle(info_.hThread);
    } else {
      info_.hProcess = nullptr;
    }
  }
  ~Process() {
    if (info_.hProcess == nullptr) return;
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info_.hProcess, 99);
    CloseHandle(info_.hProcess);
  }
  bool Started() const { return info_.hProcess != nullptr; }
  DWORD Id() const { return info_.dwProcessId; }
  // The exit code, or STILL_ACTIVE when it has not ended within the deadline.
  DWORD WaitExit(DWORD timeoutMs = 20000) const {
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(info_.hProcess, timeoutMs) == WAIT_OBJECT_0) GetExitCodeProcess(info_.hProcess, &code);
    return code;
  }

 private:
  PROCESS_INFORMATION info_ = {};
};

std::string PlyxExe() {
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, sizeof self);
  std::string path = self;  // <build>\tests\win\plyx-win-tests.exe
  for (int up = 0; up < 3; ++up) path = path.substr(0, path.find_last_of('\\'));
  return path + "\\plyx.exe";
}

class TwoProcesses : public PlyxKeyTest {};

TEST_F(TwoProcesses, SecondStartHandsItsFileToTheFirstThroughTheSharedCounter) {
  const std::string exe = PlyxExe();
  if (GetFileAttributesA(exe.c_str()) == INVALID_FILE_ATTRIBUTES) GTEST_SKIP() << exe << " not built";
  TempDir folder;
  const std::string file = folder / "handed.bin";
  ASSERT_TRUE(WriteWholeFile(file, std::string(4000, 'h')));

  for (int round = 0; round < 2; ++round) {
    // The second round proves the counter returns to "no copy" once the first has ended.
    SCOPED_TRACE(round == 0 ? "first round" : "after the first copy ended");
    Process first(exe, "");
    ASSERT_TRUE(first.Started());
    HWND window = WaitForTopLevel(first.Id(), "PLYX - Quorvant Ver 1.4", 20000);
    ASSERT_NE(window, nullptr);

    Process second(exe, file);
    ASSERT_TRUE(second.Started());
    EXPECT_EQ(second.WaitExit(), 0u) << "the second copy must hand over and end";
    EXPECT_TRUE(WaitFor([&] { return TextOf(GetDlgItem(window, IDC_SOURCE_FILE)) == file; }))
        << "file box: " << TextOf(GetDlgItem(window, IDC_SOURCE_FILE));

    ASSERT_TRUE(PressButton(window, IDC_CLOSE, true, 20000));
    EXPECT_EQ(first.WaitExit(), 0u);
  }
}

}  // namespace
