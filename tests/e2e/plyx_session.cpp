#include "plyx_session.h"

#include <shellapi.h>

#include <cstdio>

const char kPlyxTitle[] = "PLYX - Quorvant Ver 1.4";

static constexpr char kPlyxKey[] = "Software\\Plyx";
static constexpr DWORD kTimeoutMs = 20000;

std::string PlyxExePath() {
  std::string path;
#ifdef PLYX_EXE_PATH
  path = PLYX_EXE_PATH;  // a host path (/work/...); Wine sees the host's root as Z:
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  for (char& c : path) c = c == '/' ? '\\' : c;
#endif
  return path;
}

namespace plyx_registry {

bool SetDword(const char* name, DWORD value) {
  return RegSetKeyValueA(HKEY_CURRENT_USER, kPlyxKey, name, REG_DWORD, &value, sizeof value) == ERROR_SUCCESS;
}

bool SetText(const char* name, const std::string& text) {
  return RegSetKeyValueA(HKEY_CURRENT_USER, kPlyxKey, name, REG_SZ, text.c_str(),
                         static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

std::string NewestHistoryEntry() {
  DWORD head = 0, size = sizeof head;
  char name[16], text[MAX_PATH + 1] = {};
  if (RegGetValueA(HKEY_CURRENT_USER, kPlyxKey, "MRUDDefault", RRF_RT_REG_DWORD, nullptr, &head, &size)) return "";
  std::snprintf(name, sizeof name, "MRUD%lu", static_cast<unsigned long>(head));
  size = sizeof text;
  RegGetValueA(HKEY_CURRENT_USER, kPlyxKey, name, RRF_RT_REG_SZ, nullptr, text, &size);
  return text;
}

}  // namespace plyx_registry

PlyxProcess::~PlyxProcess() {
  if (Running()) TerminateProcess(info_.hProcess, 1), WaitForSingleObject(info_.hProcess, 10000);
  if (info_.hThread) CloseHandle(info_.hThread), CloseHandle(info_.hProcess);
}

bool PlyxProcess::Start(const std::string& exe, const std::string& commandText, const std::string& folder) {
  std::string line = "\"" + exe + "\" " + commandText;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  // Right after a copy was ended by force, Wine may refuse to map the image's
  // shared section for a moment (ERROR_INTERNAL_ERROR); it clears by itself.
  bool started = false;
  WaitFor([&] {
    started = CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                             folder.empty() ? nullptr : folder.c_str(), &startup, &info_) != FALSE;
    return started || GetLastError() != ERROR_INTERNAL_ERROR;
  });
  return started;
}

bool PlyxProcess::WaitForExit(DWORD timeoutMs, DWORD* exitCode) const {
  return info_.hProcess && WaitFor([&] { return !Running(); }, timeoutMs) &&
         GetExitCodeProcess(info_.hProcess, exitCode);
}

std::vector<HWND> PlyxTitledWindows(DWORD pid) {
  std::vector<HWND> found;
  for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, nullptr, kPlyxTitle));) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == pid) found.push_back(window);
  }
  return found;
}

void ExpectHandedOver(PlyxProcess& second) {
  bool showedWindow = false;
  DWORD code = 259;
  ASSERT_TRUE(WaitFor([&] {
    showedWindow = showedWindow || !PlyxTitledWindows(second.pid()).empty();
    return second.WaitForExit(0, &code);
  }, kTimeoutMs)) << "the second copy still runs";
  EXPECT_EQ(code, 0u);
  EXPECT_FALSE(showedWindow) << "the second copy opened a window";
}

std::string PatternBytes(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + (i >> 16) * 13 + (i >> 20)) & 0xFF);
  return bytes;
}

std::string PartName(const std::string& name, unsigned number) {
  return name + "." + std::to_string(1000 + number).substr(1);
}

