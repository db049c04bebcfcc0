// The progress dialog with its real worker, files and windows, a driver thread as the user.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <thread>

#include "globals.h"
#include "holders.h"
#include "progress_dialog.h"
#include "resource_ids.h"
#include "size_presets.h"
#include "split_job.h"
#include "support/files.h"
#include "support/split_fakes.h"
#include "support/ui_driver.h"

namespace {

struct Gate {
  std::atomic<bool> reached{false}, open{false};
  void Hold() {
    reached = true, WaitFor([&] { return open.load(); }, 30000);
  }
  bool WaitReached() {
    return WaitFor([&] { return reached.load(); });
  }
};

HWND FindProgressDialog() {
  return WaitForWindow(0, [](HWND window) { return GetDlgItem(window, IDC_PROGRESS_STATUS) != nullptr; });
}

constexpr char kCancelButton[] = "Do you want to cancel the File Split ?";
constexpr char kCloseBox[] = "Do you want to close this operation ?";

// Asks to stop by Cancel or the close box and answers after `meanwhile`; answer 0: the
// run ends meanwhile and must take the question away.
void AnswerConfirmation(HWND dialog, const char* question, int answer, const std::function<void()>& meanwhile = {}) {
  if (question == kCancelButton)
    Click(GetDlgItem(dialog, IDC_PROGRESS_CANCEL));
  else
    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  const MessageBoxInfo box = WaitForMessageBox(0, question);
  ASSERT_TRUE(IsBox(box, "Confirm to Cancel", question, dialog, {IDOK, IDCANCEL}));
  if (meanwhile) meanwhile();
  if (answer) {
    EXPECT_TRUE(AnswerBox(box, answer));
  } else {
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(box.window); })) << "the question outlived the run";
  }
}

class ProgressDialogTest : public testing::Test {
 protected:
  void Prepare(std::uint32_t fileSize, std::uint32_t partSize) {
    temp = std::make_unique<TempFolder>();
    hooks = ProgressWorkerHooks();
    source = PatternBytes(fileSize);
    destFolder = temp->MakeFolder("out") + "\\";
    ASSERT_TRUE(WriteBytes(*temp / "source.bin", source));
    FillJob(SplitJob, *temp / "source.bin", destFolder, fileSize, partSize, PartCount(fileSize, partSize));
  }
  std::string PartPath(unsigned number) const { return destFolder + "source.bin.00" + std::to_string(number); }
  std::string BatchPath() const { return destFolder + "source.bin.bat"; }

  // A deadlocked dialog never returns: ctest's time limit ends the test.
  void RunDialog(const std::function<void()>& driver, HMODULE templates = GetModuleHandleA(nullptr)) {
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
    InstanceHandle = templates;
    outcome = RunProgressDialog(nullptr);
    InstanceHandle = GetModuleHandleA(nullptr);
    dialogEnded = true;
    driverThread.join();
    SetProgressWorkerHooks(nullptr);
    EXPECT_TRUE(!SplitJob.workerThread && !SplitJob.animation && !SplitJob.progressBar) << "a handle left";
  }

  std::unique_ptr<TempFolder> temp;
  std::string source, destFolder;
  ProgressWorkerHooks hooks;
  std::atomic<bool> dialogEnded{false};
  SplitOutcome outcome = SplitOutcome::kSplit;
};

// Race: the worker's WM_CLOSE under an open close question must free the controls once and
// end the dialog. Lost input: the question outlived the run, its late OK a cancel.
TEST_F(ProgressDialogTest, DeclinedQuestionsAndEscapeLeaveTheSplitRunningAndItsEndTakesAnOpenQuestionAway) {
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
    AnswerConfirmation(dialog, kCancelButton, IDCANCEL);
    AnswerConfirmation(dialog, kCloseBox, IDCANCEL);
    PostKey(dialog, VK_ESCAPE);
    EXPECT_EQ(Describe(WaitForMessageBox(0, "", 300)), "no box");
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_FALSE(SplitJob.cancelRequested);
    atPart2.open = true;
    ASSERT_TRUE(atEnd.WaitReached());
    AnswerConfirmation(dialog, kCloseBox, 0, [&] { atEnd.open = true; });
  });
  for (const std::string& path : {PartPath(3), BatchPath()}) EXPECT_TRUE(Exists(path)) << path;
  EXPECT_EQ(outcome, SplitOutcome::kSplit);
  EXPECT_FALSE(SplitJob.cancelRequested);
}

