// Starts plyx.exe as a user would and reaches into it from outside: its main
// window by title and process, controls by ID, the focus, keys, the tray icon,
// its registry key and its exit code. Every journey is a PlyxJourney.
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

// Windows path of the plyx.exe under test ("" when this tree builds none).
std::string PlyxExePath();

// HKCU\Software\Plyx, as the journeys preset and inspect it.
namespace plyx_registry {
bool SetDword(const char* name, DWORD value);
bool SetText(const char* name, const std::string& text);
std::string NewestHistoryEntry();  // MRUD<MRUDDefault>
}  // namespace plyx_registry

// One started process, ended by force in the destructor if still running.
class PlyxProcess {
 public:
  PlyxProcess() = default;
  ~PlyxProcess();
  PlyxProcess(const PlyxProcess&) = delete;
  // Command line: the exe in quotes, a blank, then `commandText` unchanged.
  bool Start(const std::string& exe, const std::string& commandText, const std::string& folder);
  DWORD pid() const { return info_.dwProcessId; }
  bool Running() const;
  bool WaitUntilIdle(DWORD timeoutMs) const { return WaitForInputIdle(info_.hProcess, timeoutMs) == 0; }
  // False when it is still running after `timeoutMs`.
  bool WaitForExit(DWORD timeoutMs, DWORD* exitCode) const;

 private:
  PROCESS_INFORMATION info_{};
};

// The top-level windows of `pid` that carry PLYX's title (visible or not).
std::vector<HWND> PlyxTitledWindows(DWORD pid);
// A second copy ends with 0 and never shows a window of its own.
void ExpectHandedOver(PlyxProcess& second);

// SendMessage that gives up after 10 s should PLYX hang (-1 then).
LRESULT SendTo(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

// Bytes whose every 64 KiB block differs, so a part cut at the wrong place shows.
std::string PatternBytes(size_t size);
std::string PartName(const std::string& name, unsigned number);  // name.001
bool FileExistsAt(const std::string& path);
// Parts 1..`parts` hold `source` cut at `partSize`, and there is no part after
// them; with `batch`, the merge batch is byte for byte as composed here and
// rebuilds the source under cmd.exe.
void ExpectParts(const std::string& folder, const std::string& name, const std::string& source,
                 size_t partSize, unsigned parts, bool batch = false);

class PlyxJourney : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts plyx.exe (or `exe`); the process is ended by force at teardown.
  PlyxProcess& Start(const std::string& commandText, const std::string& exe = std::string());
  // Waits for the main window of `process` and for PLYX to be ready for input;
  // that window then becomes main().
  HWND UseMain(PlyxProcess& process);
  HWND StartMain(const std::string& commandText, const std::string& exe = std::string());
  // Makes `process` the one whose message boxes are awaited, before its window shows.
  void Track(PlyxProcess& process) { plyx_ = &process; }

  HWND main() const { return main_; }
  DWORD pid() const { return plyx_ ? plyx_->pid() : 0; }

  HWND Item(int id) const { return GetDlgItem(main_, id); }
  std::string Text(int id) const { return TextOf(Item(id)); }
  // Puts the focus into the field and sets its text (WM_SETTEXT); leaving it
  // later sends its kill-focus notification.
  void Type(int id, const std::string& text);
  // Moves the focus the way Tab does (posted WM_NEXTDLGCTL).
  void Focus(int id);
  // True when the focus is on the control or on its child (a combo's edit field).
  bool HasFocus(int id) const;
  bool WaitForFocus(int id) const { return WaitFor([&] { return HasFocus(id); }, 5000); }
  void Click(int id) { PostMessageA(Item(id), BM_CLICK, 0, 0); }
  // Picks an entry of the size list as the list itself reports it.
  void ChooseSize(int index);
  int SizeIndex() const { return static_cast<int>(SendTo(Item(IDC_SIZE_LIST), CB_GETCURSEL)); }
  // Whether the whole text of an edit box or of a combo's edit field is selected.
  bool WholeTextSelected(int id) const;

  // Returns once PLYX has handled every message posted to it before the call.
  bool Settle();
  // The first message box of PLYX (whose text holds `textPart`), described; empty on timeout.
  MessageBoxInfo NextMessageBox(DWORD timeoutMs = 15000) const { return MessageBoxWith("", timeoutMs); }
  MessageBoxInfo MessageBoxWith(const std::string& textPart, DWORD timeoutMs = 15000) const;
  // PLYX records the destination after its outcome box is answered, so this waits for it.
  bool WaitForNewestHistoryEntry(const std::string& expected) const {
    return WaitFor([&] { return plyx_registry::NewestHistoryEntry() == expected; });
  }
  // Whether the notification area holds PLYX's icon 103 for the main window.
  bool TrayIconShown() const;
  // WM_SYSCOMMAND, sent as the title bar sends it: under Wine a posted
  // SC_MINIMIZE from another process is often undone before it shows.
  void SystemCommand(WPARAM command) { SendTo(main_, WM_SYSCOMMAND, command); }
  // Closes PLYX with Close (or the title bar's close) and expects exit code 0.
  void CloseAndExpectExitZero(bool byTitleBar = false);

  TempDir temp_;

 private:
  std::vector<std::unique_ptr<PlyxProcess>> processes_;
  PlyxProcess* plyx_ = nullptr;
  HWND main_ = nullptr;
};