bool FileExistsAt(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void ExpectParts(const std::string& folder, const std::string& name, const std::string& source,
                 size_t partSize, unsigned parts, bool batch) {
  std::string bytes;
  for (unsigned i = 1; i <= parts; ++i) {
    ASSERT_TRUE(ReadWholeFile(folder + PartName(name, i), &bytes)) << PartName(name, i);
    EXPECT_TRUE(bytes == source.substr((i - 1) * partSize, partSize)) << PartName(name, i) << ", size " << bytes.size();
  }
  EXPECT_FALSE(FileExistsAt(folder + PartName(name, parts + 1)));
  if (!batch) return;
  PlyxProcess cmd;  // the merge batch rebuilds the source
  DWORD code = 1;
  ASSERT_TRUE(cmd.Start("cmd.exe", "/c \"" + name + ".bat\" >NUL", folder));
  ASSERT_TRUE(cmd.WaitForExit(60000, &code) && code == 0) << "the batch ended with " << code;
  ASSERT_TRUE(ReadWholeFile(folder + name, &bytes));
  EXPECT_TRUE(bytes == source) << "joined " << bytes.size() << " bytes of " << source.size();
}

void PlyxJourney::SetUp() {
  ASSERT_FALSE(PlyxExePath().empty()) << "no plyx.exe to drive";
  RegDeleteTreeA(HKEY_CURRENT_USER, kPlyxKey);
}

void PlyxJourney::TearDown() {
  // Ended by force first, so a failed journey cannot make the next start a second copy.
  processes_.clear();
  RegDeleteTreeA(HKEY_CURRENT_USER, kPlyxKey);
}

PlyxProcess& PlyxJourney::Start(const std::string& commandText, const std::string& exe) {
  processes_.push_back(std::make_unique<PlyxProcess>());
  const std::string program = exe.empty() ? PlyxExePath() : exe;
  EXPECT_TRUE(processes_.back()->Start(program, commandText, temp_.path()))
      << "cannot start " << program << ", error " << GetLastError();
  return *processes_.back();
}

HWND PlyxJourney::StartMain(const std::string& commandText, const std::string& exe) {
  HWND window = UseMain(Start(commandText, exe));
  EXPECT_NE(window, nullptr) << "no main window for [" << commandText << "]";
  return window;
}

HWND PlyxJourney::UseMain(PlyxProcess& process) {
  plyx_ = &process;
  main_ = WaitForTopLevel(process.pid(), kPlyxTitle, kTimeoutMs);
  // The modal loop shows its dialog (SW_SHOWNORMAL) the first time its queue
  // runs empty, which would undo a minimise or hide that came sooner. Wait for
  // that idle moment, then for the show that follows it. A second round covers
  // a loaded machine, where the marker can be handled before the first idle.
  if (main_ && !(process.WaitUntilIdle(kTimeoutMs) && Settle() && Settle())) main_ = nullptr;
  return main_;
}

LRESULT SendTo(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 10000, &result)
             ? static_cast<LRESULT>(result) : -1;
}

void PlyxJourney::Type(int id, const std::string& text) {
  Focus(id), WaitForFocus(id);
  SendTo(Item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void PlyxJourney::Focus(int id) { PostMessageA(main_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(id)), TRUE); }

bool PlyxJourney::HasFocus(int id) const {
  HWND focus = FocusedControl(main_);
  return focus && Item(id) && (focus == Item(id) || GetParent(focus) == Item(id));
}

void PlyxJourney::ChooseSize(int index) {
  SendTo(Item(IDC_SIZE_LIST), CB_SETCURSEL, index);
  PostMessageA(main_, WM_COMMAND, MAKEWPARAM(IDC_SIZE_LIST, CBN_SELCHANGE), reinterpret_cast<LPARAM>(Item(IDC_SIZE_LIST)));
}

bool PlyxJourney::WholeTextSelected(int id) const {
  const LRESULT range = SendTo(Item(id), ClassOf(Item(id)) == "ComboBox" ? CB_GETEDITSEL : EM_GETSEL);
  return LOWORD(range) == 0 && HIWORD(range) == Text(id).size();
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

MessageBoxInfo PlyxJourney::MessageBoxWith(const std::string& textPart, DWORD timeoutMs) const {
  HWND box = WaitForMessageBox(pid(), textPart, timeoutMs);
  if (!box) return MessageBoxInfo();
  MessageBoxInfo info = DescribeMessageBox(box);
  // Another process's icon handles differ from ours under Wine: tell it by its
  // pixels, once the box has painted them.
  if (info.icon == BoxIcon::kNone) {
    WaitFor([&] { return (info.icon = IconKindOnScreen(box)) != BoxIcon::kNone; }, 2000);
  }
  return info;
}

bool PlyxJourney::TrayIconShown() const {
  // Modifying nothing succeeds only for an icon that exists.
  NOTIFYICONDATAA probe{};
  probe.cbSize = sizeof probe, probe.hWnd = main_, probe.uID = 103;
  return Shell_NotifyIconA(NIM_MODIFY, &probe) != FALSE;
}

void PlyxJourney::CloseAndExpectExitZero(bool byTitleBar) {
  ASSERT_NE(plyx_, nullptr);
  byTitleBar ? SystemCommand(SC_CLOSE) : Click(IDC_CLOSE);
  DWORD code = 259;
  ASSERT_TRUE(plyx_->WaitForExit(kTimeoutMs, &code)) << "PLYX still runs after its close";
  EXPECT_EQ(code, 0u);
}
