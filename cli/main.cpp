#include <cstdio>
#include <string>
#include <vector>

#include "split_command.h"

// Reports into a file or pipe go out in large writes. The Windows runtime
// otherwise writes each line on its own, a call per part that under Wine
// costs as much as a chunk of the part.
static void BufferReports(bool toTerminal) {
  static char buffer[1 << 16];
  if (!toTerminal) std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
}

#ifdef _WIN32
#include <windows.h>

#include "ansi_text.h"

// _isatty is also true for NUL and other character devices; only a console
// has a console mode.
static bool IsTerminal(DWORD standardHandle) {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(standardHandle), &mode) != FALSE;
}

// A console shows the bytes written to it in its own output code page (the
// OEM one), not in the program's ANSI code page (UTF-8 under the manifest):
// there a report goes out in UTF-16, so that a name reads as it is. A file or
// pipe takes the ANSI bytes.
static bool WriteToConsole(std::FILE* stream, const std::string& text) {
  const DWORD which = stream == stdout ? STD_OUTPUT_HANDLE : stream == stderr ? STD_ERROR_HANDLE : 0;
  const HANDLE console = which != 0 ? GetStdHandle(which) : nullptr;
  DWORD mode = 0;
  std::wstring wide;
  if (console == nullptr || !GetConsoleMode(console, &mode) || !AnsiToWideExactly(text.data(), text.size(), &wide)) {
    return false;
  }
  std::fflush(stream);
  DWORD written = 0;
  return WriteConsoleW(console, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr) != FALSE;
}

// The wide command line in ANSI. The runtime's own ANSI arguments are best
// fit: "Ωmega.bin" would arrive as "Omega.bin", another file. An argument
// without an exact form is kept with ? in place of what is missing, for the
// refusal to show.
int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> texts(static_cast<std::size_t>(argc));
  SplitCommandIo io{stdin, stdout, stderr, IsTerminal(STD_INPUT_HANDLE), IsTerminal(STD_OUTPUT_HANDLE)};
  io.write = WriteToConsole;
  // UTF-8 takes no best-fit flag; there only a lone surrogate lacks an exact form.
  const DWORD flags = GetACP() == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
  for (int i = 0; i < argc; ++i) {
    if (WideToExactAnsi(argv[i], &texts[i])) continue;
    if (io.inexactArgument == 0) io.inexactArgument = i;
    const int length = WideCharToMultiByte(CP_ACP, flags, argv[i], -1, nullptr, 0, nullptr, nullptr);
    std::vector<char> shown(length > 0 ? static_cast<std::size_t>(length) : 1, '\0');
    WideCharToMultiByte(CP_ACP, flags, argv[i], -1, shown.data(), length, nullptr, nullptr);
    texts[i] = shown.data();
  }
  std::vector<const char*> ansi;
  for (const auto& text : texts) ansi.push_back(text.c_str());
  BufferReports(io.redrawLine);
  InstallSignalHandlers();
  return RunSplitCommand(argc, ansi.data(), io);
}
#else
#include <unistd.h>

int main(int argc, char** argv) {
  SplitCommandIo io{stdin, stdout, stderr, isatty(STDIN_FILENO) != 0, isatty(STDOUT_FILENO) != 0};
  BufferReports(io.redrawLine);
  InstallSignalHandlers();
  return RunSplitCommand(argc, argv, io);
}
#endif
