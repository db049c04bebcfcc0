#include "progress_dialog.h"

#include <commctrl.h>
#include <process.h>

#include <atomic>
#include <new>

#include "animation_control.h"
#include "dialog_split_ui.h"
#include "holders.h"
#include "disk_space.h"
#include "progress_bar.h"
#include "resource_ids.h"
#include "split_job.h"
#include "split_worker.h"

namespace {

std::atomic<const ProgressWorkerHooks*> workerHooks{nullptr};

constexpr DWORD kAnimationStyle = WS_CHILD | ACS_TRANSPARENT | ACS_AUTOPLAY;
constexpr int kAnimationX = 30;
constexpr int kAnimationY = 5;
constexpr DWORD kBarStyle = WS_CHILD | WS_VISIBLE | PBS_SMOOTH;
constexpr RECT kBarPlace = {10, 65, 315, 20};  // x, y, width, height
constexpr COLORREF kBarColor = RGB(62, 17, 238);
constexpr COLORREF kBarBackground = RGB(255, 255, 255);
constexpr char kConfirmCaption[] = "Confirm to Cancel";

void CreateAnimation(HWND dialog) {
  auto* animation = new (std::nothrow) AnimationControl();
  SplitJob.animation = animation;
  // Without its animation the dialog still works; failures show nothing.
  if (animation && animation->Create(kAnimationStyle, kAnimationX, kAnimationY, dialog,
                                     IDC_PROGRESS_ANIMATION)) {
    animation->Open(IDA_SPLIT_CLIP);
  }
}

void CreateProgressBar(HWND dialog) {
  auto* bar = new (std::nothrow) ProgressBar();
  SplitJob.progressBar = bar;
  if (!bar || !bar->Create(kBarStyle, kBarPlace, dialog, IDC_PROGRESS_BAR)) return;
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

// Carries out the calls that the worker sends to this thread while it waits, or
// a worker caught in the middle of a status or progress update would never end.
// Posted messages stay queued: the worker's own WM_CLOSE must not re-enter here.
void WaitForWorker(HANDLE thread) {
  for (;;) {
    const DWORD woken = MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE);
    if (woken != WAIT_OBJECT_0 + 1) return;  // ended, or the handle is unusable
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

void FreeControls() {
  if (SplitJob.animation) {
    SplitJob.animation->Stop();
    delete SplitJob.animation;
    SplitJob.animation = nullptr;
  }
  delete SplitJob.progressBar;
  SplitJob.progressBar = nullptr;
}

INT_PTR OnInitDialog(HWND dialog) {
  CreateAnimation(dialog);
  SplitJob.progressMax = SplitJob.partCount > 1 ? SplitJob.partCount + 1 : 2;
  CreateProgressBar(dialog);
  SplitJob.cancelRequested = false;
  // A previous run leaves `finished` set and `currentPart` at its success value;
  // until the worker resets them itself, a cancel would go unasked and unwaited,
  // and a thread that never starts would read as a successful split.
  SplitJob.finished = false;
  SplitJob.currentPart = 1;
  StartWorker(dialog);
  return FALSE;
}

void OnCancelButton(HWND dialog) {
  if (SplitJob.finished) return;
  if (MessageBoxA(dialog, "Do you want to cancel the File Split ?", kConfirmCaption,
                  MB_OKCANCEL | MB_ICONQUESTION) == IDOK) {
    SplitJob.cancelRequested = true;
    PostMessageA(dialog, WM_CLOSE, 0, 0);
  }
}

// Runs nested when the worker's WM_CLOSE arrives while a confirmation is open,
// so whatever it frees it also clears.
void OnClose(HWND dialog) {
  int answer = IDOK;
  if (!SplitJob.cancelRequested && !SplitJob.finished) {
    answer = MessageBoxA(dialog, "Do you want to close this operation ?", kConfirmCaption,
                         MB_OKCANCEL | MB_ICONQUESTION);
    if (answer == IDOK) SplitJob.cancelRequested = true;
  }
  HANDLE thread = static_cast<HANDLE>(SplitJob.workerThread);
  if (SplitJob.cancelRequested && !SplitJob.finished && thread) WaitForWorker(thread);
  if (answer != IDOK) return;
  const UniqueHandle ended(thread);
  SplitJob.workerThread = nullptr;
  FreeControls();
  EndDialog(dialog, 0);
}

}  // namespace

INT_PTR CALLBACK ProgressDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      return OnInitDialog(dialog);
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_PROGRESS_CANCEL) OnCancelButton(dialog);
      return FALSE;
    case WM_CLOSE:
      OnClose(dialog);
      return TRUE;
    default:
      return FALSE;
  }
}

unsigned __stdcall SplitWorker(void* dialog) {
  const ProgressWorkerHooks* hooks = workerHooks;
  DialogSplitUi ui(static_cast<HWND>(dialog), SplitJob,
                   hooks ? hooks->beforeCall : DialogSplitUi::CallHook());
  DiskSpace& disk = hooks && hooks->disk ? *hooks->disk : SystemDiskSpace();
  RunSplit(SplitJob, ui, disk);
  return 0;
}

void SetProgressWorkerHooks(const ProgressWorkerHooks* hooks) { workerHooks = hooks; }
