#include "merge_batch.h"

#include <cstdio>
#include <cstring>

#include "disk_file.h"
#include "disk_space.h"
#include "file_system.h"
#include "path_text.h"
#include "split_run.h"

namespace {

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

std::string Number(std::uint64_t value) { return std::to_string(value); }

std::string PartNumber(std::uint32_t i) {
  char number[8];
  std::snprintf(number, sizeof number, "%03u", static_cast<unsigned>(i) % 1000);
  return number;
}

// The script, with `selfLength` standing where it names its own length. The
// checks before the first copy never use & or a bracketed block after an if
// or a for: Wine's cmd runs what follows the & unconditionally and misreads a
// goto inside brackets. Every check line tests plyxpart first, so that the
// first failing part is the one named.
std::string ComposeBatch(const std::string& quoted, const std::string& echoed,
                         std::uint32_t fileSize, std::uint32_t partSize, std::uint32_t partCount,
                         const std::string& selfLength) {
  const std::uint64_t fullParts = partCount - 1;
  const std::uint64_t lastSize =
      fileSize > fullParts * partSize ? fileSize - fullParts * partSize : 0;
  // %~z0 gives this script's length only where the interpreter knows the size
  // modifier; elsewhere the size checks are skipped, not failed.
  const std::string sizesKnown = "\"%~z0\"==\"" + selfLength + "\"";
  const std::string unset = "if \"%plyxpart%\"==\"\" ";

  std::string text;
  text.reserve(400 + sizeof kAppTitle + 4 * quoted.size() +
               static_cast<std::size_t>(partCount) * (5 * quoted.size() + 120));
  text += "@echo off\r\necho ";
  text += kAppTitle;
  text += "\r\necho Merging Files ....\r\n";
  text += "set plyxpart=\r\n";
  for (std::uint32_t i = 1; i <= partCount; ++i) {
    const std::string n = PartNumber(i);
    text += unset + "if not exist \"" + quoted + "." + n + "\" set plyxpart=" + n + "\r\n";
  }
  text += "if not \"%plyxpart%\"==\"\" goto plyxmiss\r\n";
  text += "if not " + sizesKnown + " goto plyxjoin\r\n";
  for (std::uint32_t i = 1; i <= partCount; ++i) {
    const std::string n = PartNumber(i);
    text += unset + "for %%p in (\"" + quoted + "." + n + "\") do if not \"%%~zp\"==\"" +
            Number(i < partCount ? partSize : lastSize) + "\" set plyxpart=" + n + "\r\n";
  }
  text += "if \"%plyxpart%\"==\"\" goto plyxjoin\r\n";
  text += "echo " + echoed + ".%plyxpart% does not have the size it was split with - nothing was merged\r\n";
  text += "goto plyxfail\r\n";
  text += ":plyxmiss\r\necho " + echoed + ".%plyxpart% is missing - nothing was merged\r\n";
  text += "goto plyxfail\r\n";
  text += ":plyxjerr\r\necho " + echoed + " is incomplete - the join failed\r\n";
  text += ":plyxfail\r\nset plyxpart=\r\npause\r\nexit /b 1\r\n";
  text += ":plyxjoin\r\n";

  text += "copy /b \"" + quoted + ".001\" \"" + quoted + "\"\r\n";
  for (std::uint32_t i = 2; i <= partCount; ++i) {
    text += "copy /b \"" + quoted + "\"+\"" + quoted + "." + PartNumber(i) + "\" \"" + quoted +
            "\"\r\n";
  }
  text += "if " + sizesKnown + " for %%p in (\"" + quoted + "\") do if not \"%%~zp\"==\"" +
          Number(fileSize) + "\" goto plyxjerr\r\n";
  text += "echo " + echoed + " Successfully Merged !!!";
  text += "\r\necho Thank you for using PLYX";
  return text;
}

}  // namespace

static bool OemNameForBatch(const char* name, std::string* oemName) {
  return ConvertToOemCodePage(name, oemName) && IsSafeInBatch(*oemName);
}

bool CanNameInBatch(const char* name) {
  std::string oemName;
  return OemNameForBatch(name, &oemName);
}

bool BuildMergeBatch(const char* name, std::uint32_t fileSize, std::uint32_t partSize,
                     std::uint32_t partCount, std::string* script) {
  std::string oemName;
  if (partCount == 0 || !OemNameForBatch(name, &oemName)) return false;
  const std::string quoted = DoublePercents(oemName);
  const std::string echoed = EscapeForEcho(quoted);

  // The script names its own length twice: find the digit count d for which
  // the length with two d-digit numbers has d digits.
  const std::size_t bare = ComposeBatch(quoted, echoed, fileSize, partSize, partCount, "").size();
  std::size_t digits = 1;
  while (Number(bare + 2 * digits).size() != digits) ++digits;
  *script = ComposeBatch(quoted, echoed, fileSize, partSize, partCount, Number(bare + 2 * digits));
  return true;
}

static std::uint32_t BatchFailed(SplitUi& ui) {
  ui.Ask(SplitQuestion::kFailure, kBatchFailedText);
  return kStatusBatchFailed;
}

std::uint32_t WriteMergeBatch(SplitJobRecord& job, std::uint32_t partSize, SplitUi& ui,
                              DiskSpace& disk) {
  const char* name = FileNamePart(job.sourcePath);
  char batchPath[kPathBufferSize];
  if (!AddTrailingSeparator(job.destFolder, sizeof job.destFolder)) return BatchFailed(ui);
  const int pathLength =
      std::snprintf(batchPath, sizeof batchPath, "%s%s.bat", job.destFolder, name);
  if (pathLength < 0 || static_cast<std::size_t>(pathLength) >= sizeof batchPath) {
    return BatchFailed(ui);
  }

  if (FileExists(batchPath)) {
    char question[kQuestionBufferSize];
    std::snprintf(question, sizeof question, kOverwriteQuestion, batchPath);
    // A cancel confirmed while the question was open counts as its answer.
    if (ui.Ask(SplitQuestion::kOverwrite, question) != SplitAnswer::kOk || job.cancelRequested) {
      ++job.currentPart;
      return kStatusOverwriteDeclined;
    }
  }

  std::string script;
  if (!BuildMergeBatch(name, job.fileSize, partSize, job.partCount, &script) ||
      script.size() > UINT32_MAX) {
    return BatchFailed(ui);
  }
  const auto length = static_cast<std::uint32_t>(script.size());
  if (CheckDiskSpace(job.destFolder, length, ui, disk) != kStatusOk) return BatchFailed(ui);

  DiskFile file;
  if (!file.Open(kDiskFileWrite, batchPath)) return BatchFailed(ui);
  const bool written = file.Write(script.data(), length);
  if (!disk.CloseWritten(file) || !written) {
    // A half-written script would join only some of the parts.
    RemoveFile(batchPath);
    return BatchFailed(ui);
  }
  return kStatusOk;
}
