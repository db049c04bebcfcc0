// The progress dialog with its real worker thread, real files and real windows:
// the dialog runs modally on the test's thread while a driver thread acts as
// the user, and the worker can be held at any of its calls to the dialog.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "progress_bar.h"
#include "progress_dialog.h"
#include "resource_ids.h"
#include "size_presets.h"
#include "split_job.h"
#include "support/temp_dir.h"
#include "support/ui_driver.h"

namespace {

// Holds the worker at one of its calls until the test lets it go.
struct Gate {
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::atomic<bool> reached{false};
  ~Gate() { CloseHandle(event); }
  void Hold() {
    reached = true;
    WaitForSingleObject(event, 30000);
  }
  void Open() { SetEvent(event); }
  bool WaitReached() { return WaitFor([&] { return reached.load(); }); }
};

HWND FindProgressDialog() {
  HWND found = nullptr;
  WaitFor([&] {
    for (HWND window : DialogWindows(0)) {
      if (!IsMessageBox(window) && GetDlgItem(window, IDC_PROGRESS_STATUS)) found = window;
    }
    return found != nullptr;
  });
  return found;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

enum class Trigger { kCancelButton, kCloseBox };

const char* QuestionOf(Trigger trigger) {
  return trigger == Trigger::kCancelButton ? "Do you want to cancel the File Split ?"
                                           : "Do you want to close this operation ?";
}

// Asks the dialog to stop by `trigger`, checks its confirmation and answers it
// once `meanwhile` has run.
void AnswerConfirmation(HWND dialog, Trigger trigger, int answer, const std::function<void()>& meanwhile = {}) {
  if (trigger == Trigger::kCancelButton) {
    PressButton(dialog, IDC_PROGRESS_CANCEL, false);
  } else {
    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  }
  HWND box = WaitForMessageBox(0, QuestionOf(trigger));
  ASSERT_NE(box, nullptr);
  const MessageBoxInfo info = DescribeMessageBox(box);
  EXPECT_EQ(info.caption + "|" + info.text, std::string("Confirm to Cancel|") + QuestionOf(trigger));
  EXPECT_EQ(info.buttons, std::vector<int>({IDOK, IDCANCEL}));
  EXPECT_EQ(info.icon, BoxIcon::kQuestion);
  EXPECT_EQ(GetWindow(box, GW_OWNER), dialog);
  if (meanwhile) meanwhile();
  EXPECT_TRUE(AnswerMessageBox(box, answer));
}

class ProgressDialogTest : public testing::Test {
 protected:
  void TearDown() override { SetProgressWorkerHooks(nullptr); }

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
    SplitJob.fileSize = fileSize;
    SplitJob.partSize = chosenPartSize = partSize;
    SplitJob.partCount = PartCount(fileSize, partSize);
  }

  std::string PartPath(unsigned number) const { return destFolder + "source.bin.00" + std::to_string(number); }
  std::string BatchPath() const { return destFolder + "source.bin.bat"; }

  // Runs the dialog on this thread while `driver` acts as the user on another.
  void RunDialog(const std::function<void()>& driver = {}) {
    SetProgressWorkerHooks(&hooks);
    dialogEnded = false;
    std::thread driverThread([&] {
      if (!driver) return;
      driver();
      // A driver that failed half-way leaves the dialog open: end it the way the
      // worker's end does, so that the test fails instead of hanging.
      if (HasFailure() && !WaitFor([&] { return dialogEnded.load(); }, 2000)) {
        SplitJob.finished = true;
        PostMessageA(FindProgressDialog(), WM_CLOSE, 0, 0);
      }
    });
    // A deadlocked dialog never returns: fail loudly instead.
    HANDLE ended = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread watchdog([ended] {
      if (WaitForSingleObject(ended, 60000) != WAIT_TIMEOUT) return;
      std::fprintf(stderr, "progress dialog still open after 60 s: deadlock\n");
      std::fflush(stderr);
      TerminateProcess(GetCurrentProcess(), 3);
    });
    EXPECT_EQ(DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_PROGRESS), nullptr, ProgressDialog, 0),
              0);
    dialogEnded = true;
    SetEvent(ended);
    watchdog.join();
    CloseHandle(ended);
    driverThread.join();
    SetProgressWorkerHooks(nullptr);
    EXPECT_TRUE(!SplitJob.workerThread && !SplitJob.animation && !SplitJob.progressBar);
  }

  void ExpectPartsWritten(unsigned count) {
    for (unsigned n = 1; n <= count; ++n) {
      std::string bytes;
      ASSERT_TRUE(ReadWholeFile(PartPath(n), &bytes)) << "part " << n;
      EXPECT_TRUE(bytes == source.substr((n - 1) * size_t{chosenPartSize}, chosenPartSize)) << "part " << n;
    }
  }

  std::unique_ptr<TempDir> dir;
  std::string source, sourcePath, destFolder;
  std::uint32_t chosenPartSize = 0;
  ProgressWorkerHooks hooks;
  std::atomic<bool> dialogEnded{false};
};

