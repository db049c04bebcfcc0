// The progress dialog with its real worker thread, real files and real windows:
// the dialog runs modally on the test's thread while a driver thread acts as
// the user, and the worker can be held at any of its calls to the dialog.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "progress_dialog.h"
#include "resource_ids.h"
#include "size_presets.h"
#include "split_job.h"
#include "support/temp_dir.h"
#include "support/ui_driver.h"

namespace {

// Holds the worker at one of its calls until the test lets it go.
struct Gate {
  std::atomic<bool> reached{false}, open{false};
  void Hold() { reached = true, WaitFor([&] { return open.load(); }, 30000); }
  void Open() { open = true; }
  bool WaitReached() { return WaitFor([&] { return reached.load(); }); }
};

HWND FindProgressDialog() {
  HWND found = nullptr;
  WaitFor([&] {
    for (HWND window : DialogWindows(0))
      if (!IsMessageBox(window) && GetDlgItem(window, IDC_PROGRESS_STATUS)) found = window;
    return found != nullptr;
  });
  return found;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The screen's pixels in `area`, row by row.
std::vector<COLORREF> Grab(const RECT& area) {
  const int width = area.right - area.left, height = area.bottom - area.top;
  BITMAPINFO info{};
  info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
  GdiFlush();
  std::vector<COLORREF> pixels(static_cast<size_t>(width) * height);
  const auto* raw = static_cast<const BYTE*>(bits);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = RGB(raw[i * 4 + 2], raw[i * 4 + 1], raw[i * 4]);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return pixels;
}

enum class Trigger { kCancelButton, kCloseBox };

const char* QuestionOf(Trigger trigger) {
  return trigger == Trigger::kCancelButton ? "Do you want to cancel the File Split ?"
                                           : "Do you want to close this operation ?";
}

// Asks the dialog to stop by `trigger`, checks its confirmation and answers it
// once `meanwhile` has run.
void AnswerConfirmation(HWND dialog, Trigger trigger, int answer, const std::function<void()>& meanwhile = {}) {
  if (trigger == Trigger::kCancelButton) PressButton(dialog, IDC_PROGRESS_CANCEL, false);
  else PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  HWND box = WaitForMessageBox(0, QuestionOf(trigger));
  ASSERT_NE(box, nullptr);
  const MessageBoxInfo info = DescribeMessageBox(box);
  EXPECT_EQ(info.caption + "|" + info.text, std::string("Confirm to Cancel|") + QuestionOf(trigger));
  EXPECT_TRUE(info.buttons == std::vector<int>({IDOK, IDCANCEL}) && info.icon == BoxIcon::kQuestion);
  EXPECT_EQ(GetWindow(box, GW_OWNER), dialog);
  if (meanwhile) meanwhile();
  EXPECT_TRUE(AnswerMessageBox(box, answer));
}

class ProgressDialogTest : public testing::Test {
 protected:
  // A source of `fileSize` bytes, to be split at `partSize` into a fresh folder.
  void Prepare(std::uint32_t fileSize, std::uint32_t partSize) {
    dir = std::make_unique<TempDir>();
    hooks = ProgressWorkerHooks();
    source.assign(fileSize, '\0');
    for (std::uint32_t i = 0; i < fileSize; ++i) source[i] = static_cast<char>(i * 7 + i / 251);
    sourcePath = *dir / "source.bin";
    destFolder = *dir / "out\\";
    ASSERT_TRUE(WriteWholeFile(sourcePath, source));
    ASSERT_TRUE(CreateDirectoryA(destFolder.c_str(), nullptr));
    std::snprintf(SplitJob.sourcePath, sizeof SplitJob.sourcePath, "%s", sourcePath.c_str());
    std::snprintf(SplitJob.destFolder, sizeof SplitJob.destFolder, "%s", destFolder.c_str());
    SplitJob.fileSize = fileSize, SplitJob.partSize = partSize;
    SplitJob.partCount = PartCount(fileSize, partSize);
  }

  std::string PartPath(unsigned number) const { return destFolder + "source.bin.00" + std::to_string(number); }
  std::string BatchPath() const { return destFolder + "source.bin.bat"; }
  // Runs the dialog on this thread while `driver` acts as the user on another.
  void RunDialog(const std::function<void()>& driver) {
    SetProgressWorkerHooks(&hooks);
    dialogEnded = false;
    std::thread driverThread([&] {
      driver();
      // A driver that failed half-way leaves the dialog open: end it as the worker would.
      if (HasFailure() && !WaitFor([&] { return dialogEnded.load(); }, 2000)) {
        SplitJob.finished = true;
        PostMessageA(FindProgressDialog(), WM_CLOSE, 0, 0);
      }
    });
    std::thread watchdog([&] {  // a deadlocked dialog never returns: fail loudly instead
      if (WaitFor([&] { return dialogEnded.load(); }, 60000)) return;
      std::fputs("progress dialog still open after 60 s: deadlock\n", stderr);
      TerminateProcess(GetCurrentProcess(), 3);
    });
    EXPECT_EQ(DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_PROGRESS), nullptr, ProgressDialog, 0),
              0);
    dialogEnded = true;
    watchdog.join();
    driverThread.join();
    SetProgressWorkerHooks(nullptr);
    EXPECT_TRUE(!SplitJob.workerThread && !SplitJob.animation && !SplitJob.progressBar);
  }