// Reported as a success without a batch: a cancel confirmed after the last part; a failed
// allocation on the worker's thread ended PLYX mid-split.
TEST_F(ProgressDialogTest, CancelAfterTheLastPartOrAFailedAllocationIsNoSuccess) {
  for (bool allocationFails : {false, true}) {
    Prepare(2000, 1000);
    Gate atLastStep;
    int steps = 0;
    hooks.beforeCall = [&](const char* call) {
      if (std::string(call) != "StepProgress" || ++steps != 2) return;
      if (allocationFails) throw std::bad_alloc();
      atLastStep.Hold();
    };
    RunDialog([&] {
      if (allocationFails) {
        ASSERT_TRUE(AnswerBox(WaitForMessageBox(0, "Unexpected Error : Memory Allocation Failure : 0001"), IDOK));
      } else {
        ASSERT_TRUE(atLastStep.WaitReached());
        AnswerConfirmation(FindProgressDialog(), kCancelButton, IDOK);
        atLastStep.open = true;
      }
    });
    EXPECT_FALSE(Exists(BatchPath()));
    EXPECT_EQ(outcome, allocationFails ? SplitOutcome::kFailed : SplitOutcome::kStoppedByUser);
  }
}

// Race: a confirmed cancel must not end the dialog while the worker holds its files open.
TEST_F(ProgressDialogTest, ConfirmedCancelEndsOnlyAfterTheWorkerClosedItsFiles) {
  Prepare(450000, 150000);
  std::atomic<bool> reached{false}, endedTooEarly{false};
  int shown = 0;
  hooks.beforeCall = [&](const char* call) {
    if (std::string(call) != "ShowStatus" || ++shown != 2) return;
    reached = true;
    WaitFor([] { return SplitJob.cancelRequested.load(); }, 20000);
    endedTooEarly = WaitFor([&] { return dialogEnded.load(); }, 500);
  };
  RunDialog([&] {
    ASSERT_TRUE(WaitFor([&] { return reached.load(); }));
    AnswerConfirmation(FindProgressDialog(), kCancelButton, IDOK);
  });
  EXPECT_FALSE(endedTooEarly);
  for (const std::string& path : {*temp / "source.bin", PartPath(2)}) {  // closed: it opens exclusively
    EXPECT_TRUE(UniqueHandle(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr)).IsValid())
        << path;
  }
  EXPECT_TRUE(FileHolds(PartPath(1), source.substr(0, 150000)));
  EXPECT_LT(SizeOf(PartPath(2)), 150000u);
  for (const std::string& path : {PartPath(3), BatchPath()}) EXPECT_FALSE(Exists(path)) << path;
  EXPECT_EQ(SplitJob.currentPart, 2u);
}

void CALLBACK HoldUntilTheWorkerAsks(HWND, UINT, UINT_PTR, DWORD) { WaitForMessageBox(0, ""); }

