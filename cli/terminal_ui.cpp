#include "terminal_ui.h"

#include <cctype>

namespace {
constexpr int kBarWidth = 30;

// One answer typed on the terminal: the line without the blanks around it, in
// lower case; "" at the end of input or when Ctrl+C broke the read off.
std::string ReadAnswer(std::FILE* in) {
  std::string line;
  for (int c; (c = std::fgetc(in)) != EOF && c != '\n';) {
    if (line.size() < 32) line += static_cast<char>(std::tolower(c));
  }
  std::clearerr(in);
  const std::size_t first = line.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  return line.substr(first, line.find_last_not_of(" \t\r") + 1 - first);
}
}  // namespace

TerminalUi::TerminalUi(SplitCommandIo& io, std::uint32_t progressMax, bool overwrite,
                       const std::atomic<bool>& interrupted)
    : io(io), progressMax(progressMax == 0 ? 1 : progressMax), overwrite(overwrite), interrupted(interrupted) {}

void TerminalUi::Draw() {
  const std::uint32_t shown = position > progressMax ? progressMax : position;
  const int filled = static_cast<int>(shown * kBarWidth / progressMax);
  std::string bar(static_cast<std::size_t>(filled), '#');
  bar.append(static_cast<std::size_t>(kBarWidth - filled), '.');
  // A failed write (a reader that went away) is ignored: the split goes on.
  if (io.redrawLine) {
    io.Print(io.out, "\r[%s] %-44s", bar.c_str(), status.c_str());
    std::fflush(io.out);
    lineOpen = true;
  } else {
    // A log file or pipe takes the lines as the C library buffers them.
    io.Print(io.out, "[%s] %s\n", bar.c_str(), status.c_str());
  }
}

void TerminalUi::EndLine() {
  if (lineOpen) {
    io.Print(io.out, "\n");
    std::fflush(io.out);
  }
  lineOpen = false;
}

void TerminalUi::ShowStatus(const char* text) {
  status = text;
  Draw();
}

void TerminalUi::StepProgress() {
  ++position;
  if (io.redrawLine) Draw();
}

void TerminalUi::FillProgress() {
  position = progressMax;
  status = "Done";
  Draw();
}

bool TerminalUi::Agreed(const char* prompt, const char* word, const char* letter) {
  io.Print(io.err, "%s", prompt);
  std::fflush(io.err);
  const std::string answer = ReadAnswer(io.in);
  return !interrupted && (answer == word || answer == letter);
}

SplitAnswer TerminalUi::Ask(SplitQuestion kind, const char* text) {
  EndLine();
  std::fflush(io.out);  // what led to the question comes before it in a shared log
  switch (kind) {
    case SplitQuestion::kOverwrite:
      if (overwrite || !io.askUser) {
        io.Print(io.err, "%s\n  -> %s\n", text,
                 overwrite ? "OK (--overwrite)" : "Cancel (pass --overwrite to replace it)");
        return overwrite ? SplitAnswer::kOk : SplitAnswer::kCancel;
      }
      io.Print(io.err, "%s\n", text);
      return Agreed("Type ok to replace it, anything else keeps it: ", "ok", "o") ? SplitAnswer::kOk
                                                                                  : SplitAnswer::kCancel;
    case SplitQuestion::kInsertDisk:
      if (!io.askUser) {
        io.Print(io.err, "%s\n  -> Cancel (no terminal to answer on)\n", text);
        return SplitAnswer::kCancel;
      }
      io.Print(io.err, "%s\n", text);
      return Agreed("Type retry once it is in, anything else gives up: ", "retry", "r") ? SplitAnswer::kRetry
                                                                                        : SplitAnswer::kCancel;
    case SplitQuestion::kDiskFull:
    case SplitQuestion::kFailure:
      io.Print(io.err, "plyx-split: %s\n", text);
      return SplitAnswer::kOk;
  }
  return SplitAnswer::kCancel;
}

void TerminalUi::RunOver() {
  EndLine();
  std::fflush(io.out);
}
