// Starts plyx.exe as a user would and drives it from outside. Every journey is a PlyxJourney.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "resource_ids.h"
#include "support/temp_dir.h"
#include "support/ui_driver.h"

// Written out here rather than taken from the product, so a changed title is caught.
extern const char kPlyxTitle[];

std::string PlyxExePath();  // "" when this tree builds none

// HKCU\Software\Plyx, as the journeys preset and inspect it.
namespace plyx_registry {
bool SetDword(const char* name, DWORD value);
bool SetText(const char* name, const std::string& text);
std::string NewestHistoryEntry();  // MRUD<MRUDDefault>
}  // namespace plyx_registry

// Ended by force in the destructor if still running.
class PlyxProcess {
 public:
  PlyxProcess() = default;
  ~PlyxProcess();
  PlyxProcess(const PlyxProcess&) = delete;
  // Command line: the exe in quotes, a blank, then `commandText` unchanged.
  bool Start(const std::string& exe, const std::string& commandText, const std::string& folder);
  DWORD pid() const { return info_.dwProcessId; }
  bool Running() const { return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }
  bool WaitUntilIdle(DWORD timeoutMs) const { return WaitForInputIdle(info_.hProcess, timeoutMs) == 0; }
  bool WaitForExit(DWORD timeoutMs, DWORD* exitCode) const;

 private:
  PROCESS_INFORMATION info_{};
};

std::vector<HWND> PlyxTitledWindows(DWORD pid);  // visible or not
// A second copy ends with 0 and never shows a window of its own.
void ExpectHandedOver(PlyxProcess& second);

// -1 when PLYX hangs for 10 s.
LRESULT SendTo(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

std::string PatternBytes(size_t size);  // every 64 KiB block differs
std::string PartName(const std::string& name, unsigned number);  // name.001
bool FileExistsAt(const std::string& path);
// Parts 1..`parts` hold `source` cut at `partSize`, and no part follows; with
// `batch`, the merge batch rebuilds the source under cmd.exe.
void ExpectParts(const std::string& folder, const std::string& name, const std::string& source,
                 size_t partSize, unsigned parts, bool batch = false);

class PlyxJourney : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  PlyxProcess& Start(const std::string& commandText, const std::string& exe = std::string());
  // Waits for the main window of `process` and for it to take input: main() from then on.
  HWND UseMain(PlyxProcess& process);
  HWND StartMain(const std::string& commandText, const std::string& exe = std::string());
  void Track(PlyxProcess& process) { plyx_ = &process; }

  HWND main() const { return main_; }
  DWORD pid() const { return plyx_ ? plyx_->pid() : 0; }

  HWND Item(int id) const { return GetDlgItem(main_, id); }
  std::string Text(int id) const { return TextOf(Item(id)); }
  // Focus, then WM_SETTEXT; leaving the field later sends its kill-focus.
  void Type(int id, const std::string& text);
  void Focus(int id);
  bool HasFocus(int id) const;
  bool WaitForFocus(int id) const { return WaitFor([&] { return HasFocus(id); }, 5000); }
  void Click(int id) { PostMessageA(Item(id), BM_CLICK, 0, 0); }
  void ChooseSize(int index);
  int SizeIndex() const { return static_cast<int>(SendTo(Item(IDC_SIZE_LIST), CB_GETCURSEL)); }
  bool WholeTextSelected(int id) const;

  // Returns once PLYX has handled every message posted to it before the call.
  bool Settle();
  // PLYX's first message box (whose text holds `textPart`); empty on timeout.
  MessageBoxInfo NextMessageBox(DWORD timeoutMs = 15000) const { return MessageBoxWith("", timeoutMs); }
  MessageBoxInfo MessageBoxWith(const std::string& textPart, DWORD timeoutMs = 15000) const;
  // Recorded once the outcome box is answered.
  bool WaitForNewestHistoryEntry(const std::string& expected) const {
    return WaitFor([&] { return plyx_registry::NewestHistoryEntry() == expected; });
  }
  bool TrayIconShown() const;
  // Sent, not posted: Wine often undoes a posted SC_MINIMIZE from another process.
  void SystemCommand(WPARAM command) { SendTo(main_, WM_SYSCOMMAND, command); }
  void CloseAndExpectExitZero(bool byTitleBar = false);

  TempDir temp_;

 private:
  std::vector<std::unique_ptr<PlyxProcess>> processes_;
  PlyxProcess* plyx_ = nullptr;
  HWND main_ = nullptr;
};
