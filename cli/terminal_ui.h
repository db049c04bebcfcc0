// The split run's surroundings on a terminal: a status line with a progress
// bar on standard output, questions on standard error answered on standard input.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "split_command.h"
#include "split_ui.h"

class TerminalUi : public SplitUi {
 public:
  // `interrupted` is set by Ctrl+C; a question open at that moment reads Cancel.
  TerminalUi(SplitCommandIo& io, std::uint32_t progressMax, bool overwrite, const std::atomic<bool>& interrupted);

  void ShowStatus(const char* text) override;
  void StepProgress() override;
  void FillProgress() override;
  SplitAnswer Ask(SplitQuestion kind, const char* text) override;
  void Pause(std::uint32_t) override {}  // the window's pause only lets the full bar be seen
  void RunOver() override;

 private:
  void Draw();
  void EndLine();
  // True when the typed line is one of the two words, and no Ctrl+C came.
  bool Agreed(const char* prompt, const char* word, const char* letter);

  SplitCommandIo& io;
  std::uint32_t progressMax;
  std::uint32_t position = 0;
  bool overwrite;
  const std::atomic<bool>& interrupted;
  bool lineOpen = false;
  std::string status;
};
