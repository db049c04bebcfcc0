// Starts plyx.exe as a user would and reaches into it from outside: its main
// window by title and process, controls by ID, the focus, keys, the tray icon,
// its registry key and its exit code. Every journey is a PlyxJourney.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "support/ui_driver.h"

// The caption of PLYX's windows and boxes, written out here rather than taken
// from the product so that a changed title is caught.
extern const char kPlyxTitle[];
extern const char kCustomSizeTitle[];

// Windows path of the plyx.exe under test ("" when this tree builds none).
std::string PlyxExePath();

// HKCU\Software\Plyx, as the journeys preset and inspect it.
namespace plyx_registry {
void DeleteKey();
bool KeyExists();
bool SetDword(const char* name, DWORD value);
bool SetText(const char* name, const std::string& text);
bool GetDword(const char* name, DWORD* value);
std::string GetText(const char* name);
// MRUD<MRUDDefault>: the destination added last.
std::string NewestHistoryEntry();
}  // namespace plyx_registry

// One started process, ended by force in the destructor if still running.
class PlyxProcess {
 public:
  PlyxProcess() = default;
  ~PlyxProcess();
  PlyxProcess(const PlyxProcess&) = delete;
  PlyxProcess& operator=(const PlyxProcess&) = delete;

  // Command line: the exe in quotes, a blank, then `commandText` unchanged.
  bool Start(const std::string& exe, const std::string& commandText, const std::string& folder);
  DWORD pid() const { return info_.dwProcessId; }
  bool Running() const;
  // Until the process waits for input with an empty queue, or `timeoutMs` passes.
  bool WaitUntilIdle(DWORD timeoutMs) const;
  // False when it is still running after `timeoutMs`.
  bool WaitForExit(DWORD timeoutMs, DWORD* exitCode) const;
  void Kill();

 private:
  PROCESS_INFORMATION info_{};
};

// The top-level windows of `pid` that carry PLYX's title (visible or not).
std::vector<HWND> PlyxTitledWindows(DWORD pid);
// PLYX's progress window: the titled dialog of `pid` that has the status line 1028.
HWND FindProgressWindow(DWORD pid);

// The parts and merge batch a split leaves, composed independently of the product.
std::string PartName(const std::string& name, unsigned number);
std::string ExpectedMergeBatch(const std::string& name, unsigned parts);
// Bytes whose every 64 KiB block differs, so a part cut at the wrong place shows.
std::string PatternBytes(size_t size);
// Runs "cmd.exe /c NAME.bat" in `folder` and waits for it; false if it did not end with 0.
bool RunMergeBatch(const std::string& folder, const std::string& name);
bool FileExistsAt(const std::string& path);
// A file of `size` bytes without writing them (sparse on the host's file system).
bool MakeLargeFile(const std::string& path, unsigned long long size);

class PlyxJourney : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts plyx.exe (or `exe`) with `commandText`; the process is ended by force
  // at teardown should the journey not have closed it.
  PlyxProcess& Start(const std::string& commandText, const std::string& exe = std::string());
  // Starts PLYX and waits for its main window, which then becomes main().
  HWND StartMain(const std::string& commandText, const std::string& exe = std::string());
  // Waits for the main window of `process`, which then becomes main(), and
  // for PLYX to be ready for input as a person would see it.
  HWND UseMain(PlyxProcess& process);
  // Makes `process` the one whose message boxes are awaited, before its window shows.
  void Track(PlyxProcess& process) { plyx_ = &process; }

  HWND main() const { return main_; }
  DWORD pid() const { return plyx_ ? plyx_->pid() : 0; }
  PlyxProcess& plyx() { return *plyx_; }

  HWND Item(int id) const { return GetDlgItem(main_, id); }
  std::string Text(int id) const { return TextOf(Item(id)); }
  // WM_SETTEXT, as typing the whole text would leave it.
  void SetText(int id, const std::string& text);
  // Puts the focus into the field and types `text` there; leaving it later
  // (Focus on another control, or a click) sends its kill-focus notification.
  void Type(int id, const std::string& text);
  // Moves the focus inside PLYX the way Tab does (posted WM_NEXTDLGCTL), so
  // the control that loses it gets its kill-focus notification.
  void Focus(int id);
  // True when the focus is on the control or on its child (a combo's edit field).
  bool HasFocus(int id) const;
  bool WaitForFocus(int id, DWORD timeoutMs = 5000) const;
  void Click(int id);
  // Picks an entry of the size list as the list itself reports it.
  void ChooseSize(int index);
  int SizeIndex() const;
  std::vector<std::string> ListItems(int id) const;
  // Selection of an edit box (EM_GETSEL) or of a combo's edit field (CB_GETEDITSEL).
  std::pair<int, int> Selection(int id) const;

  // Returns once PLYX has handled every message posted to it before the call.
  bool Settle();
  // The first message box of PLYX to appear, described; empty text on timeout.
  MessageBoxInfo NextMessageBox(DWORD timeoutMs = 15000) const;
  MessageBoxInfo MessageBoxWith(const std::string& textPart, DWORD timeoutMs = 15000) const;
  // PLYX records the destination after its outcome box is answered, so this waits for it.
  bool WaitForNewestHistoryEntry(const std::string& expected) const;
  // Whether the notification area holds PLYX's icon 103 for the main window.
  bool TrayIconShown() const;
  // WM_SYSCOMMAND to the main window, as its system menu or title bar gives it.
  void SystemCommand(WPARAM command);
  // Closes PLYX with the Close button (or the title bar's close) and expects exit code 0.
  void CloseAndExpectExitZero(bool byTitleBar = false);

  TempDir temp_;

 private:
  std::vector<std::unique_ptr<PlyxProcess>> processes_;
  PlyxProcess* plyx_ = nullptr;
  HWND main_ = nullptr;
};
