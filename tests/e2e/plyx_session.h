// Starts plyx.exe as a user would and drives it from outside. Every journey is
// a PlyxJourney: a fresh temporary folder, the registry key deleted before
// and after, and every copy it started ended when it ends.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "resource_ids.h"
#include "support/child_process.h"
#include "support/files.h"
#include "support/registry.h"
#include "support/ui_driver.h"

constexpr DWORD kTimeoutMs = 20000;

// "" when this tree builds none.
inline std::string PlyxExePath() {
  std::string path;
#ifdef PLYX_EXE_PATH
  path = PLYX_EXE_PATH;
#endif
  // Another copy to drive, such as the unpacked release.
  if (const char* chosen = std::getenv("PLYX_EXE")) path = chosen;
  // A host path (/work/...); Wine sees the host's root as Z:
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  for (char& c : path) c = c == '/' ? '\\' : c;
  return path;
}

// A box of PLYX's (its title) with `text`, `owner` and `buttons`, answered
// with `answer` unless that is kLeaveOpen.
constexpr int kLeaveOpen = 0;
inline ::testing::AssertionResult AnswerPlyxBox(const MessageBoxInfo& box, const std::string& text, HWND owner,
                                                int answer, const std::vector<int>& buttons = {IDOK}) {
  ::testing::AssertionResult is = IsBox(box, kPlyxTitle, text, owner, buttons);
  return !is || answer == kLeaveOpen ? is : AnswerBox(box, answer);
}

// The windows of `pid` that bear PLYX's title, visible or not.
inline std::vector<HWND> PlyxWindowsOf(DWORD pid) {
  std::vector<HWND> found;
  for (HWND window : WindowsOf(pid)) {
    if (TextOf(window) == kPlyxTitle) found.push_back(window);
  }
  return found;
}

// A second copy ends with 0 and never opens a window of its own.
inline void ExpectHandedOver(ChildProcess& second) {
  bool showedWindow = false;
  DWORD code = 259;
  ASSERT_TRUE(WaitFor(
      [&] {
        showedWindow = showedWindow || !PlyxWindowsOf(second.Pid()).empty();
        return second.WaitForExit(0, &code);
      },
      kTimeoutMs))
      << "the second copy still runs";
  EXPECT_EQ(code, 0u);
  EXPECT_FALSE(showedWindow) << "the second copy opened a window";
}

