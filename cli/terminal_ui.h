// The split run's surroundings on a terminal: a status line with a progress
// bar, and questions answered on standard input.
#pragma once

#include <cstdint>
#include <string>

#include "split_command.h"
#include "split_ui.h"

class TerminalUi : public SplitUi {
 public:
  TerminalUi(SplitCommandIo& io, std::uint32_t progressMax, bool overwrite);

  void ShowStatus(const char* text) override;
  void StepProgress() override;
  void FillProgress() override;
  SplitAnswer Ask(SplitQuestion kind, const char* text) override;
  void Pause(std::uint32_t) override {}  // the window's pause only lets the full bar be seen
  void RunOver() override;

 private:
  void Draw();
  void EndLine();

  SplitCommandIo& io_;
  std::uint32_t progressMax_;
  std::uint32_t position_ = 0;
  bool overwrite_;
  bool lineOpen_ = false;
  std::string status_;
};
