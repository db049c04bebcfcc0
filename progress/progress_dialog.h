// The modal window that runs one split on a worker thread and lets the user
// cancel it. Opened with DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_PROGRESS),
// owner, ProgressDialog, 0); it starts the worker itself.
#pragma once

#include <windows.h>

#include <functional>

#include "split_ui.h"

INT_PTR CALLBACK ProgressDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The worker thread's entry: runs the split of SplitJob, reporting into the
// progress dialog `dialog`. Always returns 0.
unsigned __stdcall SplitWorker(void* dialog);

// After the dialog has ended: every part and the merge batch were written.
// A cancel confirmed after the last part leaves currentPart past it, but no batch.
bool LastSplitSucceeded();

// Test seams: a disk of the test's own, a call on the worker's thread before each
// of its calls to the dialog (see DialogSplitUi), or a thread that fails to start.
struct ProgressWorkerHooks {
  DiskSpace* disk = nullptr;  // nullptr: the system's
  std::function<void(const char* call)> beforeCall;
  bool failThreadStart = false;
};
// Used by the dialogs opened afterwards; nullptr restores the product's behaviour.
void SetProgressWorkerHooks(const ProgressWorkerHooks* hooks);
