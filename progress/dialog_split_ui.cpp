#include "dialog_split_ui.h"

#include <commctrl.h>

#include <utility>

#include "focus_rules.h"
#include "resource_ids.h"

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

SplitAnswer DialogSplitUi::Ask(SplitQuestion kind, const char* text) {
  BeforeCall("Ask");
  switch (AskOnWorkerThread(text, StyleOf(kind))) {
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
