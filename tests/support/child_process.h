// Programs the tests start: a ChildProcess is ended by force if it still runs
// when it goes, and RunBatch runs a merge batch as a double click in the file
// manager runs it.
#pragma once

#include <windows.h>

#include <string>

#include "holders.h"

class ChildProcess {
 public:
  ChildProcess() = default;
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Command line: `program` in quotes, a blank, then `arguments` unchanged; it
  // runs in `folder` ("": this one's), its output going to `output` if given,
  // its input from `input` (else this one's).
  bool Start(const std::string& program, const std::string& arguments, const std::string& folder = "",
             HANDLE output = nullptr, HANDLE input = nullptr);
  DWORD Pid() const { return pid; }
  bool Running() const { return process.IsValid() && WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT; }
  bool WaitUntilIdle(DWORD timeoutMs) const { return WaitForInputIdle(process.Get(), timeoutMs) == 0; }
  // False while it still runs after `timeoutMs`.
  bool WaitForExit(DWORD timeoutMs, DWORD* exitCode) const;

 private:
  UniqueHandle process;
  UniqueHandle thread;
  DWORD pid = 0;
};

// "cmd.exe /c" with the batch's full path, in the batch's folder (`folder`
// ends in a backslash): the exit code, or -1 when it did not start or end
// within two minutes. What it printed goes to *output. Its input is NUL, so a
// batch that waits for a key goes on at once.
int RunBatch(const std::string& folder, const std::string& batchName, std::string* output = nullptr);
