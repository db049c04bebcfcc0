#include "merge_batch.h"

#include <cstdio>
#include <string_view>

#include "disk_file.h"
#include "disk_space.h"
#include "file_system.h"
#include "path_text.h"
#include "split_run.h"

namespace {

constexpr std::u16string_view::size_type kNone = std::u16string_view::npos;

// Written as itself between double quotes: printable ASCII, but not the
// characters that no Windows name holds (a POSIX one may).
bool IsPlainInQuotes(char16_t c) {
  return c >= 0x20 && c < 0x7F && std::u16string_view(u"\"*?<>|\\/:").find(c) == kNone;
}

// Written as itself in an unquoted pattern: no blank, delimiter or character
// that the interpreter acts on.
bool IsPlainInPattern(char16_t c) {
  return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ||
         std::u16string_view(u".-_~#$@{}[]").find(c) != kNone;
}

// The name in the forms the script writes it, all ASCII.
struct BatchName {
  bool plain = true;    // every character as itself, so the script names it directly
  std::string quoted;   // for between double quotes: % doubled (cmd expands %VAR% there too)
  std::string pattern;  // a ? for each UTF-16 unit that is not plain in a pattern
  std::string shown;    // for an echo line: a ? for each unit that is not plain,
                        // & and ^ escaped, % doubled
};

BatchName FormsOf(const std::u16string& name) {
  BatchName forms;
  for (char16_t c : name) {
    const bool inQuotes = IsPlainInQuotes(c);
    forms.plain = forms.plain && inQuotes;
    const char ascii = inQuotes ? static_cast<char>(c) : '?';
    forms.pattern += IsPlainInPattern(c) ? ascii : '?';
    if (ascii == '%') forms.quoted += '%', forms.shown += '%';
    if (ascii == '&' || ascii == '^') forms.shown += '^';
    forms.quoted += ascii;
    forms.shown += ascii;
  }
  return forms;
}

std::string Number(std::uint64_t value) { return std::to_string(value); }

std::string PartSuffix(std::uint32_t i) {
  char suffix[8];
  std::snprintf(suffix, sizeof suffix, ".%03u", static_cast<unsigned>(i) % 1000);
  return suffix;
}

// Comments in the script never hold % (expanded even in a rem line) nor < > |.
constexpr char kPreamble[] =
    "rem Command extensions on and delayed expansion off for this batch alone,\r\n"
    "rem whatever the registry of this Windows says: the checks below need the\r\n"
    "rem extensions, and delayed expansion would take every ! out of a name.\r\n"
    "rem command.com of Windows 9x cannot read the if defined line and stops below.\r\n"
    "setlocal EnableExtensions DisableDelayedExpansion\r\n"
    "set plyxok=1\r\n"
    "if defined plyxok goto plyxinit\r\n"
    "echo This batch file needs Windows 2000 or later - nothing was merged\r\n"
    "pause\r\n"
    "goto plyxend\r\n"
    ":plyxinit\r\n"
    "rem The parts lie beside this batch, wherever it was started from: Explorer\r\n"
    "rem starts a batch on a network share in the Windows folder, Run as\r\n"
    "rem administrator in System32. pushd lends a network folder a drive letter.\r\n"
    "pushd \"%~dp0\"\r\n"
    "if errorlevel 1 goto plyxnodir\r\n"
    "rem COPYCMD=/-Y would make copy ask, even in a batch.\r\n"
    "set COPYCMD=\r\n"
    "set plyxpart=\r\n";

// Starts a line of the join's checks: only the first failure is named.
constexpr char kUnfailed[] = "if \"%plyxpart%\"==\"\" ";

// How the script names the file: `Set(suffix)` is a for set that yields NAME
// with `suffix`, and `Named(command)` runs a command in which %%~nj is NAME.
// The name never goes through a variable: Wine's cmd expands the %VAR% in a
// variable's value again, and a name may hold % (Windows does not).
struct ScriptName {
  BatchName forms;
  std::string Set(const std::string& suffix) const {
    return forms.plain ? "\"" + forms.quoted + suffix + "\"" : forms.pattern + suffix;
  }
  std::string Named(const std::string& command) const {
    return "for %%j in (" + Set(".001") + ") do " + command + "\r\n";
  }
  // Runs `command` unless NAME with `suffix` has `size` bytes: a line that
  // tests plyxpart first. A pattern that finds no file runs nothing, so a name
  // found by one is also asked for by its exact name. (Not a for over the
  // exact name inside the for of %%j: Wine's cmd gives no size there.)
  std::string UnlessSized(const std::string& suffix, std::uint64_t size, const std::string& command) const {
    const std::string unfailed = kUnfailed;
    std::string lines;
    if (!forms.plain) lines += unfailed + Named("if not exist \"%%~nj" + suffix + "\" " + command);
    return lines + unfailed + "for %%i in (" + Set(suffix) + ") do if not \"%%~zi\"==\"" + Number(size) + "\" " +
           command + "\r\n";
  }
};

// For a name beyond plain ASCII: checks that its pattern finds one first part.
void AppendSearchLines(const ScriptName& name, std::size_t units, std::string& text) {
  if (name.forms.plain) return;
  // Quoted, a pattern would do on Windows; Wine's for matches only unquoted ones.
  text +=
      "rem The name is found by its first part, with a ? for each character\r\n"
      "rem beyond plain ASCII, so no code page has to hold it. A ? also matches\r\n"
      "rem other characters, or none before a dot: one file of the name's length.\r\n"
      "set plyxc=0\r\n"
      "for %%i in (" +
      name.Set(".001") +
      ") do set /a plyxc+=1\r\n"
      "for %%i in (" +
      name.Set(".001") +
      ") do set \"plyxf=%%~i\"\r\n"
      "if \"%plyxc%\"==\"1\" if not \"%plyxf:~" +
      Number(units + 4) +
      "%\"==\"\" set plyxc=0\r\n"
      "if \"%plyxc%\"==\"1\" if \"%plyxf:~" +
      Number(units + 3) +
      "%\"==\"\" set plyxc=0\r\n"
      "if \"%plyxc%\"==\"0\" echo " +
      name.forms.shown +
      ".001 is missing - nothing was merged\r\n"
      "if not \"%plyxc%\"==\"0\" if not \"%plyxc%\"==\"1\" echo More than one file is named like " +
      name.forms.shown +
      ".001 - nothing was merged\r\n"
      "if not \"%plyxc%\"==\"1\" goto plyxfail\r\n";
}

// Fixed lines of the script: a line that holds {N} names the file (%%~nj).
void AppendLines(const ScriptName& name, std::string_view lines, std::string& text) {
  while (!lines.empty()) {
    const std::size_t end = lines.find('\n');
    std::string line(lines.substr(0, end));
    lines.remove_prefix(end + 1);
    const bool named = line.find("{N}") != std::string::npos;
    for (std::size_t at; (at = line.find("{N}")) != std::string::npos;) line.replace(at, 3, "%%~nj");
    text += named ? name.Named(line) : line + "\r\n";
  }
}

constexpr char kJoinStart[] =
    "if exist \"{N}\\*\" goto plyxfold\n"
    "set plyxpart=.000\n"
    "if exist \"{N}.000\\*\" goto plyxfold\n"
    "rem The join goes into NAME.000, and only the whole of it replaces NAME. It\n"
    "rem starts as a copy of the first part, which keeps a read-only attribute\n"
    "rem (parts off a CD), so attrib clears it before the other parts are\n"
    "rem appended; appending to an empty file is not done the same by every copy.\n"
    "rem The size is checked after each part.\n"
    "if exist \"{N}.000\" del /f /q \"{N}.000\"\n"
    "if exist \"{N}.000\" goto plyxmake\n"
    "set plyxpart=\n";

constexpr char kEnd[] =
    "echo {N} Successfully Merged !!!\n"
    "echo Thank you for using PLYX\n"
    "popd\n"
    "exit /b 0\n"
    ":plyxnodir\n"
    "echo The folder of this batch file cannot be opened - nothing was merged\n"
    "goto plyxstop\n"
    ":plyxmiss\n"
    "echo {N}%plyxpart% is missing - nothing was merged\n"
    "goto plyxfail\n"
    ":plyxsize\n"
    "echo {N}%plyxpart% does not have the size it was split with - nothing was merged\n"
    "goto plyxfail\n"
    ":plyxfold\n"
    "echo {N}%plyxpart% is a folder - nothing was merged\n"
    "goto plyxfail\n"
    ":plyxmake\n"
    "echo {N}.000 cannot be written - nothing was merged\n"
    "goto plyxfail\n"
    ":plyxjerr\n"
    "del /f /q \"{N}.000\"\n"
    "echo {N} is incomplete - the join failed at {N}%plyxpart%, {N} is as it was\n"
    "goto plyxfail\n"
    ":plyxmove\n"
    "del /f /q \"{N}.000\"\n"
    "echo {N} cannot be replaced - the join failed, {N} is as it was\n"
    ":plyxfail\n"
    "popd\n"
    ":plyxstop\n"
    "pause\n"
    "exit /b 1\n"
    ":plyxend\n";

}  // namespace