TEST_F(ProgressDialogTest, SplitsWithOneBarStepPerPartAndClosesByItself) {
  Prepare(600000, 262144);  // three parts, the last one short
  std::vector<std::pair<std::string, int>> positions;  // bar position before each call
  hooks.beforeCall = [&](const char* call) {
    HWND bar = SplitJob.progressBar->Window();
    EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, FALSE, 0), 4);
    positions.emplace_back(call, static_cast<int>(SendMessageA(bar, PBM_GETPOS, 0, 0)));
  };
  MessageBoxAnswerer answerer(0, [](const MessageBoxInfo&) { return IDCANCEL; });
  RunDialog();
  int steps = 0;
  for (const auto& [call, position] : positions) {
    if (call == "StepProgress") {
      EXPECT_EQ(position, steps++);
    }
  }
  EXPECT_EQ(steps, 3);
  ASSERT_GE(positions.size(), 2u);
  EXPECT_EQ(positions[positions.size() - 2], std::make_pair(std::string("FillProgress"), 3));
  EXPECT_EQ(positions.back(), std::make_pair(std::string("Pause"), 4));
  ExpectPartsWritten(3);
  EXPECT_FALSE(Exists(PartPath(4)));
  EXPECT_TRUE(Exists(BatchPath()));
  EXPECT_EQ(SplitJob.currentPart, 4u);
  EXPECT_TRUE(answerer.Seen().empty());
}

TEST_F(ProgressDialogTest, DeclinedQuestionsAndEscapeLeaveTheSplitRunningAndItsEndClosesAnOpenQuestion) {
  Prepare(3000, 1000);
  Gate atPart2, atEnd;
  auto shown = std::make_shared<int>(0);
  hooks.beforeCall = [&, shown](const char* call) {
    if (std::string(call) == "ShowStatus" && ++*shown == 2) atPart2.Hold();
    if (std::string(call) == "Pause") atEnd.Hold();
  };
  RunDialog([&] {
    ASSERT_TRUE(atPart2.WaitReached());
    HWND dialog = FindProgressDialog();
    AnswerConfirmation(dialog, Trigger::kCancelButton, IDCANCEL);
    AnswerConfirmation(dialog, Trigger::kCloseBox, IDCANCEL);
    PostKey(dialog, VK_ESCAPE);
    EXPECT_TRUE(NoMessageBoxFor(0, 300));
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_FALSE(SplitJob.cancelRequested);
    atPart2.Open();
    ASSERT_TRUE(atEnd.WaitReached());
    AnswerConfirmation(dialog, Trigger::kCloseBox, IDOK, [&] {
      atEnd.Open();
      // The worker's WM_CLOSE is handled while the question is still open.
      EXPECT_TRUE(WaitFor([&] { return !IsWindow(GetDlgItem(dialog, IDC_PROGRESS_BAR)); }));
    });
  });
  ExpectPartsWritten(3);
  EXPECT_TRUE(Exists(BatchPath()));
  EXPECT_EQ(SplitJob.currentPart, 4u);
}

TEST_F(ProgressDialogTest, ConfirmedCancelEndsOnlyAfterTheWorkerClosedItsFiles) {
  Prepare(450000, 150000);
  std::atomic<bool> reached{false}, endedTooEarly{false};
  auto shown = std::make_shared<int>(0);
  hooks.beforeCall = [&, shown](const char* call) {
    if (std::string(call) != "ShowStatus" || ++*shown != 2) return;
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
  ExpectPartsWritten(1);
  std::string cut;
  ASSERT_TRUE(ReadWholeFile(PartPath(2), &cut));
  EXPECT_LT(cut.size(), 150000u);
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
    EXPECT_EQ(DescribeMessageBox(question).text, PartPath(1) + " exists already, do you want to OverWrite it?");
    AnswerConfirmation(FindProgressDialog(), Trigger::kCancelButton, IDOK);
    EXPECT_TRUE(WaitFor([] { return SplitJob.cancelRequested.load(); }));
    EXPECT_TRUE(AnswerMessageBox(question, IDOK));
  });
  EXPECT_FALSE(Exists(PartPath(2)));
  EXPECT_FALSE(Exists(BatchPath()));
  EXPECT_NE(SplitJob.currentPart, SplitJob.partCount + 1);
}

TEST_F(ProgressDialogTest, WithoutAWorkerTheDialogStillClosesAndReportsNoSuccess) {
  for (Trigger trigger : {Trigger::kCancelButton, Trigger::kCloseBox}) {
    SCOPED_TRACE(QuestionOf(trigger));
    Prepare(2000, 1000);
    hooks.failThreadStart = true;
    SplitJob.finished = true;  // what a previous successful run leaves behind
    SplitJob.currentPart = SplitJob.partCount + 1;
    RunDialog([&] { AnswerConfirmation(FindProgressDialog(), trigger, IDOK); });
    EXPECT_NE(SplitJob.currentPart, SplitJob.partCount + 1);
    EXPECT_FALSE(Exists(PartPath(1)));
  }
}

TEST_F(ProgressDialogTest, CancelAfterTheWorkerFinishedIsIgnored) {
  Prepare(2000, 1000);
  hooks.failThreadStart = true;  // the driver plays the worker's end
  MessageBoxAnswerer answerer(0, [](const MessageBoxInfo&) { return IDCANCEL; });
  RunDialog([&] {
    HWND dialog = FindProgressDialog();
    SplitJob.finished = true;
    PressButton(dialog, IDC_PROGRESS_CANCEL, false);
    EXPECT_FALSE(answerer.WaitForCount(1, 300));
    EXPECT_TRUE(IsWindowVisible(dialog));
    PostMessageA(dialog, WM_CLOSE, 0, 0);
  });
  EXPECT_TRUE(answerer.Seen().empty());
  EXPECT_FALSE(SplitJob.cancelRequested);
}

}  // namespace
