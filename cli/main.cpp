#include <cstdio>

#include "split_command.h"

#ifdef _WIN32
#include <windows.h>

// _isatty is also true for NUL and other character devices; only a console
// has a console mode.
static bool IsTerminal(DWORD standardHandle) {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(standardHandle), &mode) != FALSE;
}
static bool InputIsTerminal() { return IsTerminal(STD_INPUT_HANDLE); }
static bool OutputIsTerminal() { return IsTerminal(STD_OUTPUT_HANDLE); }
#else
#include <unistd.h>

static bool InputIsTerminal() { return isatty(STDIN_FILENO) != 0; }
static bool OutputIsTerminal() { return isatty(STDOUT_FILENO) != 0; }
#endif

int main(int argc, char** argv) {
  SplitCommandIo io{stdin, stdout, stderr, InputIsTerminal(), OutputIsTerminal()};
  InstallInterruptHandler();
  return RunSplitCommand(argc, argv, io);
}
