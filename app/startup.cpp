#include "startup.h"

#include <shlwapi.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "ansi_text.h"
#include "file_system.h"
#include "globals.h"
#include "holders.h"
#include "main_dialog.h"
#include "message_box.h"
#include "name_gate.h"
#include "resource_ids.h"
#include "settings.h"
#include "shell_verb.h"
#include "split_job.h"

namespace {

// The command-line text in ANSI, as every path of PLYX is, for the running
// copy. The system's own ANSI command line is its best fit: "Ωmega.bin" would
// arrive as "Omega.bin", another file. A name without an exact form is refused
// as the running copy's own command line would be, and becomes the empty text.
std::string CommandLineText(const wchar_t* commandLine) {
  std::string text;
  if (WideToExactAnsi(commandLine, &text)) return text;
  const NameFacts facts{false, 0, PathFileExistsW(commandLine) != FALSE};
  ShowNameRefusal(nullptr, JudgeName(NameField::kSource, NameEntry::kCommandLine, facts), commandLine);
  return std::string();
}

// The running copy has a working folder of its own, where a relative name
// would find another file or none: an existing file goes over by its full path.
std::string HandOverText(const std::string& text) {
  char full[kPathBufferSize];
  if (text.empty() || !FileExists(text.c_str())) return text;
  const DWORD length = GetFullPathNameA(text.c_str(), sizeof full, full, nullptr);
  return length > 0 && length < sizeof full ? std::string(full) : text;
}

// The process-wide store for as long as the main window may use it.
struct AppSettingsScope {
  std::unique_ptr<Settings> settings{new (std::nothrow) Settings};
  AppSettingsScope() { AppSettings = settings.get(); }
  ~AppSettingsScope() { AppSettings = nullptr; }
};

}  // namespace

void TakeCommandLineFile(const wchar_t* commandLine) {
  ShowNameRefusal(nullptr, TakeSourceName(commandLine, NameEntry::kCommandLine), commandLine);
}

bool HandOverCommandLine(const char* commandLine) {
  HWND running = FindPlyxMainWindow();
  if (running == nullptr) return false;
  // Windows lets the running copy come to the front only if this one, which
  // the user has just started, allows it.
  DWORD runningPid = 0;
  GetWindowThreadProcessId(running, &runningPid);
  AllowSetForegroundWindow(runningPid);
  COPYDATASTRUCT data;
  data.dwData = PLYX_HANDOVER_TAG;
  data.cbData = static_cast<DWORD>(std::strlen(commandLine));
  data.lpData = const_cast<char*>(commandLine);
  // A running copy that hangs must not hang this one too; it ends all the same.
  DWORD_PTR result = 0;
  SendMessageTimeoutA(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_NORMAL, kHandOverTimeoutMs,
                      &result);
  return true;
}

int RunPlyx(HINSTANCE instance, const wchar_t* commandLine, volatile LONG* instanceCount) {
  InstanceHandle = instance;
  if (commandLine == nullptr) commandLine = L"";
  if (InterlockedIncrement(instanceCount) > 0) {
    InterlockedDecrement(instanceCount);
    // A refused name still brings the running copy to the front.
    HandOverCommandLine(HandOverText(CommandLineText(commandLine)).c_str());
    return 0;
  }
  // OLE for the dialog's lifetime, ended on every way out.
  const ComScope ole(ComScope::Kind::kOle);
  if (ole.Result() != S_OK) return 0;
  const AppSettingsScope store;
  if (AppSettings == nullptr) {
    ShowMessage(nullptr, MessageId::kMemoryFailure);
    return 0;
  }
  if (AppSettings->status == kSettingsUnusable) {
    ShowMessage(nullptr, MessageId::kRegistryFailure);
    return 0;
  }
  // The program may have moved since the verb was written.
  if (AppSettings->GetShlRtClkEn()) RegisterShellVerb();
  TakeCommandLineFile(commandLine);
  DialogBoxParamA(instance, "PLYX", nullptr, MainDialog, 0);
  return 0;
}
