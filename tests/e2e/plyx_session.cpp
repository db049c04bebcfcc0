#include "plyx_session.h"

#include <shellapi.h>

#include <cstdio>

#include "resource_ids.h"

const char kPlyxTitle[] = "PLYX - Quorvant Ver 1.4";
const char kCustomSizeTitle[] = "Choose Custom File Split Size";

namespace {

constexpr char kPlyxKey[] = "Software\\Plyx";
constexpr DWORD kStartTimeoutMs = 20000;
constexpr DWORD kExitTimeoutMs = 20000;

class RegKey {
 public:
  explicit RegKey(bool create) {
    const LONG result =
        create ? RegCreateKeyExA(HKEY_CURRENT_USER, kPlyxKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                 nullptr, &key_, nullptr)
               : RegOpenKeyExA(HKEY_CURRENT_USER, kPlyxKey, 0, KEY_READ, &key_);
    if (result != ERROR_SUCCESS) key_ = nullptr;
  }
  ~RegKey() {
    if (key_) RegCloseKey(key_);
  }
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

// The build hands over a host path (/work/...); Wine sees the host's root as Z:.
std::string ToWindowsPath(std::string path) {
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

}  // namespace

std::string PlyxExePath() {
#ifdef PLYX_EXE_PATH
  return ToWindowsPath(PLYX_EXE_PATH);
#else
  return std::string();
#endif
}

namespace plyx_registry {

void DeleteKey() { RegDeleteTreeA(HKEY_CURRENT_USER, kPlyxKey); }

bool KeyExists() { return RegKey(false).get() != nullptr; }

bool SetDword(const char* name, DWORD value) {
  RegKey key(true);
  return key.get() && RegSetValueExA(key.get(), name, 0, REG_DWORD,
                                     reinterpret_cast<const BYTE*>(&value),
                                     sizeof value) == ERROR_SUCCESS;
}

bool SetText(const char* name, const std::string& text) {
  RegKey key(true);
  return key.get() &&
         RegSetValueExA(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

bool GetDword(const char* name, DWORD* value) {
  RegKey key(false);
  DWORD size = sizeof *value;
  DWORD type = 0;
  return key.get() &&
         RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(value),
                          &size) == ERROR_SUCCESS &&
         type == REG_DWORD;
}

std::string GetText(const char* name) {
  RegKey key(false);
  char buffer[MAX_PATH + 1] = {};
  DWORD size = MAX_PATH;
  if (!key.get() || RegQueryValueExA(key.get(), name, nullptr, nullptr,
                                     reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS) {
    return std::string();
  }
  return buffer;  // stops at the terminator; the rest of the 260 bytes means nothing
}

std::string NewestHistoryEntry() {
  DWORD head = 0;
  if (!GetDword("MRUDDefault", &head)) return std::string();
  char name[16];
  std::snprintf(name, sizeof name, "MRUD%lu", static_cast<unsigned long>(head));
  return GetText(name);
}

}  // namespace plyx_registry

PlyxProcess::~PlyxProcess() {
  Kill();
  if (info_.hThread) CloseHandle(info_.hThread);
  if (info_.hProcess) CloseHandle(info_.hProcess);
}

bool PlyxProcess::Start(const std::string& exe, const std::string& commandText,
                        const std::string& folder) {
  std::string line = "\"" + exe + "\" " + commandText;
  std::vector<char> writable(line.begin(), line.end());
  writable.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  // Right after a copy was ended by force, Wine may refuse to map the image's
  // shared section for a moment (ERROR_INTERNAL_ERROR); it clears by itself.
  bool started = false;
  WaitFor([&] {
    started = CreateProcessA(nullptr, writable.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             folder.empty() ? nullptr : folder.c_str(), &startup, &info_) != FALSE;
    return started || GetLastError() != ERROR_INTERNAL_ERROR;
  }, 10000);
  return started;
}

bool PlyxProcess::Running() const {
  return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

bool PlyxProcess::WaitUntilIdle(DWORD timeoutMs) const {
  return info_.hProcess && WaitForInputIdle(info_.hProcess, timeoutMs) == 0;
}

bool PlyxProcess::WaitForExit(DWORD timeoutMs, DWORD* exitCode) const {
  if (!info_.hProcess) return false;
  if (!WaitFor([&] { return !Running(); }, timeoutMs)) return false;
  GetExitCodeProcess(info_.hProcess, exitCode);
  return true;
}

void PlyxProcess::Kill() {
  if (!Running()) return;
  TerminateProcess(info_.hProcess, 1);
  WaitForSingleObject(info_.hProcess, 10000);
}

namespace {

struct TitledSearch {
  DWORD pid;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTitled(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<TitledSearch*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->pid && TextOf(window) == kPlyxTitle) search->found.push_back(window);
  return TRUE;
}

}  // namespace

std::vector<HWND> PlyxTitledWindows(DWORD pid) {
  TitledSearch search{pid, {}};
  EnumWindows(CollectTitled, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND FindProgressWindow(DWORD pid) {
  for (HWND window : PlyxTitledWindows(pid)) {
    if (IsWindowVisible(window) && GetDlgItem(window, IDC_PROGRESS_STATUS) &&
        GetDlgItem(window, IDC_PROGRESS_CANCEL)) {
      return window;
    }
  }
  return nullptr;
}

std::string PartName(const std::string& name, unsigned number) {
  char suffix[8];
  std::snprintf(suffix, sizeof suffix, ".%03u", number);
  return name + suffix;
}

std::string ExpectedMergeBatch(const std::string& name, unsigned parts) {
  std::string text = std::string("@echo off\r\necho ") + kPlyxTitle + "\r\necho Merging Files ....\r\n";
  text += "copy /b \"" + PartName(name, 1) + "\" \"" + name + "\"\r\n";
  for (unsigned i = 2; i <= parts; ++i) {
    text += "copy /b \"" + name + "\"+\"" + PartName(name, i) + "\" \"" + name + "\"\r\n";
  }
  text += "echo " + name + " Successfully Merged !!!\r\necho Thank you for using PLYX";
  return text;
}

std::string PatternBytes(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) {
    bytes[i] = static_cast<char>((i * 7 + (i >> 16) * 13 + (i >> 20)) & 0xFF);
  }
  return bytes;
}

bool RunMergeBatch(const std::string& folder, const std::string& name) {
  std::string line = "cmd.exe /c \"" + name + ".bat\" >NUL";
  std::vector<char> writable(line.begin(), line.end());
  writable.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, writable.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.c_str(), &startup, &info)) {
    return false;
  }
  const bool ended = WaitForSingleObject(info.hProcess, 60000) == WAIT_OBJECT_0;
  DWORD code = 1;
  if (ended) {
    GetExitCodeProcess(info.hProcess, &code);
  } else {
    TerminateProcess(info.hProcess, 1);
  }
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return ended && code == 0;
}

bool FileExistsAt(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool MakeLargeFile(const std::string& path, unsigned long long size) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER end;
  end.QuadPart = static_cast<LONGLONG>(size);
  const bool ok = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
  CloseHandle(file);
  return ok;
}

void PlyxJourney::SetUp() {
  ASSERT_FALSE(PlyxExePath().empty()) << "this build tree has no plyx.exe to drive";
  plyx_registry::DeleteKey();
}

void PlyxJourney::TearDown() {
  // Ended by force first, so that a failed journey cannot turn the next
  // journey's start into a second copy.
  processes_.clear();
  plyx_registry::DeleteKey();
}

PlyxProcess& PlyxJourney::Start(const std::string& commandText, const std::string& exe) {
  processes_.push_back(std::make_unique<PlyxProcess>());
  PlyxProcess& process = *processes_.back();
  EXPECT_TRUE(process.Start(exe.empty() ? PlyxExePath() : exe, commandText, temp_.path()))
      << "cannot start " << (exe.empty() ? PlyxExePath() : exe) << ", error " << GetLastError();
  return process;
}

HWND PlyxJourney::StartMain(const std::string& commandText, const std::string& exe) {
  HWND window = UseMain(Start(commandText, exe));
  EXPECT_NE(window, nullptr) << "no main window for the command line [" << commandText << "]";
  return window;
}

HWND PlyxJourney::UseMain(PlyxProcess& process) {
  plyx_ = &process;
  main_ = WaitForTopLevel(process.pid(), kPlyxTitle, kStartTimeoutMs);
  // The modal loop shows its dialog (SW_SHOWNORMAL) the first time its queue
  // runs empty, which would undo a minimise or hide that came sooner. Wait for
  // that idle moment, then for the show that follows it. A second round covers
  // a loaded machine, where the marker can be handled before the first idle.
  if (main_ && !(process.WaitUntilIdle(kStartTimeoutMs) && Settle() && Settle())) main_ = nullptr;
  return main_;
}

void PlyxJourney::SetText(int id, const std::string& text) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(Item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                      SMTO_ABORTIFHUNG, 5000, &result);
}

void PlyxJourney::Type(int id, const std::string& text) {
  Focus(id);
  WaitForFocus(id);
  SetText(id, text);
}

bool PlyxJourney::WaitForNewestHistoryEntry(const std::string& expected) const {
  return WaitFor([&] { return plyx_registry::NewestHistoryEntry() == expected; });
}

void PlyxJourney::Focus(int id) { PostMessageA(main_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(id)), TRUE); }

bool PlyxJourney::HasFocus(int id) const {
  HWND focus = FocusedControl(main_);
  HWND control = Item(id);
  return focus && control && (focus == control || GetParent(focus) == control);
}

bool PlyxJourney::WaitForFocus(int id, DWORD timeoutMs) const {
  return WaitFor([&] { return HasFocus(id); }, timeoutMs);
}

void PlyxJourney::Click(int id) { PostMessageA(Item(id), BM_CLICK, 0, 0); }

void PlyxJourney::ChooseSize(int index) {
  HWND list = Item(IDC_SIZE_LIST);
  DWORD_PTR result = 0;
  SendMessageTimeoutA(list, CB_SETCURSEL, index, 0, SMTO_ABORTIFHUNG, 5000, &result);
  PostMessageA(main_, WM_COMMAND, MAKEWPARAM(IDC_SIZE_LIST, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(list));
}

int PlyxJourney::SizeIndex() const {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(Item(IDC_SIZE_LIST), CB_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
  return static_cast<int>(static_cast<LRESULT>(result));
}

std::vector<std::string> PlyxJourney::ListItems(int id) const {
  std::vector<std::string> items;
  HWND combo = Item(id);
  const LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    // Across processes only the wide form of CB_GETLBTEXT comes back intact.
    wchar_t wide[MAX_PATH + 1] = {};
    if (SendMessageW(combo, CB_GETLBTEXTLEN, i, 0) > MAX_PATH) continue;
    SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(wide));
    char narrow[2 * MAX_PATH + 2] = {};
    WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, sizeof narrow, nullptr, nullptr);
    items.push_back(narrow);
  }
  return items;
}

std::pair<int, int> PlyxJourney::Selection(int id) const {
  HWND control = Item(id);
  const UINT message = ClassOf(control) == "ComboBox" ? CB_GETEDITSEL : EM_GETSEL;
  const DWORD packed = static_cast<DWORD>(SendMessageA(control, message, 0, 0));
  return {LOWORD(packed), HIWORD(packed)};
}

bool PlyxJourney::Settle() {
  // A posted EM_SETLIMITTEXT queues behind everything posted before it; once
  // its value reads back, all of that has been handled.
  HWND box = Item(IDC_SOURCE_FILE);
  DWORD_PTR original = 0;
  if (!SendMessageTimeoutA(box, EM_GETLIMITTEXT, 0, 0, SMTO_ABORTIFHUNG, 5000, &original)) {
    return false;
  }
  const DWORD_PTR marker = original + 7919;
  PostMessageA(box, EM_SETLIMITTEXT, marker, 0);
  const bool settled = WaitFor([&] {
    DWORD_PTR now = 0;
    return SendMessageTimeoutA(box, EM_GETLIMITTEXT, 0, 0, SMTO_ABORTIFHUNG, 5000, &now) &&
           now == marker;
  });
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(box, EM_SETLIMITTEXT, original, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
  return settled;
}

MessageBoxInfo PlyxJourney::NextMessageBox(DWORD timeoutMs) const {
  return MessageBoxWith("", timeoutMs);
}

MessageBoxInfo PlyxJourney::MessageBoxWith(const std::string& textPart, DWORD timeoutMs) const {
  HWND box = WaitForMessageBox(pid(), textPart, timeoutMs);
  if (!box) return MessageBoxInfo();
  MessageBoxInfo info = DescribeMessageBox(box);
  if (info.icon == BoxIcon::kNone) {
    // Another process's icon handles differ from ours under Wine: tell it by its
    // pixels, once the box has painted them.
    WaitFor([&] { return (info.icon = IconKindOnScreen(box)) != BoxIcon::kNone; }, 2000);
  }
  return info;
}

bool PlyxJourney::TrayIconShown() const {
  // Modifying nothing succeeds only for an icon that exists.
  NOTIFYICONDATAA probe{};
  probe.cbSize = sizeof probe;
  probe.hWnd = main_;
  probe.uID = 103;
  return Shell_NotifyIconA(NIM_MODIFY, &probe) != FALSE;
}

void PlyxJourney::SystemCommand(WPARAM command) {
  // Sent, as the title bar sends it: under Wine a posted SC_MINIMIZE from
  // another process is often undone before it shows.
  DWORD_PTR result = 0;
  SendMessageTimeoutA(main_, WM_SYSCOMMAND, command, 0, SMTO_ABORTIFHUNG, 10000, &result);
}

void PlyxJourney::CloseAndExpectExitZero(bool byTitleBar) {
  ASSERT_NE(plyx_, nullptr);
  if (byTitleBar) {
    SystemCommand(SC_CLOSE);
  } else {
    Click(IDC_CLOSE);
  }
  DWORD code = 259;
  ASSERT_TRUE(plyx_->WaitForExit(kExitTimeoutMs, &code))
      << "PLYX still runs after " << (byTitleBar ? "the title bar's close" : "Close");
  EXPECT_EQ(code, 0u);
}
