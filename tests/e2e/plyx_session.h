// Starts plyx.exe as a user would and drives it from outside, in a fresh folder and registry key.
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

// A box of PLYX's with `text`, `owner` and `buttons`, answered with `answer` unless kLeaveOpen.
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
    // A run that missed its code page would pass with plain names; ours is UTF-8, so ask the locale.
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
  // Focus, then WM_SETTEXT; not focused again: Wine's combo box would report a kill-focus, checking the old text.
  void Type(int id, const std::string& text) {
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
  // Returns once PLYX has handled what was posted before: a posted EM_SETLIMITTEXT queues behind it.
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
  // The next box is PLYX's, owned by the main window, and is answered.
  ::testing::AssertionResult AnswerNext(const std::string& text, int answer = IDOK,
                                        const std::vector<int>& buttons = {IDOK}) const {
    return AnswerPlyxBox(NextMessageBox(30000), text, main, answer, buttons);
  }
  HWND WindowOfClass(const char* name, DWORD timeoutMs = 10000) const {
    return WaitForWindow(
        Pid(), [&](HWND w) { return ClassOf(w) == name; }, timeoutMs);
  }
  HWND OpenAbout() const {
    Click(Item(IDC_ABOUT));
    return WaitForWindow(Pid(), [&](HWND w) { return w != main && TextOf(w) == kPlyxTitle; });
  }
  // The field shows `text`, once PLYX has put it there.
  ::testing::AssertionResult Shows(int id, const std::string& text) const {
    if (WaitFor([&] { return Text(id) == text; })) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "shows " << Text(id) << ", not " << text;
  }
  // Modifying nothing succeeds only for an icon that exists.
  bool TrayIconShown() const {
    NOTIFYICONDATAA probe{};
    probe.cbSize = sizeof probe, probe.hWnd = main, probe.uID = 103;
    return Shell_NotifyIconA(NIM_MODIFY, &probe) != FALSE;
  }
  // Sent, not posted: Wine often undoes a posted SC_MINIMIZE from another process.
  void SystemCommand(WPARAM command) { SendTo(main, WM_SYSCOMMAND, command); }
  // Again until `minimised` holds once settled: the modal loop's first show, late under load, undoes one.
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
