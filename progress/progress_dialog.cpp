#include "progress_dialog.h"

#include <commctrl.h>
#include <process.h>

#include <atomic>
#include <memory>
#include <new>

#include "animation_control.h"
#include "callback_guard.h"
#include "dialog_split_ui.h"
#include "disk_space.h"
#include "focus_rules.h"
#include "globals.h"
#include "holders.h"
#include "message_box.h"
#include "progress_bar.h"
#include "resource_ids.h"
#include "screen.h"
#include "split_job.h"
#include "split_worker.h"

namespace {

std::atomic<const ProgressWorkerHooks*> workerHooks{nullptr};

// What one progress window keeps between its messages. RunProgressDialog owns
// it for the dialog's life and hands it over at WM_INITDIALOG; the window
// holds it (DWLP_USER), where the worker's thread finds it too.
struct ProgressRun {
  std::atomic<SplitOutcome> outcome{SplitOutcome::kFailed};  // a failure until the worker reports
  // SplitJob points at them while the dialog lives.
  std::unique_ptr<AnimationControl> animation;
  std::unique_ptr<ProgressBar> progressBar;
  bool asking = false;   // one of the dialog's confirmations is open
  bool closing = false;  // past its close question: waiting for the worker or ending
};

ProgressRun* RunOf(HWND dialog) { return reinterpret_cast<ProgressRun*>(GetWindowLongPtrA(dialog, DWLP_USER)); }

// Places and sizes in pixels at 96 dpi; the dialog's units scale them.
constexpr DWORD kAnimationStyle = WS_CHILD | ACS_TRANSPARENT | ACS_AUTOPLAY;
constexpr int kAnimationX = 30;
constexpr int kAnimationY = 5;
constexpr int kClipWidth = 272;  // the clip's frames
constexpr int kClipHeight = 60;
constexpr DWORD kBarStyle = WS_CHILD | WS_VISIBLE | PBS_SMOOTH;
constexpr RECT kBarPlace = {10, 65, 315, 20};  // x, y, width, height
constexpr COLORREF kBarColor = RGB(62, 17, 238);
constexpr COLORREF kBarBackground = RGB(255, 255, 255);
// Posted when the dialog is made active other than by a click: by then the
// activation is over and the keyboard can be handed on.
constexpr UINT kActivated = WM_APP;

RECT BarPlace(HWND dialog) {
  const POINT place = DialogPixels(dialog, kBarPlace.left, kBarPlace.top);
  const POINT size = DialogPixels(dialog, kBarPlace.right, kBarPlace.bottom);
  return {place.x, place.y, size.x, size.y};
}

// An animation control draws its frames at their own size at every dpi, so
// the clip's centre follows the dialog rather than its corner: it stays over
// the middle of the bar, above it and inside the window.
POINT ClipPlace(HWND dialog, const RECT& bar) {
  RECT client{};
  GetClientRect(dialog, &client);
  POINT place = DialogPixels(dialog, kAnimationX + kClipWidth / 2, kAnimationY + kClipHeight / 2);
  place.x -= kClipWidth / 2, place.y -= kClipHeight / 2;
  if (place.x > client.right - kClipWidth) place.x = client.right - kClipWidth;
  if (place.y > bar.top - kClipHeight) place.y = bar.top - kClipHeight;
  return {place.x < 0 ? 0 : place.x, place.y < 0 ? 0 : place.y};
}

void CreateAnimation(HWND dialog, ProgressRun& run) {
  run.animation.reset(new (std::nothrow) AnimationControl());
  AnimationControl* animation = SplitJob.animation = run.animation.get();
  const POINT place = ClipPlace(dialog, BarPlace(dialog));
  // Without its animation the dialog still works; failures show nothing.
  if (animation && animation->Create(kAnimationStyle, place.x, place.y, dialog, IDC_PROGRESS_ANIMATION)) {
    animation->Open(IDA_SPLIT_CLIP);
  }
}

void CreateProgressBar(HWND dialog, ProgressRun& run) {
  run.progressBar.reset(new (std::nothrow) ProgressBar());
  ProgressBar* bar = SplitJob.progressBar = run.progressBar.get();
  if (!bar || !bar->Create(kBarStyle, BarPlace(dialog), dialog, IDC_PROGRESS_BAR)) return;
  bar->SetBarColor(kBarColor);
  bar->SetBkColor(kBarBackground);
  bar->SetRange(0, SplitJob.progressMax);
  bar->SetStep(1);
}

void StartWorker(HWND dialog) {
  const ProgressWorkerHooks* hooks = workerHooks;
  if (hooks && hooks->failThreadStart) {
    SplitJob.workerThread = nullptr;
    return;
  }
  unsigned threadId = 0;
  const uintptr_t thread = _beginthreadex(nullptr, 0, SplitWorker, dialog, 0, &threadId);
  SplitJob.workerThread = reinterpret_cast<void*>(thread);
}

// Keys and clicks that reached the dialog while it waited were meant for a
// window that could not answer; read later, they would answer the next box
// (the run's outcome) before the user saw it.
void DropQueuedInput() {
  const UINT ranges[][2] = {{WM_KEYFIRST, WM_KEYLAST}, {WM_MOUSEFIRST, WM_MOUSELAST}};
  MSG message;
  for (const auto& range : ranges) {
    while (PeekMessageA(&message, nullptr, range[0], range[1], PM_REMOVE)) {}
  }
}

// Carries out the calls that the worker sends to this thread while it waits, or
// a worker caught in the middle of a status or progress update would never end.
// Posted messages stay queued: the worker's own WM_CLOSE must not re-enter here.
// Input is not read meanwhile: under Wine that also carries out the focus
// events of the dialog's X window, and a late one brought the dialog back over
// the question with nothing left to hand the keyboard on.
void WaitForWorker(HANDLE thread) {
  for (;;) {
    const DWORD woken = MsgWaitForMultipleObjects(1, &thread, FALSE, 250, QS_SENDMESSAGE);
    if (woken != WAIT_TIMEOUT && woken != WAIT_OBJECT_0 + 1) break;  // ended, or the handle is unusable
    // Also while the user reads the question: a thread that has not called
    // PeekMessage for 5 seconds counts as not responding, and Windows puts a
    // ghost in its window's place (IsHungAppWindow).
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    if (woken == WAIT_TIMEOUT) KeepQuestionInFront();
  }
  DropQueuedInput();
}

void FreeControls(ProgressRun& run) {
  SplitJob.animation = nullptr;
  SplitJob.progressBar = nullptr;
  if (run.animation) run.animation->Stop();
  run.animation.reset();
  run.progressBar.reset();
}

INT_PTR OnInitDialog(HWND dialog, ProgressRun& run) {
  CreateAnimation(dialog, run);
  SplitJob.progressMax = ProgressMaxOf(SplitJob.partCount);
  CreateProgressBar(dialog, run);
  SplitJob.cancelRequested = false;
  // A previous run leaves `finished` set and `currentPart` at its success value;
  // until the worker resets them itself, a cancel would go unasked and unwaited,
  // and a thread that never starts would read as a successful split.
  SplitJob.finished = false;
  SplitJob.currentPart = 1;
  StartWorker(dialog);
  return FALSE;
}

int Confirm(HWND dialog, ProgressRun& run, MessageId question) {
  run.asking = true;
  const int answer = ShowMessage(dialog, question);
  run.asking = false;
  return answer;
}

BOOL CALLBACK EndIfOwnedBy(HWND window, LPARAM owner) {
  if (GetWindow(window, GW_OWNER) == reinterpret_cast<HWND>(owner)) EndDialog(window, IDCANCEL);
  return TRUE;
}

// Also after a finished run the worker is waited for: it still has to return
// with the run's result.
void EndRun(HWND dialog, ProgressRun& run) {
  run.closing = true;
  const UniqueHandle ended(static_cast<HANDLE>(SplitJob.workerThread));
  SplitJob.workerThread = nullptr;
  if (ended.IsValid()) {
    // The worker may be waiting for its question: it goes in front of this
    // dialog, which cannot answer the user until the question is answered.
    FrontQuestion();
    WaitForWorker(ended.Get());
  }
  FreeControls(run);
  EndDialog(dialog, 0);
}

void OnCancelButton(HWND dialog, ProgressRun& run) {
  if (SplitJob.finished || run.closing) return;
  const int answer = Confirm(dialog, run, MessageId::kConfirmCancel);
  if (SplitJob.finished) {  // the run ended while asked: the answer no longer matters
    EndRun(dialog, run);
  } else if (answer == IDOK) {
    SplitJob.cancelRequested = true;
    PostMessageA(dialog, WM_CLOSE, 0, 0);
  }
}

void OnClose(HWND dialog, ProgressRun& run) {
  if (run.asking) {
    // The worker's end, come through the question's own loop. Ending the
    // dialog under its question would give the main window back to the user
    // and let a late answer act on a run that is over: the question goes, and
    // the code that asked it closes as for a finished run.
    if (SplitJob.finished) { EnumThreadWindows(GetCurrentThreadId(), EndIfOwnedBy, reinterpret_cast<LPARAM>(dialog)); }
    return;
  }
  // Also sent from outside while this dialog waits for the worker.
  if (run.closing) return;
  if (!SplitJob.cancelRequested && !SplitJob.finished) {
    const int answer = Confirm(dialog, run, MessageId::kConfirmClose);
    if (!SplitJob.finished) {
      if (answer != IDOK) return;
      SplitJob.cancelRequested = true;
    }
  }
  EndRun(dialog, run);
}

INT_PTR ProgressMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) SetWindowLongPtrA(dialog, DWLP_USER, lParam);
  ProgressRun* run = RunOf(dialog);
  if (run == nullptr) return FALSE;  // the messages before WM_INITDIALOG
  switch (message) {
    case WM_INITDIALOG:
      return OnInitDialog(dialog, *run);
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_ACTIVE) PostMessageA(dialog, kActivated, 0, 0);
      return FALSE;
    case kActivated:
      // A click on the dialog is the user's choice and is left alone.
      FrontQuestion();
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_PROGRESS_CANCEL) OnCancelButton(dialog, *run);
      // FALSE though handled, as this window has always answered: the dialog
      // manager ends nothing by itself, so Escape's IDCANCEL still does nothing.
      return FALSE;
    case WM_CLOSE:
      OnClose(dialog, *run);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

