#include <cstdio>

#include "split_command.h"

#ifdef _WIN32
#include <io.h>
#define PLYX_ISATTY _isatty
#define PLYX_FILENO _fileno
#else
#include <unistd.h>
#define PLYX_ISATTY isatty
#define PLYX_FILENO fileno
#endif

int main(int argc, char** argv) {
  SplitCommandIo io{stdin, stdout, stderr, PLYX_ISATTY(PLYX_FILENO(stdin)) != 0,
                    PLYX_ISATTY(PLYX_FILENO(stdout)) != 0};
  InstallInterruptHandler();
  return RunSplitCommand(argc, argv, io);
}
