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

// How a batch is started; by default as a double click starts it: by its
// full path, from its own folder, with NUL as its input (no key waits).
struct BatchStart {
  std::string folder;   // the current folder to start in, "" the batch's own
  bool byName = false;  // typed as its bare name, not its full path
  std::string input;    // what the keyboard gives
};

// The batch's exit code (-1: it did not end within two minutes), what it
// printed in *output; `folder` ends in a backslash.
int RunBatch(const std::string& folder, const std::string& batchName, std::string* output = nullptr,
             const BatchStart& start = {});
