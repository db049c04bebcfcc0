#include "merge_batch.h"

#include <cstdio>
#include <cstring>

#include "disk_file.h"
#include "disk_space.h"
#include "file_system.h"
#include "path_text.h"
#include "split_run.h"

namespace {

constexpr const char kBatchFailedText[] = "Unable to Create BAT File 8000";

// cmd.exe expands %VAR% everywhere in a batch file, quoted or not.
std::string DoublePercents(const std::string& name) {
  std::string out;
  for (char c : name) {
    if (c == '%') out += '%';
    out += c;
  }
  return out;
}

// In the unquoted echo line, & and ^ (and the redirections, which a POSIX name
// may hold) would be command syntax: "a & del *.* & b" would run del.
std::string EscapeForEcho(const std::string& name) {
  std::string out;
  for (char c : name) {
    if (c == '&' || c == '^' || c == '|' || c == '<' || c == '>') out += '^';
    out += c;
  }
  return out;
}

bool IsSafeInBatch(const std::string& name) {
  for (char c : name) {
    const unsigned char u = static_cast<unsigned char>(c);
    // A line break would start a new command; a quote would end the name's quoting.
    if (u < 0x20 || u == 0x7F || c == '"') return false;
  }
  return !name.empty();
}

}  // namespace

bool BuildMergeBatch(const char* name, std::uint32_t partCount, std::string* script) {
  std::string oemName;
  if (!ConvertToOemCodePage(name, &oemName) || !IsSafeInBatch(oemName)) return false;
  const std::string quoted = DoublePercents(oemName);
  const std::string echoed = EscapeForEcho(quoted);

  std::string text;
  text.reserve(128 + sizeof kAppTitle + 3 * quoted.size() +
               static_cast<std::size_t>(partCount) * (3 * quoted.size() + 22));
  text += "@echo off\r\necho ";
  text += kAppTitle;
  text += "\r\necho Merging Files ....\r\n";
  text += "copy /b \"" + quoted + ".001\" \"" + quoted + "\"\r\n";
  for (std::uint32_t i = 2; i <= partCount; ++i) {
    char number[16];
    std::snprintf(number, sizeof number, ".%03u", static_cast<unsigned>(i));
    text += "copy /b \"" + quoted + "\"+\"" + quoted + number + "\" \"" + quoted + "\"\r\n";
  }
  text += "echo " + echoed + " Successfully Merged !!!";
  text += "\r\necho Thank you for using PLYX";
  *script = std::move(text);
  return true;
}

static std::uint32_t BatchFailed(SplitUi& ui) {
  ui.Ask(SplitQuestion::kFailure, kBatchFailedText);
  return kStatusBatchFailed;
}

std::uint32_t WriteMergeBatch(SplitJobRecord& job, SplitUi& ui, DiskSpace& disk) {
  const char* name = FileNamePart(job.sourcePath);
  char batchPath[kPathBufferSize];
  if (!AddTrailingSeparator(job.destFolder, sizeof job.destFolder)) return BatchFailed(ui);
  const int pathLength =
      std::snprintf(batchPath, sizeof batchPath, "%s%s.bat", job.destFolder, name);
  if (pathLength < 0 || static_cast<std::size_t>(pathLength) >= sizeof batchPath) {
    return BatchFailed(ui);
  }

  if (FileExists(batchPath)) {
    char question[kPathBufferSize];
    const int length = std::snprintf(question, sizeof question, kOverwriteQuestion, batchPath);
    if (length < 0 || static_cast<std::size_t>(length) >= sizeof question) return BatchFailed(ui);
    if (ui.Ask(SplitQuestion::kOverwrite, question) != SplitAnswer::kOk) {
      ++job.currentPart;
      return kStatusOverwriteDeclined;
    }
  }

  std::string script;
  if (!BuildMergeBatch(name, job.partCount, &script) || script.size() > UINT32_MAX) {
    return BatchFailed(ui);
  }
  const auto length = static_cast<std::uint32_t>(script.size());
  if (CheckDiskSpace(job.destFolder, length, ui, disk) != kStatusOk) return BatchFailed(ui);

  DiskFile file;
  if (!file.Open(kDiskFileWrite, batchPath)) return BatchFailed(ui);
  const bool written = file.Write(script.data(), length);
  const bool closed = file.Close();
  if (!written || !closed) {
    // A half-written script would join only some of the parts.
    RemoveFile(batchPath);
    return BatchFailed(ui);
  }
  return kStatusOk;
}