class PlyxJourney : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(PlyxExePath().empty()) << "no plyx.exe to drive";
    // A run meant for another code page that did not get it would pass with plain
    // names. This driver's own is UTF-8 (its manifest): the locale's is asked.
    const char* codePage = std::getenv("PLYX_CODE_PAGE");
    char locale[8] = "";
    GetLocaleInfoA(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE, locale, sizeof locale);
    if (codePage != nullptr) { ASSERT_STREQ(locale, codePage) << "the ANSI code page of the locale"; }
  }

  ChildProcess& Start(const std::string& commandText, const std::string& exe = std::string()) {
    processes.push_back(std::make_unique<ChildProcess>());
    const std::string program = exe.empty() ? PlyxExePath() : exe;
    EXPECT_TRUE(processes.back()->Start(program, commandText, temp.Path()))
        << "cannot start " << program << ", error " << GetLastError();
    return *processes.back();
  }
  // Waits for the main window of `process` and for it to take input: Main() from then on.
  HWND UseMain(ChildProcess& process) {
    plyx = &process;
    main = WaitForWindow(process.Pid(), kPlyxTitle, kTimeoutMs);
    // The modal loop shows its dialog the first time its queue runs empty,
    // undoing a minimise or hide that came sooner: wait for that, and the show.
    if (main && !(process.WaitUntilIdle(kTimeoutMs) && Settle() && Settle())) main = nullptr;
    return main;
  }
  HWND StartMain(const std::string& commandText, const std::string& exe = std::string()) {
    HWND window = UseMain(Start(commandText, exe));
    EXPECT_NE(window, nullptr) << "no main window for [" << commandText << "]";
    return window;
  }

  HWND Main() const { return main; }
  DWORD Pid() const { return plyx ? plyx->Pid() : 0; }
  HWND Item(int id) const { return GetDlgItem(main, id); }
  std::string Text(int id) const { return TextOf(Item(id)); }
  // The texts of the controls `ids`, joined by " | ".
  std::string Texts(std::initializer_list<int> ids) const {
    std::string texts, between;
    for (int id : ids) texts += between + Text(id), between = " | ";
    return texts;
  }
  // Focus (unless it has it), then WM_SETTEXT; leaving the field later sends its kill-focus.
  void Type(int id, const std::string& text) {
    // Under Wine, focusing a combo box whose edit field has the focus already
    // makes it report a kill-focus, which would check the old text again.
    if (!HasFocus(Item(id))) Focus(id), WaitForFocus(id);
    SendTo(Item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  void Focus(int id) { PostMessageA(main, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(id)), TRUE); }
  bool WaitForFocus(int id) const {
    return WaitFor([&] { return HasFocus(Item(id)); }, 5000);
  }
  void ChooseSize(int index) {
    SendTo(Item(IDC_SIZE_LIST), CB_SETCURSEL, index);
    PostMessageA(main, WM_COMMAND, MAKEWPARAM(IDC_SIZE_LIST, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(Item(IDC_SIZE_LIST)));
  }
  // Returns once PLYX has handled every message posted to it before the call:
  // a posted EM_SETLIMITTEXT queues behind them, and then its value reads back.
  bool Settle() {
    HWND box = Item(IDC_SOURCE_FILE);
    const LRESULT original = SendTo(box, EM_GETLIMITTEXT);
    if (original == -1) return false;
    PostMessageA(box, EM_SETLIMITTEXT, original + 7919, 0);
    const bool settled = WaitFor([&] { return SendTo(box, EM_GETLIMITTEXT) == original + 7919; });
    SendTo(box, EM_SETLIMITTEXT, original);
    return settled;
  }
  MessageBoxInfo NextMessageBox(DWORD timeoutMs = 15000) const { return WaitForMessageBox(Pid(), "", timeoutMs); }
  // Modifying nothing succeeds only for an icon that exists.
  bool TrayIconShown() const {
    NOTIFYICONDATAA probe{};
    probe.cbSize = sizeof probe, probe.hWnd = main, probe.uID = 103;
    return Shell_NotifyIconA(NIM_MODIFY, &probe) != FALSE;
  }
  // Sent, not posted: Wine often undoes a posted SC_MINIMIZE from another process.
  void SystemCommand(WPARAM command) { SendTo(main, WM_SYSCOMMAND, command); }
  // Minimises as the title bar does until `minimised` holds once PLYX has
  // settled: the modal loop's first show, late under load, undoes a minimise.
  bool Minimise(const std::function<bool()>& minimised) {
    return WaitFor([&] {
      SystemCommand(SC_MINIMIZE);
      return Settle() && Settle() && minimised();
    });
  }
  void CloseAndExpectExitZero(bool byTitleBar = false) {
    ASSERT_NE(plyx, nullptr);
    byTitleBar ? SystemCommand(SC_CLOSE) : Click(Item(IDC_CLOSE));
    ExpectExitZero();
  }
  void ExpectExitZero() {
    ASSERT_NE(plyx, nullptr);
    DWORD code = 259;
    ASSERT_TRUE(plyx->WaitForExit(kTimeoutMs, &code)) << "PLYX still runs after its close";
    EXPECT_EQ(code, 0u);
  }

  PlyxKey key;
  TempFolder temp;

 private:
  std::vector<std::unique_ptr<ChildProcess>> processes;  // ended by force first when the journey ends
  ChildProcess* plyx = nullptr;
  HWND main = nullptr;
};