bool BuildMergeBatch(const std::u16string& name, std::uint32_t fileSize, std::uint32_t partSize,
                     std::uint32_t partCount, std::string* script) {
  if (name.empty() || partCount == 0) return false;
  const std::uint64_t fullParts = partCount - 1;
  const std::uint64_t lastSize = fileSize > fullParts * partSize ? fileSize - fullParts * partSize : 0;
  const auto sizeOf = [&](std::uint32_t i) { return i < partCount ? std::uint64_t{partSize} : lastSize; };
  const ScriptName file{FormsOf(name)};
  // Every part line tests plyxpart first, so that it names the first part that failed.
  const std::string unfailed = kUnfailed;

  std::string& text = *script;
  text.clear();
  text.reserve(4000 + name.size() * 12 + static_cast<std::size_t>(partCount) * (300 + name.size() * 8));
  text += "@echo off\r\necho ";
  text += kAppTitle;
  text += "\r\necho Merging Files ....\r\n";
  text += kPreamble;
  AppendSearchLines(file, name.size(), text);
  for (std::uint32_t i = 1; i <= partCount; ++i) {
    text += unfailed + file.Named("if not exist \"%%~nj" + PartSuffix(i) + "\" set plyxpart=" + PartSuffix(i));
  }
  text += "if not \"%plyxpart%\"==\"\" goto plyxmiss\r\n";
  for (std::uint32_t i = 1; i <= partCount; ++i) {
    // Each part is there, asked for by its exact name above.
    text += unfailed + "for %%i in (" + file.Set(PartSuffix(i)) + ") do if not \"%%~zi\"==\"" + Number(sizeOf(i)) +
            "\" set plyxpart=" + PartSuffix(i) + "\r\n";
  }
  text += "if not \"%plyxpart%\"==\"\" goto plyxsize\r\n";
  AppendLines(file, kJoinStart, text);
  std::uint64_t joined = 0;
  for (std::uint32_t i = 1; i <= partCount; ++i) {
    joined += sizeOf(i);
    const std::string part = "\"%%~nj" + PartSuffix(i) + "\"";
    if (i == 1 && sizeOf(i) == 0) {
      // The one part of an empty source: copy skips empty files.
      text += unfailed + file.Named("type nul >\"%%~nj.000\"");
    } else if (i == 1) {
      text += unfailed + file.Named("copy /y /b " + part + " \"%%~nj.000\" >nul");
      // Hidden or system, attrib would not clear read-only alone. -r goes last:
      // Wine's attrib takes only the last switch.
      text += unfailed + file.Named("attrib -h -s -r \"%%~nj.000\" >nul 2>&1");
    } else {
      text += unfailed + file.Named("copy /y /b \"%%~nj.000\"+" + part + " \"%%~nj.000\" >nul");
    }
    text += file.UnlessSized(".000", joined, "set plyxpart=" + PartSuffix(i));
  }
  text += "if not \"%plyxpart%\"==\"\" goto plyxjerr\r\n";
  text += file.Named("move /y \"%%~nj.000\" \"%%~nj\" >nul");
  text += file.Named("if exist \"%%~nj.000\" goto plyxmove");
  text += file.Named("if not exist \"%%~nj\" goto plyxmove");
  AppendLines(file, kEnd, text);
  return true;
}

