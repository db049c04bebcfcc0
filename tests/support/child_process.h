// Programs the tests start, ended by force if they still run when the ChildProcess goes.
#pragma once

#include <windows.h>

#include <string>

#include "files.h"
#include "holders.h"
#include "ui_driver.h"

class ChildProcess {
 public:
  ChildProcess() = default;
  ~ChildProcess() {
    if (Running()) TerminateProcess(process.Get(), 1), WaitForSingleObject(process.Get(), 10000);
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Runs `"program" arguments` in `folder` ("": this one's), writing to `output` if given.
  bool Start(const std::string& program, const std::string& arguments, const std::string& folder = "",
             HANDLE output = nullptr, HANDLE input = nullptr) {
    std::string line = "\"" + program + "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (output != nullptr) {
      startup.dwFlags = STARTF_USESTDHANDLES;
      startup.hStdInput = input != nullptr ? input : GetStdHandle(STD_INPUT_HANDLE);
      startup.hStdOutput = startup.hStdError = output;
    }
    PROCESS_INFORMATION info{};
    // Right after a copy was ended by force, Wine may refuse to map the image's
    // shared section for a moment (ERROR_INTERNAL_ERROR); it clears by itself.
    bool started = false;
    WaitFor([&] {
      started = CreateProcessA(nullptr, &line[0], nullptr, nullptr, output != nullptr, 0, nullptr,
                               folder.empty() ? nullptr : folder.c_str(), &startup, &info) != FALSE;
      return started || GetLastError() != ERROR_INTERNAL_ERROR;
    });
    if (!started) return false;
    process.Reset(info.hProcess);
    thread.Reset(info.hThread);
    pid = info.dwProcessId;
    return true;
  }
  DWORD Pid() const { return pid; }
  bool Running() const { return process.IsValid() && WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT; }
  bool WaitUntilIdle(DWORD timeoutMs) const { return WaitForInputIdle(process.Get(), timeoutMs) == 0; }
  // False while it still runs after `timeoutMs`.
  bool WaitForExit(DWORD timeoutMs, DWORD* exitCode) const {
    return process.IsValid() && WaitFor([&] { return !Running(); }, timeoutMs) &&
           GetExitCodeProcess(process.Get(), exitCode);
  }

 private:
  UniqueHandle process;
  UniqueHandle thread;
  DWORD pid = 0;
};

// The batch's exit code (-1: not ended in two minutes), its print in *output. Run as a double click
// runs it (full path, from `folder`, no keys) unless `startIn` differs, or is `folder` to type its bare name.
inline int RunBatch(const std::string& folder, const std::string& batchName, std::string* output = nullptr,
                    const std::string& startIn = "", const std::string& input = "") {
  TempFolder logFolder;
  const std::string log = logFolder / "cmd-output.txt", keys = logFolder / "keys.txt";
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  UniqueHandle file(CreateFileA(log.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr));
  WriteBytes(keys, input);  // empty: the end of input at once, as NUL gives
  UniqueHandle keyboard(CreateFileA(keys.c_str(), GENERIC_READ, FILE_SHARE_READ, &inherit, OPEN_EXISTING, 0, nullptr));
  DWORD code = static_cast<DWORD>(-1);
  {
    ChildProcess cmd;
    // cmd.exe takes off the outer quotes and keeps the inner ones.
    const std::string batch = startIn == folder ? batchName : folder + batchName;
    if (!file.IsValid() ||
        !cmd.Start("cmd.exe", "/c \"\"" + batch + "\"\"", startIn.empty() ? folder : startIn, file.Get(),
                   keyboard.Get()) ||
        !cmd.WaitForExit(120000, &code)) {
      code = static_cast<DWORD>(-1);
    }
  }
  file.Reset();
  if (output != nullptr) *output = ReadBytes(log);
  return static_cast<int>(code);
}