  std::unique_ptr<TempDir> dir;
  std::string source, sourcePath, destFolder;
  ProgressWorkerHooks hooks;
  std::atomic<bool> dialogEnded{false};
};

TEST_F(ProgressDialogTest, DeclinedQuestionsAndEscapeLeaveTheSplitRunningAndItsEndClosesAnOpenQuestion) {
  Prepare(3000, 1000);
  Gate atPart2, atEnd;
  int shown = 0;
  hooks.beforeCall = [&](const char* call) {
    if (std::string(call) == "ShowStatus" && ++shown == 2) atPart2.Hold();
    if (std::string(call) == "Pause") atEnd.Hold();
  };
  RunDialog([&] {
    ASSERT_TRUE(atPart2.WaitReached());
    HWND dialog = FindProgressDialog();
    AnswerConfirmation(dialog, Trigger::kCancelButton, IDCANCEL);
    AnswerConfirmation(dialog, Trigger::kCloseBox, IDCANCEL);
    PostKey(dialog, VK_ESCAPE);
    EXPECT_TRUE(NoMessageBoxFor(0, 300) && IsWindowVisible(dialog) && !SplitJob.cancelRequested);
    atPart2.Open();
    ASSERT_TRUE(atEnd.WaitReached());
    AnswerConfirmation(dialog, Trigger::kCloseBox, IDOK, [&] {
      atEnd.Open();
      // The worker's WM_CLOSE is handled while the question is still open.
      EXPECT_TRUE(WaitFor([&] { return !IsWindow(GetDlgItem(dialog, IDC_PROGRESS_BAR)); }));
    });
  });
  EXPECT_TRUE(Exists(PartPath(3)) && Exists(BatchPath()));
  EXPECT_EQ(SplitJob.currentPart, 4u);
}

TEST_F(ProgressDialogTest, ConfirmedCancelEndsOnlyAfterTheWorkerClosedItsFiles) {
  Prepare(450000, 150000);
  std::atomic<bool> reached{false}, endedTooEarly{false};
  int shown = 0;
  hooks.beforeCall = [&](const char* call) {
    if (std::string(call) != "ShowStatus" || ++shown != 2) return;
    reached = true;
    WaitFor([] { return SplitJob.cancelRequested.load(); }, 20000);
    // Part 2 is yet to be opened and the source is open: the dialog must wait.
    endedTooEarly = WaitFor([&] { return dialogEnded.load(); }, 500);
  };
  RunDialog([&] {
    ASSERT_TRUE(WaitFor([&] { return reached.load(); }));
    AnswerConfirmation(FindProgressDialog(), Trigger::kCancelButton, IDOK);
  });
  EXPECT_FALSE(endedTooEarly);
  for (const std::string& path : {sourcePath, PartPath(2)}) {  // closed: opens exclusively
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE) << path;
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  }
  std::string whole, cut;
  EXPECT_TRUE(ReadWholeFile(PartPath(1), &whole) && whole == source.substr(0, 150000));
  EXPECT_TRUE(ReadWholeFile(PartPath(2), &cut) && cut.size() < 150000u);
  EXPECT_FALSE(Exists(PartPath(3)));
  EXPECT_FALSE(Exists(BatchPath()));
  EXPECT_EQ(SplitJob.currentPart, 2u);
}

TEST_F(ProgressDialogTest, NoDeadlockWhenCancelIsConfirmedWhileTheWorkerSendsUpdates) {
  for (Trigger trigger : {Trigger::kCloseBox, Trigger::kCancelButton}) {
    SCOPED_TRACE(QuestionOf(trigger));
    Prepare(600, 5);  // 120 tiny parts, two sent updates each
    std::atomic<int> calls{0};
    hooks.beforeCall = [&](const char*) {
      // Send the next update just as the dialog starts to wait for this thread.
      if (++calls == 40) WaitFor([] { return SplitJob.cancelRequested.load(); }, 20000);
    };
    RunDialog([&] {
      ASSERT_TRUE(WaitFor([&] { return calls >= 40; }));
      AnswerConfirmation(FindProgressDialog(), trigger, IDOK);
    });
    EXPECT_LT(SplitJob.currentPart, SplitJob.partCount);
    EXPECT_FALSE(Exists(BatchPath()));
  }
}

