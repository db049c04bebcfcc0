// The main dialog under test, with a fresh split request and, where a test
// asks for it, a settings store over a fresh registry key.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "globals.h"
#include "main_dialog.h"
#include "settings.h"
#include "settings_registry.h"
#include "split_job.h"
#include "tray.h"

inline void ResetSplitJob() {
  SplitJob.sourcePath[0] = '\0';
  SplitJob.destFolder[0] = '\0';
  SplitJob.fileSize = 0;
  SplitJob.partSize = kFloppyPartSize;
  SplitJob.partCount = 0;
  SplitJob.currentPart = 1;
}

// A modal loop ended by the quit message leaves it posted again for the outer
// loop; this thread has none, and the next test's dialog must not end at once.
inline void DrainQuit() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
}

inline bool QuitPending() {
  MSG msg;
  return PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != FALSE;
}

// NIM_MODIFY succeeds only for an icon that exists.
inline bool TrayIconPresent(HWND window) {
  NOTIFYICONDATAA record;
  FillTrayRecord(window, false, &record);
  return Shell_NotifyIconA(NIM_MODIFY, &record) != FALSE;
}

inline LRESULT SendHandOver(HWND dialog, const std::string& text, ULONG_PTR tag = 0x12345678) {
  COPYDATASTRUCT data;
  data.dwData = tag;
  data.cbData = static_cast<DWORD>(text.size());
  data.lpData = const_cast<char*>(text.data());
  return SendMessageA(dialog, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
}

class MainDialogTest : public PlyxKeyTest {
 protected:
  void SetUp() override {
    PlyxKeyTest::SetUp();
    InstanceHandle = GetModuleHandleA(nullptr);
    AppSettings = nullptr;
    ResetSplitJob();
  }

  void TearDown() override {
    if (dialog_ != nullptr && IsWindow(dialog_)) {
      SetTrayIcon(dialog_, false);
      DestroyWindow(dialog_);
    }
    DrainQuit();
    delete AppSettings;
    AppSettings = nullptr;
    MainWindowHandle = nullptr;
    ResetSplitJob();
    PlyxKeyTest::TearDown();
  }

  // A store with these flags and this history, oldest first.
  void UseStore(bool minToSysTray, bool useMRUD, const std::vector<std::string>& history = {}) {
    AppSettings = new Settings;
    ASSERT_NE(AppSettings->status, kSettingsUnusable);
    ASSERT_TRUE(AppSettings->SetMinToSysTray(minToSysTray));
    ASSERT_TRUE(AppSettings->SetUseMRUD(useMRUD));
    for (const std::string& folder : history) ASSERT_TRUE(AppSettings->AddMRUD(folder.c_str()));
  }

  // Modeless, so that the test can send it messages on its own thread.
  HWND Open() {
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
