// The progress dialog with a real worker thread, real files and real windows:
// the dialog runs modally on the test's thread while a driver thread acts as
// the user, and the worker can be held at any of its calls to the dialog.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <mutex>
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
class Gate {
 public:
  Gate() : event(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
  ~Gate() { CloseHandle(event); }
  void Hold() {
    reached = true;
    WaitForSingleObject(event, 30000);
  }
  void Open() { SetEvent(event); }
  std::atomic<bool> reached{false};

 private:
  HANDLE event;
};

// A deadlocked dialog never returns: fail loudly instead of hanging the run.
class Watchdog {
 public:
  Watchdog() : done(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    thread = std::thread([this] {
      if (WaitForSingleObject(done, 60000) == WAIT_TIMEOUT) {
        std::fprintf(stderr, "progress dialog still open after 60 s: deadlock\n");
        std::fflush(stderr);
        TerminateProcess(GetCurrentProcess(), 3);
      }
    });
  }
  ~Watchdog() {
    SetEvent(done);
    thread.join();
    CloseHandle(done);
  }

 private:
  HANDLE done;
  std::thread thread;
};

HWND FindProgressDialog() {
  HWND found = nullptr;
  WaitFor([&] {
    for (HWND window : DialogWindows(0)) {
      if (!IsMessageBox(window) && GetDlgItem(window, IDC_PROGRESS_STATUS) &&
          GetDlgItem(window, IDC_PROGRESS_CANCEL)) {
        found = window;
        return true;
      }
    }
    return false;
  });
  return found;
}

bool FileOpensExclusively(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string Pattern(std::uint32_t size) {
  std::string bytes(size, '\0');
  for (std::uint32_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
  return bytes;
}

// Checks a box the dialog asks with: its caption, buttons, icon and owner.
void ExpectConfirmation(HWND box, HWND dialog) {
  ASSERT_NE(box, nullptr);
  const MessageBoxInfo info = DescribeMessageBox(box);
  EXPECT_EQ(info.caption, "Confirm to Cancel");
  EXPECT_EQ(info.buttons, std::vector<int>({IDOK, IDCANCEL}));
  EXPECT_EQ(info.icon, BoxIcon::kQuestion);
  EXPECT_EQ(GetWindow(box, GW_OWNER), dialog);
}


// The screen's pixels in `area`, row by row, as RGB().
std::vector<COLORREF> Grab(const RECT& area) {
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
  GdiFlush();
  std::vector<COLORREF> pixels(static_cast<size_t>(width) * height);
  const auto* raw = static_cast<const unsigned char*>(bits);
  for (size_t i = 0; i < pixels.size(); ++i) {
    pixels[i] = RGB(raw[i * 4 + 2], raw[i * 4 + 1], raw[i * 4]);
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return pixels;
}

// Saves the screen's `area` as a 24-bit BMP, for a person to look at.
void SaveScreenshot(const RECT& area, const char* path) {
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  const std::vector<COLORREF> pixels = Grab(area);
  const int stride = (width * 3 + 3) & ~3;
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER header{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = file.bfOffBits + stride * height;
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
  bytes.append(reinterpret_cast<const char*>(&header), sizeof header);
  for (int y = height - 1; y >= 0; --y) {
    std::string row(stride, '\0');
    for (int x = 0; x < width; ++x) {
      const COLORREF c = pixels[static_cast<size_t>(y) * width + x];
      row[x * 3] = static_cast<char>(GetBValue(c));
      row[x * 3 + 1] = static_cast<char>(GetGValue(c));
      row[x * 3 + 2] = static_cast<char>(GetRValue(c));
    }
    bytes += row;
  }
  WriteWholeFile(path, bytes);
}

RECT ScreenRect(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  return rect;
}

RECT RectInClient(HWND control) {
  RECT rect = ScreenRect(control);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

enum class Trigger { kCancelButton, kCloseBox };

void Press(HWND dialog, Trigger trigger) {
  if (trigger == Trigger::kCancelButton) {
    PressButton(dialog, IDC_PROGRESS_CANCEL, false);
  } else {
    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  }
}

const char* QuestionOf(Trigger trigger) {
  return trigger == Trigger::kCancelButton ? kCancelQuestion : kCloseQuestion;
}

class ProgressDialogTest : public testing::Test {
 protected:
  void SetUp() override { SetProgressWorkerHooks(nullptr); }
  void TearDown() override { SetProgressWorkerHooks(nullptr); }

  // A source of `fileSize` bytes to be split at `partSize` into dir\out\.
  void Prepare(std::uint32_t fileSize, std::uint32_t partSize) {
    dir = std::make_unique<TempDir>();
    dialogEnded = false;
    source = Pattern(fileSize);
    sourcePath = *dir / "source.bin";
    destFolder = *dir / "out\\";
    ASSERT_TRUE(WriteWholeFile(sourcePath, source));
    ASSERT_TRUE(CreateDirectoryA(destFolder.c_str(), nullptr));
    std::snprintf(SplitJob.sourcePath, sizeof SplitJob.sourcePath, "%s", sourcePath.c_str());
    std::snprintf(SplitJob.destFolder, sizeof SplitJob.destFolder, "%s", destFolder.c_str());
    SplitJob.fileSize = fileSize;
    SplitJob.partSize = partSize;
    SplitJob.partCount = PartCount(fileSize, partSize);
    partSize_ = partSize;
    SplitJob.cancelRequested = false;
    SplitJob.finished = false;
  }

  std::string PartPath(unsigned number) const {
    char name[32];
    std::snprintf(name, sizeof name, "source.bin.%03u", number);
    return destFolder + name;
  }
  std::string BatchPath() const { return destFolder + "source.bin.bat"; }

  // Runs the dialog on this thread while `driver` acts on another one.
  INT_PTR RunDialog(const std::function<void()>& driver = {}) {
    SetProgressWorkerHooks(&hooks);
    std::thread driverThread;
    if (driver) {
      driverThread = std::thread([&] {
        driver();
        // A driver that failed half-way leaves the dialog open: end it the way
        // the worker's end does, so the test fails instead of hanging.
        if (HasFailure() && !WaitFor([&] { return dialogEnded.load(); }, 2000)) {
          SplitJob.finished = true;
          if (HWND dialog = FindProgressDialog()) PostMessageA(dialog, WM_CLOSE, 0, 0);
        }
      });
    }
    INT_PTR result;
    {
      Watchdog watchdog;
      result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_PROGRESS), nullptr,
                               ProgressDialog, 0);
      dialogEnded = true;
    }
    if (driverThread.joinable()) driverThread.join();
    SetProgressWorkerHooks(nullptr);
    return result;
  }

  void ExpectPartsWritten(unsigned count) {
    for (unsigned n = 1; n <= count; ++n) {
      SCOPED_TRACE(testing::Message() << "part " << n);
      std::string bytes;
      ASSERT_TRUE(ReadWholeFile(PartPath(n), &bytes));
      EXPECT_TRUE(bytes == source.substr((n - 1) * static_cast<size_t>(partSize_), partSize_));
    }
  }

  void ExpectControlsFreed() {
    EXPECT_EQ(SplitJob.workerThread, nullptr);
    EXPECT_EQ(SplitJob.animation, nullptr);
    EXPECT_EQ(SplitJob.progressBar, nullptr);
  }

  std::unique_ptr<TempDir> dir;
  std::string source, sourcePath, destFolder;
  std::uint32_t partSize_ = 0;
  ProgressWorkerHooks hooks;
  std::atomic<bool> dialogEnded{false};
};

TEST_F(ProgressDialogTest, BarHasOneStepPerPartAndTheBatchFillsIt) {
  struct Case {
    std::uint32_t fileSize, partSize, parts, max;
  };
  const Case cases[] = {{1000, 1000, 1, 2}, {1400, 300, 5, 6}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.parts << " part(s)");
    Prepare(c.fileSize, c.partSize);
    struct Seen {
      std::string call, status;
      int pos, low, high;
    };
    std::vector<Seen> seen;
    hooks.beforeCall = [&](const char* call) {
      HWND bar = SplitJob.progressBar->Window();
      PBRANGE range{};
      SendMessageA(bar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
      char status[128] = {};
      GetWindowTextA(GetDlgItem(GetParent(bar), IDC_PROGRESS_STATUS), status, sizeof status);
      seen.push_back({call, status, static_cast<int>(SendMessageA(bar, PBM_GETPOS, 0, 0)),
                      range.iLow, range.iHigh});
    };
    RunDialog();
    EXPECT_EQ(SplitJob.progressMax, c.max);
    ASSERT_FALSE(seen.empty());
    int steps = 0;
    for (size_t i = 0; i < seen.size(); ++i) {
      SCOPED_TRACE(testing::Message() << "call " << i << " " << seen[i].call);
      EXPECT_EQ(seen[i].low, 0);
      EXPECT_EQ(seen[i].high, static_cast<int>(c.max));
      if (seen[i].call == "StepProgress") {
        EXPECT_EQ(seen[i].pos, steps++);
      }
    }
    EXPECT_EQ(steps, static_cast<int>(c.parts));
    // Before the batch step all parts are in; after it the bar is full.
    ASSERT_GE(seen.size(), 3u);
    const Seen& fill = seen[seen.size() - 2];
    const Seen& pause = seen.back();
    EXPECT_EQ(fill.call, "FillProgress");
    EXPECT_EQ(fill.status, "Creating BAT file");
    EXPECT_EQ(fill.pos, static_cast<int>(c.parts));
    EXPECT_EQ(pause.call, "Pause");
    EXPECT_EQ(pause.pos, static_cast<int>(c.max));
    EXPECT_EQ(seen[1].status, "Spliting file into - 1 of " + std::to_string(c.parts) + " part(s)");
  }
}

TEST_F(ProgressDialogTest, WholeSplitWritesPartsAndBatchAndClosesByItself) {
  Prepare(600000, 262144);
  MessageBoxAnswerer answerer(0, [](const MessageBoxInfo&) { return IDCANCEL; });
  EXPECT_EQ(RunDialog(), 0);
  ExpectPartsWritten(3);
  std::string last;
  ASSERT_TRUE(ReadWholeFile(PartPath(3), &last));
  EXPECT_EQ(last.size(), 75712u);
  EXPECT_FALSE(Exists(PartPath(4)));
  std::string batch;
  ASSERT_TRUE(ReadWholeFile(BatchPath(), &batch));
  EXPECT_NE(batch.find("source.bin.003"), std::string::npos);
  EXPECT_EQ(SplitJob.currentPart, SplitJob.partCount + 1);
  EXPECT_TRUE(answerer.Seen().empty());
  EXPECT_TRUE(FileOpensExclusively(sourcePath));
  ExpectControlsFreed();
}

TEST_F(ProgressDialogTest, DeclinedCancelDeclinedCloseAndEscapeLeaveTheSplitRunning) {
  Prepare(3000, 1000);
  Gate gate;
  int showCount = 0;
  hooks.beforeCall = [&](const char* call) {
    if (std::string(call) == "ShowStatus" && ++showCount == 2) gate.Hold();
  };
  RunDialog([&] {
    ASSERT_TRUE(WaitFor([&] { return gate.reached.load(); }));
    HWND dialog = FindProgressDialog();
    ASSERT_NE(dialog, nullptr);
    for (Trigger trigger : {Trigger::kCancelButton, Trigger::kCloseBox}) {
      Press(dialog, trigger);
      HWND box = WaitForMessageBox(0, QuestionOf(trigger));
      ExpectConfirmation(box, dialog);
      EXPECT_EQ(DescribeMessageBox(box).text, QuestionOf(trigger));
      EXPECT_TRUE(AnswerMessageBox(box, IDCANCEL));
      EXPECT_FALSE(SplitJob.cancelRequested);
    }
    PostKey(dialog, VK_ESCAPE);
    EXPECT_TRUE(NoMessageBoxFor(0, 300));
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_FALSE(SplitJob.cancelRequested);
    gate.Open();
  });
  gate.Open();
  ExpectPartsWritten(3);
  EXPECT_TRUE(Exists(BatchPath()));
  EXPECT_EQ(SplitJob.currentPart, 4u);
}

TEST_F(ProgressDialogTest, ConfirmedCancelEndsAfterTheWorkerClosedItsFiles) {
  Prepare(450000, 150000);
  Gate gate;
  int showCount = 0;
  std::atomic<bool> endedBeforeWorker{false};
  hooks.beforeCall = [&](const char* call) {
    if (std::string(call) != "ShowStatus" || ++showCount != 2) return;
    gate.reached = true;
    WaitFor([] { return SplitJob.cancelRequested.load(); }, 20000);
    // The worker still has its files open: the dialog must not end yet.
    endedBeforeWorker = WaitFor([&] { return dialogEnded.load(); }, 500);
  };
  RunDialog([&] {
    ASSERT_TRUE(WaitFor([&] { return gate.reached.load(); }));
    HWND dialog = FindProgressDialog();
    Press(dialog, Trigger::kCancelButton);
    HWND box = WaitForMessageBox(0, kCancelQuestion);
    ExpectConfirmation(box, dialog);
    EXPECT_TRUE(AnswerMessageBox(box, IDOK));
  });
  EXPECT_FALSE(endedBeforeWorker);
  EXPECT_TRUE(FileOpensExclusively(sourcePath));
  EXPECT_TRUE(FileOpensExclusively(PartPath(2)));
  ExpectPartsWritten(1);
  std::string cut;
  ASSERT_TRUE(ReadWholeFile(PartPath(2), &cut));
  EXPECT_LT(cut.size(), 150000u);
  EXPECT_FALSE(Exists(PartPath(3)));
  EXPECT_FALSE(Exists(BatchPath()));
  EXPECT_EQ(SplitJob.currentPart, 2u);
  ExpectControlsFreed();
}

TEST_F(ProgressDialogTest, CancelConfirmedWhileTheWorkerAsksToOverwriteDoesNotDeadlock) {
  for (int workerAnswer : {IDOK, IDCANCEL}) {
    SCOPED_TRACE(testing::Message() << "overwrite answered " << workerAnswer);
    Prepare(2000, 1000);
    ASSERT_TRUE(WriteWholeFile(PartPath(1), "older part"));
    RunDialog([&] {
      HWND workerBox = WaitForMessageBox(0, "exists already, do you want to OverWrite it?");
      ASSERT_NE(workerBox, nullptr);
      EXPECT_EQ(GetWindow(workerBox, GW_OWNER), nullptr);
      EXPECT_EQ(DescribeMessageBox(workerBox).text,
                PartPath(1) + " exists already, do you want to OverWrite it?");
      HWND dialog = FindProgressDialog();
      Press(dialog, Trigger::kCancelButton);
      HWND box = WaitForMessageBox(0, kCancelQuestion);
      ExpectConfirmation(box, dialog);
      EXPECT_TRUE(AnswerMessageBox(box, IDOK));
      // The dialog now waits for the worker, whose question is still open.
      EXPECT_TRUE(IsWindow(workerBox));
      EXPECT_TRUE(AnswerMessageBox(workerBox, workerAnswer));
    });
    EXPECT_FALSE(Exists(PartPath(2)));
    EXPECT_FALSE(Exists(BatchPath()));
    EXPECT_NE(SplitJob.currentPart, SplitJob.partCount + 1);
    ExpectControlsFreed();
  }
}

TEST_F(ProgressDialogTest, CancelConfirmedWhileTheWorkerSendsUpdatesDoesNotDeadlock) {
  for (Trigger trigger : {Trigger::kCloseBox, Trigger::kCancelButton}) {
    SCOPED_TRACE(QuestionOf(trigger));
    Prepare(600, 5);  // 120 tiny parts: two sent updates each
    std::atomic<int> calls{0};
    std::atomic<bool> reached{false};
    hooks.beforeCall = [&](const char*) {
      if (++calls != 40) return;
      reached = true;
      // Go on sending the moment the dialog starts waiting for this thread.
      WaitFor([] { return SplitJob.cancelRequested.load(); }, 20000);
    };
    RunDialog([&] {
      ASSERT_TRUE(WaitFor([&] { return reached.load(); }));
      HWND dialog = FindProgressDialog();
      Press(dialog, trigger);
      HWND box = WaitForMessageBox(0, QuestionOf(trigger));
      ExpectConfirmation(box, dialog);
      EXPECT_TRUE(AnswerMessageBox(box, IDOK));
    });
    EXPECT_LT(SplitJob.currentPart, SplitJob.partCount);
    EXPECT_FALSE(Exists(PartPath(SplitJob.partCount)));
    EXPECT_FALSE(Exists(BatchPath()));
    ExpectControlsFreed();
  }
}

TEST_F(ProgressDialogTest, WithoutAWorkerTheDialogStillClosesAndReportsNoSuccess) {
  for (Trigger trigger : {Trigger::kCancelButton, Trigger::kCloseBox}) {
    SCOPED_TRACE(QuestionOf(trigger));
    Prepare(2000, 1000);
    hooks.failThreadStart = true;
    // What a previous successful run leaves behind.
    SplitJob.finished = true;
    SplitJob.currentPart = SplitJob.partCount + 1;
    RunDialog([&] {
      HWND dialog = FindProgressDialog();
      ASSERT_NE(dialog, nullptr);
      Press(dialog, trigger);
      HWND box = WaitForMessageBox(0, QuestionOf(trigger));
      ExpectConfirmation(box, dialog);
      EXPECT_TRUE(AnswerMessageBox(box, IDOK));
    });
    EXPECT_NE(SplitJob.currentPart, SplitJob.partCount + 1);
    EXPECT_FALSE(Exists(PartPath(1)));
    ExpectControlsFreed();
  }
}

TEST_F(ProgressDialogTest, CancelAfterTheWorkerFinishedIsIgnored) {
  Prepare(2000, 1000);
  hooks.failThreadStart = true;  // the test plays the worker's end itself
  MessageBoxAnswerer answerer(0, [](const MessageBoxInfo&) { return IDCANCEL; });
  RunDialog([&] {
    HWND dialog = FindProgressDialog();
    ASSERT_NE(dialog, nullptr);
    SplitJob.finished = true;
    PressButton(dialog, IDC_PROGRESS_CANCEL, false);
    EXPECT_FALSE(WaitFor([&] { return !answerer.Seen().empty(); }, 300));
    EXPECT_TRUE(IsWindowVisible(dialog));
    PostMessageA(dialog, WM_CLOSE, 0, 0);
  });
  EXPECT_TRUE(answerer.Seen().empty());
  EXPECT_FALSE(SplitJob.cancelRequested);
  ExpectControlsFreed();
}

TEST_F(ProgressDialogTest, WorkerEndingWhileTheCloseQuestionIsOpenEndsTheDialogOnce) {
  for (int answer : {IDOK, IDCANCEL}) {
    SCOPED_TRACE(testing::Message() << "answered " << answer);
    Prepare(2000, 1000);
    Gate gate;
    hooks.beforeCall = [&](const char* call) {
      if (std::string(call) == "Pause") gate.Hold();
    };
    RunDialog([&] {
      ASSERT_TRUE(WaitFor([&] { return gate.reached.load(); }));
      HWND dialog = FindProgressDialog();
      PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
      HWND box = WaitForMessageBox(0, kCloseQuestion);
      ExpectConfirmation(box, dialog);
      gate.Open();
      // The worker's WM_CLOSE is handled inside the open question.
      EXPECT_TRUE(WaitFor([&] { return !IsWindow(GetDlgItem(dialog, IDC_PROGRESS_BAR)); }));
      EXPECT_TRUE(AnswerMessageBox(box, answer));
    });
    gate.Open();
    ExpectPartsWritten(2);
    EXPECT_TRUE(Exists(BatchPath()));
    EXPECT_EQ(SplitJob.currentPart, SplitJob.partCount + 1);
    ExpectControlsFreed();
  }
}

TEST_F(ProgressDialogTest, AnimationPlaysAndTheDialogLooksRight) {
  Prepare(2000, 1000);
  Gate gate;
  int showCount = 0;
  hooks.beforeCall = [&](const char* call) {
    if (std::string(call) == "ShowStatus" && ++showCount == 2) gate.Hold();
  };
  RunDialog([&] {
    ASSERT_TRUE(WaitFor([&] { return gate.reached.load(); }));
    HWND dialog = FindProgressDialog();
    HWND animation = GetDlgItem(dialog, IDC_PROGRESS_ANIMATION);
    HWND bar = GetDlgItem(dialog, IDC_PROGRESS_BAR);
    HWND status = GetDlgItem(dialog, IDC_PROGRESS_STATUS);
    HWND cancel = GetDlgItem(dialog, IDC_PROGRESS_CANCEL);
    ASSERT_TRUE(animation && bar && status && cancel);
    EXPECT_TRUE(IsWindowVisible(animation));
    EXPECT_EQ(TextOf(dialog), kAppTitle);
    EXPECT_EQ(TextOf(status), "Spliting file into - 1 of 2 part(s)");

    // Nothing clipped, nothing overlapping.
    RECT client;
    GetClientRect(dialog, &client);
    const RECT animationPlace = RectInClient(animation);
    const RECT barPlace = RectInClient(bar);
    EXPECT_EQ(animationPlace.left, 30);
    EXPECT_EQ(animationPlace.top, 5);
    EXPECT_EQ(animationPlace.right - animationPlace.left, 272);
    EXPECT_EQ(animationPlace.bottom - animationPlace.top, 60);
    EXPECT_EQ(barPlace.left, 10);
    EXPECT_EQ(barPlace.top, 65);
    EXPECT_EQ(barPlace.right - barPlace.left, 315);
    EXPECT_EQ(barPlace.bottom - barPlace.top, 20);
    for (HWND control : {animation, bar, status, cancel}) {
      const RECT place = RectInClient(control);
      SCOPED_TRACE(testing::Message() << "control " << GetDlgCtrlID(control));
      EXPECT_GE(place.left, 0);
      EXPECT_GE(place.top, 0);
      EXPECT_LE(place.right, client.right);
      EXPECT_LE(place.bottom, client.bottom);
    }
    EXPECT_LE(animationPlace.bottom, barPlace.top);
    EXPECT_LE(barPlace.bottom, RectInClient(status).top);
    EXPECT_LE(barPlace.bottom, RectInClient(cancel).top);

    // The clip moves, and its magenta background is drawn as the dialog's face.
    const RECT clipArea = ScreenRect(animation);
    const COLORREF magenta = RGB(255, 0, 255);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const std::vector<COLORREF> first = Grab(clipArea);
    std::vector<COLORREF> now;
    EXPECT_TRUE(WaitFor([&] {
      now = Grab(clipArea);
      return now != first;
    }, 5000));
    const std::vector<COLORREF>& later = now;
    for (const std::vector<COLORREF>* frame : {&first, &later}) {
      EXPECT_EQ(std::count(frame->begin(), frame->end(), magenta), 0);
      EXPECT_GT(std::count(frame->begin(), frame->end(), face), 0);
    }

    // One part of two: the left half in the bar colour on a white ground.
    const RECT barArea = ScreenRect(bar);
    const int width = barArea.right - barArea.left;
    const int height = barArea.bottom - barArea.top;
    COLORREF filled = 0, empty = 0;
    EXPECT_TRUE(WaitFor([&] {
      const std::vector<COLORREF> pixels = Grab(barArea);
      filled = pixels[static_cast<size_t>(height / 2) * width + width / 4];
      empty = pixels[static_cast<size_t>(height / 2) * width + width * 3 / 4];
      return filled == RGB(62, 17, 238) && empty == RGB(255, 255, 255);
    }, 5000)) << std::hex << "filled 0x" << filled << ", empty 0x" << empty;

    if (const char* shot = std::getenv("PLYX_PROGRESS_SCREENSHOT")) {
      SaveScreenshot(ScreenRect(dialog), shot);
    }
    gate.Open();
  });
  gate.Open();
  ExpectPartsWritten(2);
}

}  // namespace
