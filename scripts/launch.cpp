// plyx-launch PROGRAM [TAIL]: runs PROGRAM with TAIL as the rest of its command
// line, exactly as given, and returns its exit code. scripts/run.sh starts
// plyx.exe and the merge batch through it: wine would quote an argument that
// holds blanks (PLYX takes the whole tail as the name, quotes included), and
// cmd.exe would expand %VAR% and act on & in a file name.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

int main() {
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
  if (args == nullptr || count < 2 || count > 3) {
    std::fputs("usage: plyx-launch PROGRAM [TAIL]\n", stderr);
    return 2;
  }
  std::wstring line = L"\"" + std::wstring(args[1]) + L"\"";
  if (count == 3) line += L" " + std::wstring(args[2]);
  LocalFree(args);

  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
    std::fprintf(stderr, "plyx-launch: cannot start the program (error %lu)\n", GetLastError());
    return 127;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD exitCode = 1;
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(exitCode);
}
