// Scripted surroundings of the split run: a SplitUi that records every call
// and answers from a script, and a DiskSpace with scripted free bytes.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "split_ui.h"

inline const char* QuestionName(SplitQuestion kind) {
  switch (kind) {
    case SplitQuestion::kOverwrite: return "overwrite";
    case SplitQuestion::kInsertDisk: return "insert";
    case SplitQuestion::kDiskFull: return "full";
    case SplitQuestion::kFailure: return "failure";
  }
  return "?";
}

class ScriptedUi : public SplitUi {
 public:
  // Every call in order: "status TEXT", "step", "fill", "ask KIND TEXT",
  // "pause MS", "over".
  std::vector<std::string> events;
  // Answers to the OK/Cancel and Retry/Cancel questions, in order; when they
  // run out the answer is Cancel. OK-only reports are answered OK.
  std::deque<SplitAnswer> answers;
  // Runs at each question before the scripted answer; may replace it.
  std::function<SplitAnswer(SplitQuestion, const std::string&, SplitAnswer)> onAsk;
  std::function<void(const std::string&)> onStatus;

  void ShowStatus(const char* text) override {
    events.push_back(std::string("status ") + text);
    if (onStatus) onStatus(text);
  }
  void StepProgress() override { events.push_back("step"); }
  void FillProgress() override { events.push_back("fill"); }
  SplitAnswer Ask(SplitQuestion kind, const char* text) override {
    events.push_back(std::string("ask ") + QuestionName(kind) + " " + text);
    SplitAnswer answer = SplitAnswer::kOk;
    if (kind == SplitQuestion::kOverwrite || kind == SplitQuestion::kInsertDisk) {
      answer = SplitAnswer::kCancel;
      if (!answers.empty()) {
        answer = answers.front();
        answers.pop_front();
      }
    }
    return onAsk ? onAsk(kind, text, answer) : answer;
  }
  void Pause(std::uint32_t milliseconds) override {
    events.push_back("pause " + std::to_string(milliseconds));
  }
  void RunOver() override { events.push_back("over"); }

  int Count(const std::string& prefix) const {
    int n = 0;
    for (const auto& e : events) n += e.compare(0, prefix.size(), prefix) == 0 ? 1 : 0;
    return n;
  }
  // The texts of the questions of one kind.
  std::vector<std::string> Asked(SplitQuestion kind) const {
    const std::string prefix = std::string("ask ") + QuestionName(kind) + " ";
    std::vector<std::string> texts;
    for (const auto& e : events) {
      if (e.compare(0, prefix.size(), prefix) == 0) texts.push_back(e.substr(prefix.size()));
    }
    return texts;
  }
  std::string Dump() const {
    std::string all;
    for (const auto& e : events) all += "  " + e + "\n";
    return all;
  }
};

class FakeDiskSpace : public DiskSpace {
 public:
  // Free bytes of successive queries; the last value stays. Plenty by default.
  std::deque<std::uint64_t> freeBytes{std::uint64_t{1} << 40};
  bool removable = false;
  int failQuery = -1;  // zero-based index of the query that fails
  std::vector<std::string> roots;
  int typeQueries = 0;
  std::function<void()> onQuery;

  bool FreeBytes(const char* root, std::uint64_t* result) override {
    const int index = static_cast<int>(roots.size());
    roots.push_back(root);
    if (onQuery) onQuery();
    if (index == failQuery) return false;
    *result = freeBytes.front();
    if (freeBytes.size() > 1) freeBytes.pop_front();
    return true;
  }
  bool IsRemovable(const char*) override {
    ++typeQueries;
    return removable;
  }
};
