// Starts plyx.exe as a user would and drives it from outside. Every journey is
// a PlyxJourney: a fresh temporary folder, the registry key deleted before
// and after, and every copy it started ended when it ends.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "resource_ids.h"
#include "support/child_process.h"
#include "support/files.h"
#include "support/registry.h"
#include "support/ui_driver.h"

std::string PlyxExePath();  // "" when this tree builds none
// A box of PLYX's (its title) with `text`, `owner` and `buttons`, answered
// with `answer` unless that is kLeaveOpen.
constexpr int kLeaveOpen = 0;
::testing::AssertionResult AnswerPlyxBox(const MessageBoxInfo& box, const std::string& text, HWND owner, int answer,
                                         const std::vector<int>& buttons = {IDOK});
// The windows of `pid` that bear PLYX's title, visible or not.
std::vector<HWND> PlyxWindowsOf(DWORD pid);
// A second copy ends with 0 and never opens a window of its own.
void ExpectHandedOver(ChildProcess& second);

class PlyxJourney : public ::testing::Test {
 protected:
  void SetUp() override;

  ChildProcess& Start(const std::string& commandText, const std::string& exe = std::string());
  // Waits for the main window of `process` and for it to take input: Main() from then on.
  HWND UseMain(ChildProcess& process);
  HWND StartMain(const std::string& commandText, const std::string& exe = std::string());

  HWND Main() const { return main; }
  DWORD Pid() const { return plyx ? plyx->Pid() : 0; }
  HWND Item(int id) const { return GetDlgItem(main, id); }
  std::string Text(int id) const { return TextOf(Item(id)); }
  // The texts of the controls `ids`, joined by " | ".
  std::string Texts(std::initializer_list<int> ids) const;
  // Focus (unless it has it), then WM_SETTEXT; leaving the field later sends its kill-focus.
  void Type(int id, const std::string& text);
  void Focus(int id) { PostMessageA(main, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(id)), TRUE); }
  bool WaitForFocus(int id) const { return WaitFor([&] { return HasFocus(Item(id)); }, 5000); }
  // A real click (SendInput) into the field, until it has the focus: unlike a
  // posted BM_CLICK, the focus moves on button-down, before the click acts.
  bool ClickInto(int id);
  void ChooseSize(int index);
  int SizeIndex() const { return static_cast<int>(SendTo(Item(IDC_SIZE_LIST), CB_GETCURSEL)); }
  // Returns once PLYX has handled every message posted to it before the call.
  bool Settle();
  MessageBoxInfo NextMessageBox(DWORD timeoutMs = 15000) const { return WaitForMessageBox(Pid(), "", timeoutMs); }
  bool TrayIconShown() const;
  // Sent, not posted: Wine often undoes a posted SC_MINIMIZE from another process.
  void SystemCommand(WPARAM command) { SendTo(main, WM_SYSCOMMAND, command); }
  // Minimises as the title bar does until `minimised` holds once PLYX has settled.
  bool Minimise(const std::function<bool()>& minimised);
  void CloseAndExpectExitZero(bool byTitleBar = false);
  void ExpectExitZero();

  PlyxKey key;
  TempFolder temp;

 private:
  std::vector<std::unique_ptr<ChildProcess>> processes;  // ended by force first when the journey ends
  ChildProcess* plyx = nullptr;
  HWND main = nullptr;
};
