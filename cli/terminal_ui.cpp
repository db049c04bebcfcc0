#include "terminal_ui.h"

#include <cctype>

namespace {
constexpr int kBarWidth = 30;

// One answer read from the terminal: the first letter of the line.
char ReadLetter(std::FILE* in) {
  char line[64];
  if (std::fgets(line, sizeof line, in) == nullptr) return '\0';
  for (const char* p = line; *p != '\0'; ++p) {
    if (!std::isspace(static_cast<unsigned char>(*p))) {
      return static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
    }
  }
  return '\0';
}
}  // namespace

TerminalUi::TerminalUi(SplitCommandIo& io, std::uint32_t progressMax, bool overwrite)
    : io_(io), progressMax_(progressMax == 0 ? 1 : progressMax), overwrite_(overwrite) {}

void TerminalUi::Draw() {
  const std::uint32_t shown = position_ > progressMax_ ? progressMax_ : position_;
  const int filled = static_cast<int>(shown * kBarWidth / progressMax_);
  std::string bar(static_cast<std::size_t>(filled), '#');
  bar.append(static_cast<std::size_t>(kBarWidth - filled), '.');
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
  if (lineOpen_) std::fputc('\n', io_.out);
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

SplitAnswer TerminalUi::Ask(SplitQuestion kind, const char* text) {
  EndLine();
  switch (kind) {
    case SplitQuestion::kOverwrite:
      if (!io_.askUser) {
        std::fprintf(io_.err, "%s\n  -> %s\n", text,
                     overwrite_ ? "OK (--overwrite)" : "Cancel (pass --overwrite to replace it)");
        return overwrite_ ? SplitAnswer::kOk : SplitAnswer::kCancel;
      }
      std::fprintf(io_.out, "%s [o]k / [c]ancel: ", text);
      std::fflush(io_.out);
      return ReadLetter(io_.in) == 'o' ? SplitAnswer::kOk : SplitAnswer::kCancel;
    case SplitQuestion::kInsertDisk:
      if (!io_.askUser) {
        std::fprintf(io_.err, "%s\n  -> Cancel (no terminal to answer on)\n", text);
        return SplitAnswer::kCancel;
      }
      std::fprintf(io_.out, "%s\n[r]etry / [c]ancel: ", text);
      std::fflush(io_.out);
      return ReadLetter(io_.in) == 'r' ? SplitAnswer::kRetry : SplitAnswer::kCancel;
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