INT_PTR CALLBACK ProgressDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  return GuardCallback(FALSE, [&] { return ProgressMessage(dialog, message, wParam, lParam); });
}

unsigned __stdcall SplitWorker(void* dialog) {
  const bool ran = GuardCallback([&] {
    const ProgressWorkerHooks* hooks = workerHooks;
    DialogSplitUi ui(static_cast<HWND>(dialog), SplitJob, hooks ? hooks->beforeCall : DialogSplitUi::CallHook());
    DiskSpace& disk = hooks && hooks->disk ? *hooks->disk : SystemDiskSpace();
    // The dialog waits for this thread before it ends, so its run outlives the worker.
    RunOf(static_cast<HWND>(dialog))->outcome = OutcomeOf(SplitJob, RunSplit(SplitJob, ui, disk));
  });
  // A run cut short by a failed allocation is over all the same, and no success.
  if (!ran) {
    SplitJob.finished = true;
    PostMessageA(static_cast<HWND>(dialog), WM_CLOSE, 0, 0);
  }
  return 0;
}

SplitOutcome RunProgressDialog(HWND owner) {
  ProgressRun run;
  const INT_PTR ended = DialogBoxParamA(InstanceHandle, MAKEINTRESOURCEA(IDD_PROGRESS), owner, ProgressDialog,
                                        reinterpret_cast<LPARAM>(&run));
  return ended == -1 ? SplitOutcome::kFailed : run.outcome.load();
}

void SetProgressWorkerHooks(const ProgressWorkerHooks* hooks) { workerHooks = hooks; }
