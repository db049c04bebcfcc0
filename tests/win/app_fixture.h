// The main dialog under test, modeless on the test's thread, with a fresh split
// request and, where asked for, a settings store over a fresh registry key.
#pragma once

#include <windows.h>

#include <string>

#include "globals.h"
#include "main_dialog.h"
#include "settings.h"
#include "settings_registry.h"
#include "split_job.h"
#include "tray.h"

inline void ResetSplitJob() {
  SplitJob.sourcePath[0] = '\0';
  SplitJob.destFolder[0] = '\0';
  SplitJob.fileSize = SplitJob.partCount = 0;
  SplitJob.partSize = kFloppyPartSize;
  SplitJob.currentPart = 1;
}

// A modal loop ended by the quit message posts it again for an outer loop that
// a test thread does not have; the next test's dialog must not end at once.
inline bool TakeQuit() {
  MSG msg;
  return PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
}

inline LRESULT SendHandOver(HWND dialog, const std::string& text, ULONG_PTR tag = 0x12345678) {
  COPYDATASTRUCT data{tag, static_cast<DWORD>(text.size()), const_cast<char*>(text.data())};
  return SendMessageA(dialog, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
}

class MainDialogTest : public PlyxKeyTest {
 protected:
  void SetUp() override {
    PlyxKeyTest::SetUp();
    InstanceHandle = GetModuleHandleA(nullptr);
    ResetSplitJob();
  }
  void TearDown() override {
    if (dialog_ != nullptr && IsWindow(dialog_)) {
      SetTrayIcon(dialog_, false);
      DestroyWindow(dialog_);
    }
    while (TakeQuit()) {
    }
    delete AppSettings;
    AppSettings = nullptr;
    ResetSplitJob();
    PlyxKeyTest::TearDown();
  }

  HWND Open(bool minToSysTray = false) {
    AppSettings = new Settings;
    AppSettings->SetMinToSysTray(minToSysTray);
    AppSettings->SetUseMRUD(false);
    dialog_ = CreateDialogParamA(InstanceHandle, "PLYX", nullptr, MainDialog, 0);
    return dialog_;
  }

  std::string Text(int id) const {
    char text[1024] = {};
    GetDlgItemTextA(dialog_, id, text, sizeof text);
    return text;
  }

  HWND dialog_ = nullptr;
};
