#include "plyx_session.h"

#include <shellapi.h>

#include <cstdlib>

static constexpr DWORD kTimeoutMs = 20000;

std::string PlyxExePath() {
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

::testing::AssertionResult AnswerPlyxBox(const MessageBoxInfo& box, const std::string& text, HWND owner, int answer,
                                         const std::vector<int>& buttons) {
  ::testing::AssertionResult is = IsBox(box, kPlyxTitle, text, owner, buttons);
  return !is || answer == kLeaveOpen ? is : AnswerBox(box, answer);
}

std::vector<HWND> PlyxWindowsOf(DWORD pid) {
  std::vector<HWND> found;
  for (HWND window : WindowsOf(pid)) {
    if (TextOf(window) == kPlyxTitle) found.push_back(window);
  }
  return found;
}

void ExpectHandedOver(ChildProcess& second) {
  bool showedWindow = false;
  DWORD code = 259;
  ASSERT_TRUE(WaitFor([&] {
    showedWindow = showedWindow || !PlyxWindowsOf(second.Pid()).empty();
    return second.WaitForExit(0, &code);
  }, kTimeoutMs)) << "the second copy still runs";
  EXPECT_EQ(code, 0u);
  EXPECT_FALSE(showedWindow) << "the second copy opened a window";
}

void PlyxJourney::SetUp() {
  ASSERT_FALSE(PlyxExePath().empty()) << "no plyx.exe to drive";
  // A run meant for another code page that did not get it would pass with plain names.
  const char* codePage = std::getenv("PLYX_CODE_PAGE");
  if (codePage != nullptr) { ASSERT_EQ(GetACP(), std::strtoul(codePage, nullptr, 10)) << "the ANSI code page"; }
}

ChildProcess& PlyxJourney::Start(const std::string& commandText, const std::string& exe) {
  processes.push_back(std::make_unique<ChildProcess>());
  const std::string program = exe.empty() ? PlyxExePath() : exe;
  EXPECT_TRUE(processes.back()->Start(program, commandText, temp.Path()))
      << "cannot start " << program << ", error " << GetLastError();
  return *processes.back();
}

HWND PlyxJourney::StartMain(const std::string& commandText, const std::string& exe) {
  HWND window = UseMain(Start(commandText, exe));
  EXPECT_NE(window, nullptr) << "no main window for [" << commandText << "]";
  return window;
}

HWND PlyxJourney::UseMain(ChildProcess& process) {
  plyx = &process;
  main = WaitForWindow(process.Pid(), kPlyxTitle, kTimeoutMs);
  // The modal loop shows its dialog (SW_SHOWNORMAL) the first time its queue
  // runs empty, which would undo a minimise or hide that came sooner. Wait for
  // that idle moment, then for the show that follows it.
  if (main && !(process.WaitUntilIdle(kTimeoutMs) && Settle() && Settle())) main = nullptr;
  return main;
}

std::string PlyxJourney::Texts(std::initializer_list<int> ids) const {
  std::string texts, between;
  for (int id : ids) texts += between + Text(id), between = " | ";
  return texts;
}

void PlyxJourney::Type(int id, const std::string& text) {
  // Under Wine, focusing a combo box whose edit field has the focus already
  // makes it report a kill-focus, which would check the old text again.
  if (!HasFocus(Item(id))) Focus(id), WaitForFocus(id);
  SendTo(Item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

bool PlyxJourney::ClickInto(int id) {
  // Under load the first click into a window that has just come up may be
  // lost: click again while the focus has not moved.
  return WaitFor([&] {
    ClickAtCentre(Item(id));
    return WaitFor([&] { return HasFocus(Item(id)); }, 2000);
  }, 20000);
}

void PlyxJourney::ChooseSize(int index) {
  SendTo(Item(IDC_SIZE_LIST), CB_SETCURSEL, index);
  PostMessageA(main, WM_COMMAND, MAKEWPARAM(IDC_SIZE_LIST, CBN_SELCHANGE), reinterpret_cast<LPARAM>(Item(IDC_SIZE_LIST)));
}

bool PlyxJourney::Settle() {
  // A posted EM_SETLIMITTEXT queues behind everything posted before it; once
  // its value reads back, all of that has been handled.
  HWND box = Item(IDC_SOURCE_FILE);
  const LRESULT original = SendTo(box, EM_GETLIMITTEXT);
  if (original == -1) return false;
  PostMessageA(box, EM_SETLIMITTEXT, original + 7919, 0);
  const bool settled = WaitFor([&] { return SendTo(box, EM_GETLIMITTEXT) == original + 7919; });
  SendTo(box, EM_SETLIMITTEXT, original);
  return settled;
}

bool PlyxJourney::Minimise(const std::function<bool()>& minimised) {
  // The modal loop's first show comes when its queue first runs empty, late on
  // a loaded machine, and undoes a minimise that came sooner: minimise again.
  return WaitFor([&] {
    SystemCommand(SC_MINIMIZE);
    return Settle() && Settle() && minimised();
  });
}

bool PlyxJourney::TrayIconShown() const {
  // Modifying nothing succeeds only for an icon that exists.
  NOTIFYICONDATAA probe{};
  probe.cbSize = sizeof probe, probe.hWnd = main, probe.uID = 103;
  return Shell_NotifyIconA(NIM_MODIFY, &probe) != FALSE;
}

void PlyxJourney::CloseAndExpectExitZero(bool byTitleBar) {
  ASSERT_NE(plyx, nullptr);
  byTitleBar ? SystemCommand(SC_CLOSE) : Click(Item(IDC_CLOSE));
  ExpectExitZero();
}

void PlyxJourney::ExpectExitZero() {
  ASSERT_NE(plyx, nullptr);
  DWORD code = 259;
  ASSERT_TRUE(plyx->WaitForExit(kTimeoutMs, &code)) << "PLYX still runs after its close";
  EXPECT_EQ(code, 0u);
}