// Race: a cancel confirmed while the worker sends an update or asks must not deadlock.
// Lost keys: asked before the dialog first showed, the question lost the keyboard.
TEST_F(ProgressDialogTest, NoDeadlockWhenCancelIsConfirmedWhileTheWorkerSendsOrAsks) {
  for (const bool asks : {false, true}) {
    const char* trigger = asks ? kCancelButton : kCloseBox;
    SCOPED_TRACE(std::string(trigger) + (asks ? ", worker asking" : ", worker sending"));
    Prepare(asks ? 2000 : 600, asks ? 1000 : 5);  // sending: 120 tiny parts, two updates each
    if (asks) { ASSERT_TRUE(WriteBytes(PartPath(1), "older part")); }
    std::atomic<int> calls{0};
    hooks.beforeCall = [&](const char*) {
      // The next update goes out just as the dialog starts to wait for this thread.
      if (!asks && ++calls == 40) WaitFor([] { return SplitJob.cancelRequested.load(); }, 20000);
    };
    // Dispatched by the dialog's loop before it first goes idle and shows the dialog.
    if (asks) PostThreadMessageA(GetCurrentThreadId(), WM_TIMER, 0, reinterpret_cast<LPARAM>(&HoldUntilTheWorkerAsks));
    RunDialog([&] {
      const MessageBoxInfo question = asks ? WaitForMessageBox(0, "exists already") : MessageBoxInfo();
      ASSERT_TRUE(asks ? question.window != nullptr : WaitFor([&] { return calls >= 40; }));
      HWND dialog = FindProgressDialog();
      SendTo(dialog, WM_NULL);  // returns once the dialog's first show is over
      // A real key (Tab: focus to Cancel) once the question held the foreground as long as a hand takes to type.
      const auto heldInFront = [&] {
        return GetForegroundWindow() == question.window &&
               !WaitFor([&] { return GetForegroundWindow() != question.window; }, 500);
      };
      if (asks) {
        EXPECT_TRUE(WaitFor(heldInFront)) << "the question never held the foreground";
        EXPECT_TRUE(PressRealKey("Tab"));
        EXPECT_TRUE(WaitFor([&] { return HasFocus(GetDlgItem(question.window, IDCANCEL)); }, 3000))
            << "Tab did not reach it";
      }
      AnswerConfirmation(dialog, trigger, IDOK);
      if (!asks) return;
      ASSERT_TRUE(WaitFor([] { return SplitJob.cancelRequested.load(); }));
      // Lost keys: the waiting dialog came back over the question, and typed keys answered the outcome box unseen.
      RECT place{};
      GetWindowRect(question.window, &place);  // both are centred: the one on top shows there
      const POINT middle = {(place.left + place.right) / 2, (place.top + place.bottom) / 2};
      EXPECT_TRUE(WaitFor(
          [&] {
            return GetForegroundWindow() == question.window &&
                   GetAncestor(WindowFromPoint(middle), GA_ROOT) == question.window;
          },
          3000))
          << "the question " << question.window << " under " << GetForegroundWindow();
      // Typed input is bound to no window until read (one posted to the dialog would go with it).
      PostThreadMessageA(GetWindowThreadProcessId(dialog, nullptr), WM_KEYDOWN, VK_RETURN, 0);
      EXPECT_TRUE(AnswerBox(question, IDCANCEL));
    });
    MSG typed;
    EXPECT_FALSE(PeekMessageA(&typed, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE)) << "a key waits for the next box";
    EXPECT_LT(SplitJob.currentPart, SplitJob.partCount);
    EXPECT_FALSE(Exists(BatchPath()));
    if (asks) { EXPECT_FALSE(Exists(PartPath(2))); }
  }
}

// Mended faults: a worker that never started or a window that never opened read as the
// last run's success; a cancel after the end is ignored.
TEST_F(ProgressDialogTest, WithoutAWorkerOrAWindowNoRunSucceedsAndCancelIsIgnoredOnceFinished) {
  Prepare(2000, 1000);
  hooks.failThreadStart = true;
  RunDialog([&] {
    HWND dialog = FindProgressDialog();
    SplitJob.finished = true;
    Click(GetDlgItem(dialog, IDC_PROGRESS_CANCEL));
    EXPECT_EQ(Describe(WaitForMessageBox(0, "", 300)), "no box");
    PostMessageA(dialog, WM_CLOSE, 0, 0);
  });
  EXPECT_FALSE(SplitJob.cancelRequested);

  Prepare(2000, 1000);
  RunDialog([] {});  // a success leaves `finished` set and currentPart past the last part
  EXPECT_EQ(outcome, SplitOutcome::kSplit);
  RunDialog([] {}, GetModuleHandleA("kernel32.dll"));  // which has no template of the window
  EXPECT_EQ(outcome, SplitOutcome::kFailed);
  Prepare(2000, 1000);
  hooks.failThreadStart = true;
  RunDialog([&] { AnswerConfirmation(FindProgressDialog(), kCancelButton, IDOK); });
  EXPECT_EQ(outcome, SplitOutcome::kFailed);
  EXPECT_FALSE(Exists(PartPath(1)));
}

}  // namespace
