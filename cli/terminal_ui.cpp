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
    : io_(io),
      progressMax_(progressMax == 0 ? 1 : progressMax),
      overwrite_(overwrite),
      interrupted_(interrupted) {}

void TerminalUi::Draw() {
  const std::uint32_t shown = position_ > progressMax_ ? progressMax_ : position_;
  const int filled = static_cast<int>(shown * kBarWidth / progressMax_);
  std::string bar(static_cast<std::size_t>(filled), '#');
  bar.append(static_cast<std::size_t>(kBarWidth - filled), '.');
  // A failed write (a reader that went away) is ignored: the split goes on.
  if (io_.redrawLine) {
    std::fprintf(io_.out, "\r[%s] %-44s", bar.c_str(), status_.c_str());
    std::fflush(io_.out);
    lineOpen_ = true;
  } else {
    // A log file or pipe takes the lines as the C library buffers them.
    std::fprintf(io_.out, "[%s] %s\n", bar.c_str(), status_.c_str());
  }
}

void TerminalUi::EndLine() {
  if (lineOpen_) {
    std::fputc('\n', io_.out);
    std::fflush(io_.out);
  }
  lineOpen_ = false;
}

void TerminalUi::ShowStatus(const char* text) {
  status_ = text;
  Draw();
}

void TerminalUi::StepProgress() {
  ++position_;
  if (io_.redrawLine) Draw();
}

void TerminalUi::FillProgress() {
  position_ = progressMax_;
  status_ = "Done";
  Draw();
}

bool TerminalUi::Agreed(const char* prompt, const char* word, const char* letter) {
  std::fprintf(io_.err, "%s", prompt);
  std::fflush(io_.err);
  const std::string answer = ReadAnswer(io_.in);
  return !interrupted_ && (answer == word || answer == letter);
}

SplitAnswer TerminalUi::Ask(SplitQuestion kind, const char* text) {
  EndLine();
  std::fflush(io_.out);  // what led to the question comes before it in a shared log
  switch (kind) {
    case SplitQuestion::kOverwrite:
      if (overwrite_ || !io_.askUser) {
        std::fprintf(io_.err, "%s\n  -> %s\n", text,
                     overwrite_ ? "OK (--overwrite)" : "Cancel (pass --overwrite to replace it)");
        return overwrite_ ? SplitAnswer::kOk : SplitAnswer::kCancel;
      }
      std::fprintf(io_.err, "%s\n", text);
      return Agreed("Type ok to replace it, anything else keeps it: ", "ok", "o")
                 ? SplitAnswer::kOk
                 : SplitAnswer::kCancel;
    case SplitQuestion::kInsertDisk:
      if (!io_.askUser) {
        std::fprintf(io_.err, "%s\n  -> Cancel (no terminal to answer on)\n", text);
        return SplitAnswer::kCancel;
      }
      std::fprintf(io_.err, "%s\n", text);
      return Agreed("Type retry once it is in, anything else gives up: ", "retry", "r")
                 ? SplitAnswer::kRetry
                 : SplitAnswer::kCancel;
    case SplitQuestion::kDiskFull:
    case SplitQuestion::kFailure:
      std::fprintf(io_.err, "plyx-split: %s\n", text);
      return SplitAnswer::kOk;
  }
  return SplitAnswer::kCancel;
}

void TerminalUi::RunOver() {
  EndLine();
  std::fflush(io_.out);
}
