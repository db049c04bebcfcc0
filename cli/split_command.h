// plyx-split SOURCE DEST_FOLDER PART_SIZE [--overwrite]: the split run on a
// terminal, for scripts and for proving the engine without the main window.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// Checked as the C library's printf: mingw-w64's own (C99) one on Windows.
#if defined(__MINGW_PRINTF_FORMAT)
#define PLYX_PRINTF_LIKE(formatIndex, firstIndex) \
  __attribute__((format(__MINGW_PRINTF_FORMAT, formatIndex, firstIndex)))
#elif defined(__GNUC__)
#define PLYX_PRINTF_LIKE(formatIndex, firstIndex) __attribute__((format(printf, formatIndex, firstIndex)))
#else
#define PLYX_PRINTF_LIKE(formatIndex, firstIndex)
#endif

enum SplitExitCode : int {
  kExitOk = 0,              // every part and the batch were written
  kExitSplitFailed = 1,     // the run stopped with a failure (its message was shown)
  kExitUsage = 2,           // wrong arguments or an unknown PART_SIZE
  kExitBadSource = 3,       // missing, unreadable, a folder, or 4 GB and more
  kExitBadDestination = 4,  // not an existing folder, or not usable as written
  kExitTooManyParts = 5,    // more than 999 parts
  kExitCancelled = 6,       // the user kept an existing file or stopped the run
};

struct SplitCommandIo {
  std::FILE* in;
  std::FILE* out;   // the run's reports
  std::FILE* err;   // refusals, and the questions when someone can answer them
  bool askUser;     // questions are read from `in` (standard input is a terminal)
  bool redrawLine;  // status and bar are redrawn in place (output is a terminal)
  // argv index of an argument whose name has no exact ANSI form (0: none).
  int inexactArgument = 0;
  // Writes one report to a stream; true when it did. None: the C library's.
  bool (*write)(std::FILE* stream, const std::string& text) = nullptr;

  // Every report goes through here, formatted as printf does.
  void Print(std::FILE* stream, const char* format, ...) const PLYX_PRINTF_LIKE(3, 4);
};

// Bytes of PART_SIZE: a decimal byte count (leading zeros allowed, blanks only
// around it), or a size of the presets list ("256 KB", "1.44MB", "floppy",
// blanks and case ignored). False for 0 and for anything else.
bool ParsePartSize(const char* text, std::uint32_t* bytes);

int RunSplitCommand(int argc, const char* const* argv, SplitCommandIo& io);

// Makes Ctrl+C stop the running split after its current chunk and answer an
// open question with Cancel; a closed output pipe no longer ends the process.
void InstallSignalHandlers();
