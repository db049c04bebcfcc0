// The modal window that runs one split on a worker thread and lets the user
// cancel it. It starts the worker itself.
#pragma once

#include <windows.h>

#include <functional>

#include "split_job.h"
#include "split_ui.h"

// The dialog procedure; RunProgressDialog hands it the run's state with WM_INITDIALOG.
INT_PTR CALLBACK ProgressDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Runs the dialog (template IDD_PROGRESS of InstanceHandle) modally over
// `owner` and tells how the split ended. A dialog or worker that cannot start
// is a failure.
SplitOutcome RunProgressDialog(HWND owner);

// The worker thread's entry: runs the split of SplitJob, reporting into the
// progress dialog `dialog` that RunProgressDialog runs. Always returns 0.
unsigned __stdcall SplitWorker(void* dialog);

// Test seams: a disk of the test's own, a call on the worker's thread before each
// of its calls to the dialog (see DialogSplitUi), or a thread that fails to start.
struct ProgressWorkerHooks {
  DiskSpace* disk = nullptr;  // nullptr: the system's
  std::function<void(const char* call)> beforeCall;
  bool failThreadStart = false;
};
// Used by the dialogs opened afterwards; nullptr restores the product's behaviour.
void SetProgressWorkerHooks(const ProgressWorkerHooks* hooks);
