// The split run's surroundings for every tier: a recording, scripted SplitUi and DiskSpace.
#pragma once

#include <cstdint>
#include <cstdio>
#include <deque>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "split_job.h"
#include "split_ui.h"

class ScriptedUi : public SplitUi {
 public:
  // "status TEXT", "step", "fill", "ask KIND TEXT", "pause MS", "over".
  std::vector<std::string> events;
  // Answers to the overwrite and insert-disk questions; Cancel once they run
  // out. Other questions are answered OK. onAsk may replace any answer.
  std::deque<SplitAnswer> answers;
  std::function<SplitAnswer(SplitQuestion, const std::string&, SplitAnswer)> onAsk;
  std::function<void(const std::string&)> onStatus;

  void ShowStatus(const char* text) override {
    events.push_back(std::string("status ") + text);
    if (onStatus) onStatus(text);
  }
  void StepProgress() override { events.push_back("step"); }
  void FillProgress() override { events.push_back("fill"); }
  SplitAnswer Ask(SplitQuestion kind, const char* text) override {
    events.push_back("ask " + Kind(kind) + " " + text);
    SplitAnswer answer = SplitAnswer::kOk;
    if (kind == SplitQuestion::kOverwrite || kind == SplitQuestion::kInsertDisk) {
      answer = answers.empty() ? SplitAnswer::kCancel : answers.front();
      if (!answers.empty()) answers.pop_front();
    }
    return onAsk ? onAsk(kind, text, answer) : answer;
  }
  void Pause(std::uint32_t milliseconds) override { events.push_back("pause " + std::to_string(milliseconds)); }
  void RunOver() override { events.push_back("over"); }

  int Count(const std::string& prefix) const { return static_cast<int>(With(prefix).size()); }
  std::vector<std::string> Asked(SplitQuestion kind) const { return With("ask " + Kind(kind) + " "); }
  std::string Dump() const {
    std::string all;
    for (const auto& e : events) all += "  " + e + "\n";
    return all;
  }

 private:
  static std::string Kind(SplitQuestion kind) {
    static const char* const names[] = {"overwrite", "insert", "full", "failure"};
    return names[static_cast<int>(kind)];
  }
  // The events that start with `prefix`, without it.
  std::vector<std::string> With(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const auto& e : events) {
      if (e.compare(0, prefix.size(), prefix) == 0) found.push_back(e.substr(prefix.size()));
    }
    return found;
  }
};

class FakeDiskSpace : public DiskSpace {
 public:
  // Free bytes of successive queries; the last value stays.
  std::deque<std::uint64_t> freeBytes{std::uint64_t{1} << 40};
  bool removable = false;
  int failQuery = -1;  // zero-based index of the query that fails
  int failClose = -1;  // zero-based index of the written file whose close fails
  int failWrite = -1;  // zero-based index of the part chunk whose write fails, writing nothing
  std::vector<std::string> roots;
  int closes = 0, writes = 0;

  bool FreeBytes(const char*, const char* root, std::uint64_t* result) override {
    roots.push_back(root);
    if (static_cast<int>(roots.size()) - 1 == failQuery) return false;
    *result = freeBytes.front();
    if (freeBytes.size() > 1) freeBytes.pop_front();
    return true;
  }
  bool IsRemovable(const char*) override { return removable; }
  bool CloseWritten(DiskFile& file) override { return DiskSpace::CloseWritten(file) && closes++ != failClose; }
  CopyResult CopyToPart(DiskFile& part, DiskFile& source, void* buffer, std::uint32_t count) override {
    return writes++ == failWrite ? CopyResult::kWriteFailed : DiskSpace::CopyToPart(part, source, buffer, count);
  }
};

inline void FillJob(SplitJobRecord& job, const std::string& source, const std::string& dest, std::uint32_t fileSize,
                    std::uint32_t partSize, std::uint32_t partCount) {
  std::snprintf(job.sourcePath, sizeof job.sourcePath, "%s", source.c_str());
  std::snprintf(job.destFolder, sizeof job.destFolder, "%s", dest.c_str());
  job.fileSize = fileSize, job.partSize = partSize, job.partCount = partCount;
  job.cancelRequested = false;
}

// How a failed expectation shows an outcome.
inline void PrintTo(SplitOutcome outcome, std::ostream* out) {
  static const char* const names[] = {"split", "stopped by the user", "failed"};
  *out << names[static_cast<int>(outcome)];
}
