// The real "PLYX" template behind a minimal procedure, a clean request, and a
// script of answers for the message boxes the steps show.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <winioctl.h>

#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "globals.h"
#include "resource_ids.h"
#include "settings.h"
#include "size_presets.h"
#include "split_job.h"
#include "support/temp_dir.h"
#include "support/ui_driver.h"

namespace request_test {

// Only what the main dialog's initialisation gives the controls these steps use.
inline INT_PTR CALLBACK MinimalMainProc(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message != WM_INITDIALOG) return FALSE;
  HWND sizes = GetDlgItem(dialog, IDC_SIZE_LIST);
  for (const SizePreset& preset : SizePresets) {
    SendMessageA(sizes, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(preset.text));
  }
  SendMessageA(sizes, CB_SETCURSEL, kFloppyPresetIndex, 0);
  return TRUE;
}

inline void ClearSplitJob() {
  SplitJob.sourcePath[0] = '\0';
  SplitJob.destFolder[0] = '\0';
  SplitJob.fileSize = 0;
  SplitJob.partSize = kFloppyPartSize;
  SplitJob.partCount = 0;
}

inline void SetText(char (&field)[kPathBufferSize], const std::string& text) {
  ASSERT_LT(text.size(), sizeof field) << text;
  std::snprintf(field, sizeof field, "%s", text.c_str());
}

// A file of `size` bytes that takes no room: the end is set past nothing.
inline bool MakeSizedFile(const std::string& path, unsigned long long size) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD returned = 0;
  DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
  LARGE_INTEGER end;
  end.QuadPart = static_cast<LONGLONG>(size);
  const bool ok = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
  CloseHandle(file);
  return ok;
}

struct AnsweredBox {
  MessageBoxInfo info;
  HWND owner = nullptr;
};

// Answers this process's message boxes in order with the scripted buttons (then
// with their first button) and keeps what each box was and who owned it.
class BoxScript {
 public:
  explicit BoxScript(std::vector<int> answers = {})
      : answers_(std::move(answers)),
        answerer_(0, [this](const MessageBoxInfo& box) { return Answer(box); }) {}

  std::vector<AnsweredBox> Seen() {
    std::lock_guard<std::mutex> lock(mutex_);
    return seen_;
  }

 private:
  int Answer(const MessageBoxInfo& box) {
    std::lock_guard<std::mutex> lock(mutex_);
    seen_.push_back({box, GetWindow(box.window, GW_OWNER)});
    const size_t index = seen_.size() - 1;
    if (index < answers_.size()) return answers_[index];
    return box.buttons.empty() ? IDOK : box.buttons.front();
  }

  std::mutex mutex_;
  std::vector<AnsweredBox> seen_;
  std::vector<int> answers_;
  MessageBoxAnswerer answerer_;  // last: its thread stops before the rest goes
};

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InstanceHandle = GetModuleHandleA(nullptr);
    savedSettings_ = AppSettings;
    AppSettings = nullptr;
    ClearSplitJob();
    dialog_ = CreateDialogParamA(InstanceHandle, "PLYX", nullptr, MinimalMainProc, 0);
    ASSERT_NE(dialog_, nullptr);
  }

  void TearDown() override {
    if (dialog_) DestroyWindow(dialog_);
    ClearSplitJob();
    AppSettings = savedSettings_;
  }

  HWND Item(int id) const { return GetDlgItem(dialog_, id); }
  std::string Text(int id) const { return TextOf(Item(id)); }

  // The focus is in the control, or in the edit field of a combo box.
  bool HasFocus(int id) const {
    HWND focus = GetFocus();
    return focus != nullptr && (focus == Item(id) || GetParent(focus) == Item(id));
  }

  bool WholeTextSelected(int id) const {
    HWND control = Item(id);
    const int length = GetWindowTextLengthA(control);
    const LRESULT range = id == IDC_DEST_FOLDER ? SendMessageA(control, CB_GETEDITSEL, 0, 0)
                                                : SendMessageA(control, EM_GETSEL, 0, 0);
    return LOWORD(range) == 0 && HIWORD(range) == length;
  }

  HWND dialog_ = nullptr;
  TempDir temp_;

 private:
  Settings* savedSettings_ = nullptr;
};

}  // namespace request_test
