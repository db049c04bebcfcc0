#include "dialog_split_ui.h"

#include <commctrl.h>

#include <utility>

#include "resource_ids.h"

UINT QuestionStyle(SplitQuestion kind) {
  switch (kind) {
    case SplitQuestion::kOverwrite:
      return MB_OKCANCEL;
    case SplitQuestion::kInsertDisk:
      return MB_RETRYCANCEL | MB_ICONSTOP;
    case SplitQuestion::kDiskFull:
      return MB_OK | MB_ICONSTOP;
    case SplitQuestion::kFailure:
      return MB_OK | MB_ICONEXCLAMATION;
  }
  return MB_OK;
}

DialogSplitUi::DialogSplitUi(HWND dialogWindow, SplitJobRecord& splitJob, CallHook hook)
    : dialog(dialogWindow), job(splitJob), beforeCall(std::move(hook)) {}

void DialogSplitUi::BeforeCall(const char* call) {
  if (beforeCall) beforeCall(call);
}

void DialogSplitUi::ShowStatus(const char* text) {
  BeforeCall("ShowStatus");
  SetDlgItemTextA(dialog, IDC_PROGRESS_STATUS, text);
}

void DialogSplitUi::StepProgress() {
  BeforeCall("StepProgress");
  SendDlgItemMessageA(dialog, IDC_PROGRESS_BAR, PBM_STEPIT, 0, 0);
}

void DialogSplitUi::FillProgress() {
  BeforeCall("FillProgress");
  SendDlgItemMessageA(dialog, IDC_PROGRESS_BAR, PBM_SETPOS, job.progressMax, 0);
}

namespace {

// Joins the worker's input state to the dialog's thread while its question is
// open. Apart, each thread keeps an active window of its own: handing the
// foreground back to the question after the dialog took it changed nothing
// on the question's thread, so Wine never moved the X input focus back to it,
// and the late focus-out of its X window made the desktop the foreground.
class SharedInput {
 public:
  explicit SharedInput(HWND dialog)
      : self(GetCurrentThreadId()), other(dialog ? GetWindowThreadProcessId(dialog, nullptr) : 0) {
    joined = other && other != self && AttachThreadInput(self, other, TRUE);
  }
  ~SharedInput() {
    if (joined) AttachThreadInput(self, other, FALSE);
  }
  SharedInput(const SharedInput&) = delete;
  SharedInput& operator=(const SharedInput&) = delete;

 private:
  DWORD self, other;
  bool joined;
};

}  // namespace

SplitAnswer DialogSplitUi::Ask(SplitQuestion kind, const char* text) {
  BeforeCall("Ask");
  const SharedInput shared(dialog);
  // Without the foreground its keys would go to the progress window, which
  // another thread activated.
  switch (MessageBoxA(nullptr, text, kAppTitle, QuestionStyle(kind) | MB_SETFOREGROUND)) {
    case IDOK:
      return SplitAnswer::kOk;
    case IDRETRY:
      return SplitAnswer::kRetry;
    default:
      return SplitAnswer::kCancel;
  }
}

void DialogSplitUi::Pause(std::uint32_t milliseconds) {
  BeforeCall("Pause");
  Sleep(milliseconds);
}

void DialogSplitUi::RunOver() {
  job.finished = true;
  PostMessageA(dialog, WM_CLOSE, 0, 0);
}