static std::uint32_t BatchFailed(SplitUi& ui) {
  ui.Ask(SplitQuestion::kFailure, MessageOf(MessageId::kBatchFailed).text);
  return kStatusBatchFailed;
}

std::uint32_t WriteMergeBatch(SplitJobRecord& job, std::uint32_t partSize, SplitUi& ui, DiskSpace& disk) {
  const char* name = FileNamePart(job.sourcePath);
  char batchPath[kPathBufferSize];
  if (!AddTrailingSeparator(job.destFolder, sizeof job.destFolder)) return BatchFailed(ui);
  const int pathLength = std::snprintf(batchPath, sizeof batchPath, "%s%s.bat", job.destFolder, name);
  if (pathLength < 0 || static_cast<std::size_t>(pathLength) >= sizeof batchPath) { return BatchFailed(ui); }

  if (FileExists(batchPath)) {
    char question[kQuestionBufferSize];
    ComposeMessage(question, sizeof question, MessageId::kOverwriteQuestion, batchPath);
    // A cancel confirmed while the question was open counts as its answer.
    if (ui.Ask(SplitQuestion::kOverwrite, question) != SplitAnswer::kOk || job.cancelRequested) {
      ++job.currentPart;
      return kStatusOverwriteDeclined;
    }
  }

  std::u16string wideName;
  std::string script;
  if (!NameInUtf16(name, &wideName) || !BuildMergeBatch(wideName, job.fileSize, partSize, job.partCount, &script) ||
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