TEST_F(ProgressDialogTest, NoDeadlockWhenCancelIsConfirmedWhileTheWorkerAsksToOverwrite) {
  Prepare(2000, 1000);
  ASSERT_TRUE(WriteWholeFile(PartPath(1), "older part"));
  RunDialog([&] {
    HWND question = WaitForMessageBox(0, "exists already, do you want to OverWrite it?");
    ASSERT_NE(question, nullptr);
    AnswerConfirmation(FindProgressDialog(), Trigger::kCancelButton, IDOK);
    EXPECT_TRUE(WaitFor([] { return SplitJob.cancelRequested.load(); }));
    EXPECT_TRUE(AnswerMessageBox(question, IDOK));
  });
  EXPECT_FALSE(Exists(PartPath(2)));
  EXPECT_FALSE(Exists(BatchPath()));
  EXPECT_NE(SplitJob.currentPart, SplitJob.partCount + 1);
}

// No worker thread: the driver plays the worker. A cancel after its end is
// ignored; a confirmed cancel still closes the dialog and reports no success.
TEST_F(ProgressDialogTest, WithoutAWorkerCancelIsIgnoredOnceFinishedAndOtherwiseClosesWithNoSuccess) {
  Prepare(2000, 1000);
  hooks.failThreadStart = true;
  RunDialog([&] {
    MessageBoxAnswerer answerer(0, [](const MessageBoxInfo&) { return IDCANCEL; });
    HWND dialog = FindProgressDialog();
    SplitJob.finished = true;
    PressButton(dialog, IDC_PROGRESS_CANCEL, false);
    EXPECT_FALSE(answerer.WaitForCount(1, 300));
    PostMessageA(dialog, WM_CLOSE, 0, 0);
  });
  EXPECT_FALSE(SplitJob.cancelRequested);

  Prepare(2000, 1000);
  hooks.failThreadStart = true;
  SplitJob.finished = true;  // what a previous successful run leaves behind
  SplitJob.currentPart = SplitJob.partCount + 1;
  RunDialog([&] { AnswerConfirmation(FindProgressDialog(), Trigger::kCancelButton, IDOK); });
  EXPECT_NE(SplitJob.currentPart, SplitJob.partCount + 1);
  EXPECT_FALSE(Exists(PartPath(1)));
}

// What a person sees: the clip moves with its magenta ground drawn as the
// dialog's face (ACS_TRANSPARENT), and the bar shows its own colour on white
// (a themed bar would ignore both).
TEST_F(ProgressDialogTest, ClipPlaysTransparentlyAndTheBarShowsItsColours) {
  Prepare(2000, 1000);
  Gate atPart2;
  int shown = 0;
  hooks.beforeCall = [&](const char* call) {
    if (std::string(call) == "ShowStatus" && ++shown == 2) atPart2.Hold();
  };
  RunDialog([&] {
    ASSERT_TRUE(atPart2.WaitReached());
    HWND dialog = FindProgressDialog();
    RECT clip, bar;
    GetWindowRect(GetDlgItem(dialog, IDC_PROGRESS_ANIMATION), &clip);
    GetWindowRect(GetDlgItem(dialog, IDC_PROGRESS_BAR), &bar);
    const std::vector<COLORREF> first = Grab(clip);
    std::vector<COLORREF> later;
    EXPECT_TRUE(WaitFor([&] { return (later = Grab(clip)) != first; }, 5000)) << "the clip does not move";
    for (const std::vector<COLORREF>& frame : {first, later}) {
      EXPECT_EQ(std::count(frame.begin(), frame.end(), RGB(255, 0, 255)), 0);
      EXPECT_GT(std::count(frame.begin(), frame.end(), GetSysColor(COLOR_BTNFACE)), 0);
    }
    // One part of two done, range 0 to 3: the first third filled.
    const int width = bar.right - bar.left, row = (bar.bottom - bar.top) / 2 * width;
    COLORREF done = 0, todo = 0;
    EXPECT_TRUE(WaitFor([&] {
      const std::vector<COLORREF> pixels = Grab(bar);
      done = pixels[static_cast<size_t>(row + width / 6)];
      todo = pixels[static_cast<size_t>(row + width * 5 / 6)];
      return done == RGB(62, 17, 238) && todo == RGB(255, 255, 255);
    }, 5000)) << std::hex << "done 0x" << done << ", to do 0x" << todo;
    atPart2.Open();
  });
  EXPECT_EQ(SplitJob.currentPart, 3u);
}

}  // namespace
