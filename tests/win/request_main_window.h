// The real "PLYX" template behind a minimal procedure, a clean request, and a
// script of answers for the message boxes the steps show.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

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

constexpr char kTitle[] = "PLYX - Quorvant Ver 1.4";

// Fills the size list as the main dialog's initialisation does; nothing else.
inline INT_PTR CALLBACK MinimalMainProc(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message != WM_INITDIALOG) return FALSE;
  for (const SizePreset& preset : SizePresets)
    SendDlgItemMessageA(dialog, IDC_SIZE_LIST, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(preset.text));
  SendDlgItemMessageA(dialog, IDC_SIZE_LIST, CB_SETCURSEL, kFloppyPresetIndex, 0);
  return TRUE;
}

// A file of `size` bytes; Wine's Unix file system leaves the unwritten part sparse.
inline bool MakeSizedFile(const std::string& path, unsigned long long size) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  const LARGE_INTEGER end = {{static_cast<DWORD>(size), static_cast<LONG>(size >> 32)}};
  const bool ok = file != INVALID_HANDLE_VALUE && SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
  return CloseHandle(file) && ok;
}

struct AnsweredBox {
  MessageBoxInfo info;
  HWND owner;
};

// Answers this process's message boxes in order with the scripted buttons (then
// with each box's first button) and keeps what each box was and who owned it.
class BoxScript {
 public:
  explicit BoxScript(std::vector<int> answers = {})
      : answers_(std::move(answers)), answerer_(0, [this](const MessageBoxInfo& box) {
          std::lock_guard<std::mutex> lock(mutex_);
          seen_.push_back({box, GetWindow(box.window, GW_OWNER)});
          if (seen_.size() <= answers_.size()) return answers_[seen_.size() - 1];
          return box.buttons.empty() ? IDOK : box.buttons.front();
        }) {}

  std::vector<AnsweredBox> Seen() {
    std::lock_guard<std::mutex> lock(mutex_);
    return seen_;
  }

 private:
  std::mutex mutex_;
  std::vector<AnsweredBox> seen_;
  std::vector<int> answers_;
  MessageBoxAnswerer answerer_;  // last: its thread stops before the rest goes
};

inline void ExpectBox(const AnsweredBox& box, const std::string& text, BoxIcon icon, std::vector<int> buttons,
                      HWND owner) {
  EXPECT_EQ(box.info.caption + " | " + box.info.text, kTitle + (" | " + text));
  EXPECT_EQ(box.info.icon, icon) << text;
  EXPECT_EQ(box.info.buttons, buttons) << text;
  EXPECT_EQ(box.owner, owner) << text;
}

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InstanceHandle = GetModuleHandleA(nullptr);
    AppSettings = nullptr;
    SplitJob.sourcePath[0] = SplitJob.destFolder[0] = '\0';
    SplitJob.fileSize = SplitJob.partCount = 0;
    SplitJob.partSize = kFloppyPartSize;
    dialog_ = CreateDialogParamA(InstanceHandle, "PLYX", nullptr, MinimalMainProc, 0);
    ASSERT_NE(dialog_, nullptr);
  }
  void TearDown() override { DestroyWindow(dialog_); }

  HWND Item(int id) const { return GetDlgItem(dialog_, id); }
  std::string Text(int id) const { return TextOf(Item(id)); }
  // In the control, or in the edit field of a combo box.
  bool HasFocus(int id) const { return GetFocus() == Item(id) || GetParent(GetFocus()) == Item(id); }

  HWND dialog_ = nullptr;
  TempDir temp_;
};

}  // namespace request_test
