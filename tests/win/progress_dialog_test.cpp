// The progress dialog with its real worker thread, real files and real windows:
// the dialog runs modally on the test's thread while a driver thread acts as
// the user, and the worker can be held at any of its calls to the dialog.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
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

constexpr char kCancelQuestion[] = "Do you want to cancel the File Split ?";
constexpr char kCloseQuestion[] = "Do you want to close this operation ?";

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

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool OpensExclusively(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

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
  for (size_t i = 0; i < pixels.size(); ++i) {
    pixels[i] = RGB(raw[i * 4 + 2], raw[i * 4 + 1], raw[i * 4]);
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return pixels;
}

enum class Trigger { kCancelButton, kCloseBox };

const char* QuestionOf(Trigger trigger) {
  return trigger == Trigger::kCancelButton ? kCancelQuestion : kCloseQuestion;
}

// Asks the dialog to stop by `trigger`, checks its confirmation and answers it
// once `meanwhile` has run.
void AnswerConfirmation(HWND dialog, Trigger trigger, int answer,
                        const std::function<void()>& meanwhile = {}) {
  if (trigger == Trigger::kCancelButton) {
    PressButton(dialog, IDC_PROGRESS_CANCEL, false);
  } else {
    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  }
  HWND box = WaitForMessageBox(0, QuestionOf(trigger));
  ASSERT_NE(box, nullptr);
  const MessageBoxInfo info = DescribeMessageBox(box);
  EXPECT_EQ(info.caption, "Confirm to Cancel");
  EXPECT_EQ(info.text, QuestionOf(trigger));
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

  std::string PartPath(unsigned number) const {
    char name[32];
    std::snprintf(name, sizeof name, "source.bin.%03u", number);
    return destFolder + name;
  }
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
      if (WaitForSingleObject(ended, 60000) == WAIT_TIMEOUT) {
        std::fprintf(stderr, "progress dialog still open after 60 s: deadlock\n");
        std::fflush(stderr);
        TerminateProcess(GetCurrentProcess(), 3);
      }
    });
    EXPECT_EQ(DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_PROGRESS), nullptr,
                              ProgressDialog, 0),
              0);
    dialogEnded = true;
    SetEvent(ended);
    watchdog.join();
    CloseHandle(ended);
    driverThread.join();
    SetProgressWorkerHooks(nullptr);
    EXPECT_EQ(SplitJob.workerThread, nullptr);
    EXPECT_EQ(SplitJob.animation, nullptr);
    EXPECT_EQ(SplitJob.progressBar, nullptr);
  }

  void ExpectPartsWritten(unsigned count) {
    for (unsigned n = 1; n <= count; ++n) {
      std::string bytes;
      ASSERT_TRUE(ReadWholeFile(PartPath(n), &bytes)) << "part " << n;
      EXPECT_TRUE(bytes == source.substr((n - 1) * size_t{chosenPartSize}, chosenPartSize))
          << "part " << n;
    }
  }

  // Holds the worker before its status line for part `part`.
  void HoldBeforePart(Gate& gate, int part) {
    auto shown = std::make_shared<int>(0);
    hooks.beforeCall = [&gate, shown, part](const char* call) {
      if (std::string(call) == "ShowStatus" && ++*shown == part) gate.Hold();
    };
  }

  std::unique_ptr<TempDir> dir;
  std::string source, sourcePath, destFolder;
  std::uint32_t chosenPartSize = 0;
  ProgressWorkerHooks hooks;
  std::atomic<bool> dialogEnded{false};
};

