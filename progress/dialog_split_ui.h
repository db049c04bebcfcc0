// The progress dialog's side of the split run: what the worker shows and asks,
// carried out as window calls from the worker's thread.
#pragma once

#include <windows.h>

#include <functional>

#include "split_job.h"
#include "split_ui.h"

class DialogSplitUi : public SplitUi {
 public:
  // Runs on the worker's thread before each call but RunOver, with the call's
  // name ("ShowStatus", "StepProgress", ...): tests slow or hold the worker there.
  using CallHook = std::function<void(const char* call)>;

  DialogSplitUi(HWND dialog, SplitJobRecord& job, CallHook beforeCall = {});

  // Sent, so the dialog's thread carries them out before the worker goes on.
  void ShowStatus(const char* text) override;
  void StepProgress() override;
  void FillProgress() override;
  // On the worker's thread, as the focus rules say.
  SplitAnswer Ask(SplitQuestion kind, const char* text) override;
  void Pause(std::uint32_t milliseconds) override;
  // Posted, never sent: the dialog may already be waiting for this thread to end.
  void RunOver() override;

 private:
  void BeforeCall(const char* call);

  HWND dialog;
  SplitJobRecord& job;
  CallHook beforeCall;
};
