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

  // Runs `"program" arguments` in `folder` ("": this one's), writing to `output` if given.
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

// The batch's exit code (-1: not ended in two minutes), what it printed in
// *output; `folder` ends in a backslash. It runs as a double click runs it (its
// full path, from its folder, no key input) unless `startIn` is another folder,
// or its own to type its bare name; `input` is what the keyboard gives.
int RunBatch(const std::string& folder, const std::string& batchName, std::string* output = nullptr,
             const std::string& startIn = "", const std::string& input = "");