TEST_F(ProgressDialogTest, SplitsWithOneBarStepPerPartAndClosesByItself) {
  struct Case {
    std::uint32_t fileSize, partSize, parts, max;
  };
  for (const Case& c : {Case{1000, 1000, 1, 2}, Case{1400, 300, 5, 6}, Case{600000, 262144, 3, 4}}) {
    SCOPED_TRACE(testing::Message() << c.parts << " part(s)");
    Prepare(c.fileSize, c.partSize);
    std::vector<std::pair<std::string, int>> positions;  // bar position before each call
    hooks.beforeCall = [&](const char* call) {
      HWND bar = SplitJob.progressBar->Window();
      PBRANGE range{};
      SendMessageA(bar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
      EXPECT_EQ(range.iLow, 0);
      EXPECT_EQ(range.iHigh, static_cast<int>(c.max));
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
    EXPECT_EQ(steps, static_cast<int>(c.parts));
    ASSERT_GE(positions.size(), 2u);
    EXPECT_EQ(positions[positions.size() - 2], std::make_pair(std::string("FillProgress"), steps));
    EXPECT_EQ(positions.back(), std::make_pair(std::string("Pause"), static_cast<int>(c.max)));

    ExpectPartsWritten(c.parts);
    EXPECT_FALSE(Exists(PartPath(c.parts + 1)));
    EXPECT_TRUE(Exists(BatchPath()));
    EXPECT_EQ(SplitJob.currentPart, c.parts + 1);
    EXPECT_TRUE(answerer.Seen().empty());
  }
}

TEST_F(ProgressDialogTest, DeclinedCancelDeclinedCloseAndEscapeLeaveTheSplitRunning) {
  Prepare(3000, 1000);
  Gate gate;
  HoldBeforePart(gate, 2);
  RunDialog([&] {
    ASSERT_TRUE(gate.WaitReached());
    HWND dialog = FindProgressDialog();
    AnswerConfirmation(dialog, Trigger::kCancelButton, IDCANCEL);
    AnswerConfirmation(dialog, Trigger::kCloseBox, IDCANCEL);
    PostKey(dialog, VK_ESCAPE);
    EXPECT_TRUE(NoMessageBoxFor(0, 300));
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_FALSE(SplitJob.cancelRequested);
    gate.Open();
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
  EXPECT_TRUE(OpensExclusively(sourcePath));
  EXPECT_TRUE(OpensExclusively(PartPath(2)));
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
    EXPECT_EQ(DescribeMessageBox(question).text,
              PartPath(1) + " exists already, do you want to OverWrite it?");
    // The worker's question has no owner, so the dialog can still be cancelled.
    EXPECT_EQ(GetWindow(question, GW_OWNER), nullptr);
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

TEST_F(ProgressDialogTest, WorkerEndingWhileTheCloseQuestionIsOpenEndsTheDialog) {
  Prepare(2000, 1000);
  Gate gate;
  hooks.beforeCall = [&](const char* call) {
    if (std::string(call) == "Pause") gate.Hold();
  };
  RunDialog([&] {
    ASSERT_TRUE(gate.WaitReached());
    HWND dialog = FindProgressDialog();
    AnswerConfirmation(dialog, Trigger::kCloseBox, IDOK, [&] {
      gate.Open();
      // The worker's WM_CLOSE is handled while the question is still open.
      EXPECT_TRUE(WaitFor([&] { return !IsWindow(GetDlgItem(dialog, IDC_PROGRESS_BAR)); }));
    });
  });
  ExpectPartsWritten(2);
  EXPECT_TRUE(Exists(BatchPath()));
  EXPECT_EQ(SplitJob.currentPart, SplitJob.partCount + 1);
}

TEST_F(ProgressDialogTest, AnimationPlaysAndTheBarAndStatusLookRight) {
  Prepare(2000, 1000);
  Gate gate;
  HoldBeforePart(gate, 2);
  RunDialog([&] {
    ASSERT_TRUE(gate.WaitReached());
    HWND dialog = FindProgressDialog();
    HWND animation = GetDlgItem(dialog, IDC_PROGRESS_ANIMATION);
    HWND bar = GetDlgItem(dialog, IDC_PROGRESS_BAR);
    ASSERT_TRUE(animation && bar);
    EXPECT_EQ(TextOf(GetDlgItem(dialog, IDC_PROGRESS_STATUS)), "Spliting file into - 1 of 2 part(s)");
    RECT client, clip, barArea;
    GetClientRect(dialog, &client);
    GetWindowRect(animation, &clip);
    GetWindowRect(bar, &barArea);
    POINT origin{0, 0};
    ClientToScreen(dialog, &origin);
    EXPECT_EQ(clip.left - origin.x, 30);
    EXPECT_EQ(clip.top - origin.y, 5);
    EXPECT_EQ(barArea.left - origin.x, 10);
    EXPECT_EQ(barArea.top - origin.y, 65);
    EXPECT_LE(barArea.right - origin.x, client.right);  // not clipped by the dialog

    // Frames change, and the magenta ground is drawn as the dialog's face.
    const std::vector<COLORREF> first = Grab(clip);
    std::vector<COLORREF> now;
    EXPECT_TRUE(WaitFor([&] { return (now = Grab(clip)) != first; }, 5000));
    const std::vector<COLORREF>& later = now;
    for (const std::vector<COLORREF>* frame : {&first, &later}) {
      EXPECT_EQ(std::count(frame->begin(), frame->end(), RGB(255, 0, 255)), 0);
      EXPECT_GT(std::count(frame->begin(), frame->end(), GetSysColor(COLOR_BTNFACE)), 0);
    }

    // One part of two done, range 0 to 3: the first third in the bar colour on white.
    const int width = barArea.right - barArea.left, middle = (barArea.bottom - barArea.top) / 2;
    COLORREF done = 0, todo = 0;
    EXPECT_TRUE(WaitFor([&] {
      const std::vector<COLORREF> pixels = Grab(barArea);
      done = pixels[static_cast<size_t>(middle) * width + width / 6];
      todo = pixels[static_cast<size_t>(middle) * width + width * 5 / 6];
      return done == RGB(62, 17, 238) && todo == RGB(255, 255, 255);
    }, 5000)) << std::hex << "done 0x" << done << ", to do 0x" << todo;
    gate.Open();
  });
  ExpectPartsWritten(2);
}

}  // namespace
