#include "merge_batch.h"

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <utility>

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

// Read as syntax by cmd.exe in an unquoted argument, so escaped with ^ where
// a name is shown (^( prints "(" on Windows too, and Wine's cmd reads ( in an
// if as the start of a block). % is doubled instead. " < > | never reach a
// shown name: no Windows name holds them, and they are shown as ?.
bool IsCmdSpecial(char ascii) { return std::string_view("&^()<>|").find(ascii) != std::string_view::npos; }

// The name in the forms the script writes it, all ASCII.
struct BatchName {
  bool plain = true;    // every character as itself, so the script names it directly
  bool dos = true;      // plain, and read alike by command.com (see AppendDosLines)
  std::string quoted;   // for between double quotes: % doubled (cmd expands %VAR% there too)
  std::string pattern;  // a ? for each UTF-16 unit that is not plain in a pattern
  std::string shown;    // for an echo line: a ? for each unit that is not plain,
                        // cmd's special characters escaped, % doubled
};

BatchName FormsOf(const std::u16string& name) {
  BatchName forms;
  for (char16_t c : name) {
    const bool inQuotes = IsPlainInQuotes(c);
    forms.plain = forms.plain && inQuotes;
    const char ascii = inQuotes ? static_cast<char>(c) : '?';
    forms.dos = forms.dos && std::string_view("&^+,;=").find(ascii) == std::string_view::npos;
    forms.pattern += IsPlainInPattern(c) ? ascii : '?';
    if (ascii == '%') forms.quoted += '%', forms.shown += '%';
    if (IsCmdSpecial(ascii)) forms.shown += '^';
    forms.quoted += ascii;
    forms.shown += ascii;
  }
  forms.dos = forms.dos && forms.plain;
  return forms;
}

std::string Number(std::uint64_t value) { return std::to_string(value); }

std::string PartSuffix(std::uint32_t i) {
  char suffix[8];
  std::snprintf(suffix, sizeof suffix, ".%03u", static_cast<unsigned>(i) % 1000);
  return suffix;
}

void ReplaceAll(std::string& text, const char* mark, const std::string& by) {
  for (std::size_t at = 0; (at = text.find(mark, at)) != std::string::npos; at += by.size()) text.replace(at, 3, by);
}

// The batch's line `id` with `name` and `part` in place of {N} and {P}.
std::string Says(BatchSays id, const std::string& name, const std::string& part = "") {
  std::string line = kBatchLines[static_cast<std::size_t>(id)];
  ReplaceAll(line, "{N}", name);
  ReplaceAll(line, "{P}", part);
  return line;
}

// Comments in the script never hold % (expanded even in a rem line) nor < > |
// (command.com redirects a rem line).
constexpr char kPreamble[] =
    "rem Command extensions on and delayed expansion off for this batch alone,\r\n"
    "rem whatever the registry of this Windows says: the checks below need the\r\n"
    "rem extensions, and delayed expansion would take every ! out of a name.\r\n"
    "rem command.com of Windows 95, 98 and Me reads neither the setlocal nor the\r\n"
    "rem if defined line: it goes on below with the plain join, or says why not.\r\n"
    "setlocal EnableExtensions DisableDelayedExpansion\r\n"
    "set plyxok=1\r\n"
    "if defined plyxok goto plyxinit\r\n";

constexpr char kInit[] =
    ":plyxinit\r\n"
    "rem The parts lie beside this batch, wherever it was started from: Explorer\r\n"
    "rem starts a batch on a network share in the Windows folder, Run as\r\n"
    "rem administrator in System32. pushd lends a network folder a drive letter.\r\n"
    "pushd \"%~dp0\"\r\n"
    "if errorlevel 1 goto plyxnodir\r\n"
    "rem COPYCMD=/-Y would make copy ask, even in a batch.\r\n"
    "set COPYCMD=\r\n"
    "set plyxpart=\r\n";

// Windows 95, 98 and Me's command.com cannot be run here (Wine has none), so
// these lines rest on its known behaviour, untested: it prints an error for
// an unknown command (setlocal) and for an if it cannot parse (if defined) and
// goes on with the next line; it has no & ^ ( ) syntax, so a name holding & or
// ^, which cmd needs escaped, would be shown otherwise by it and is refused;
// %% gives %; its copy takes quoted long names, but whether it keeps + , ; =
// (its operator and separators) inside quotes is not known, so a name holding
// one is refused rather than risk a join into another name; a goto compares
// only the first 8 characters of a label (each label here is unique in them);
// it takes at most 127 characters of a command, so a longer join line is
// refused rather than cut. A name beyond ASCII is found only by cmd's for:
// refused there too.
constexpr std::size_t kDosLineLimit = 127;

// The lines command.com runs; true when they join (else they refuse).
bool AppendDosLines(const BatchName& forms, std::uint32_t partCount, std::string& text) {
  const std::string name = "\"" + forms.quoted + "\"";
  const auto append = [&](std::uint32_t i) {
    return "copy /b " + name + "+\"" + forms.quoted + PartSuffix(i) + "\" " + name + "\r\n";
  };
  // The longest lines it would run, CR LF included: an append, the closing echo.
  const std::size_t longest = std::max(append(2).size(), Says(BatchSays::kMerged, forms.quoted).size() + 7);
  if (!forms.dos || longest > kDosLineLimit + 2) {
    text += "echo " + Says(BatchSays::kNeedsWindows2000, "") + "\r\npause\r\ngoto plyxbye\r\n";
    return false;
  }
  text += "copy /b \"" + forms.quoted + ".001\" " + name + "\r\n";
  for (std::uint32_t i = 2; i <= partCount; ++i) text += append(i);
  text += "goto plyxdone\r\n";
  return true;
}

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
      Says(BatchSays::kMissing, name.forms.shown, ".001") +
      "\r\n"
      "if not \"%plyxc%\"==\"0\" if not \"%plyxc%\"==\"1\" echo " +
      Says(BatchSays::kAmbiguous, name.forms.shown) +
      "\r\n"
      "if not \"%plyxc%\"==\"1\" goto plyxfail\r\n";
}

// Fixed lines of the script: a line that holds {N} names the file (%%~nj).
void AppendLines(const ScriptName& name, std::string_view lines, std::string& text) {
  while (!lines.empty()) {
    const std::size_t end = lines.find('\n');
    std::string line(lines.substr(0, end));
    lines.remove_prefix(end + 1);
    const bool named = line.find("{N}") != std::string::npos;
    ReplaceAll(line, "{N}", "%%~nj");
    text += named ? name.Named(line) : line + "\r\n";
  }
}

// The line `says`, shown through %%~nj where it names the file: a name read
// from a file is never parsed as part of a command.
std::string EchoLine(const ScriptName& name, BatchSays says) {
  std::string line = "echo " + Says(says, "%%~nj", "%plyxpart%");
  return line.find("%%~nj") != std::string::npos ? name.Named(line) : line + "\r\n";
}

constexpr char kJoinStart[] =
    "if exist \"{N}\\*\" goto plyxfold\n"
    "set plyxpart=.000\n"
    "if exist \"{N}.000\\*\" goto plyxfold\n"
    "rem The join goes into NAME.000, and only the whole of it replaces NAME. A\n"
    "rem NAME.000 that is here already is not this batch's: it stays untouched.\n"
    "if exist \"{N}.000\" goto plyxway\n"
    "set plyxpart=\n"
    "rem The join starts as a copy of the first part, which keeps a read-only\n"
    "rem attribute (parts off a CD), so attrib clears it before the other parts\n"
    "rem are appended; appending to an empty file is not done the same by every\n"
    "rem copy. The size is checked after each part.\n";

// Where each failure goes: its label and what it shows.
constexpr std::pair<const char*, BatchSays> kFailures[] = {
    {"plyxmiss", BatchSays::kMissing}, {"plyxsize", BatchSays::kWrongSize},  {"plyxfold", BatchSays::kFolder},
    {"plyxway", BatchSays::kInTheWay}, {"plyxjerr", BatchSays::kIncomplete}, {"plyxmove", BatchSays::kNotReplaced},
};

// The end: the failure paths first, so that the file ends with the thanks.
void AppendEnd(const ScriptName& name, bool dosJoins, std::string& text) {
  // errorlevel is 0 here after the move.
  text += dosJoins ? "popd\r\ngoto plyxdone\r\n" : EchoLine(name, BatchSays::kMerged) + "popd\r\ngoto plyxbye\r\n";
  text += ":plyxnodir\r\n" + EchoLine(name, BatchSays::kNoFolder) + "goto plyxstop\r\n";
  for (const auto& [label, says] : kFailures) {
    text += std::string(":") + label + "\r\n";
    // Only the join file this batch made is removed.
    if (says == BatchSays::kIncomplete || says == BatchSays::kNotReplaced) {
      text += name.Named("if exist \"%%~nj.000\" del /f /q \"%%~nj.000\"");
    }
    text += EchoLine(name, says) + "goto plyxfail\r\n";
  }
  text += ":plyxfail\r\npopd\r\n:plyxstop\r\npause\r\nexit /b 1\r\n";
  // command.com's join ends here too: the closing lines of earlier versions.
  text += dosJoins ? ":plyxdone\r\necho " + Says(BatchSays::kMerged, name.forms.quoted) + "\r\n" : ":plyxbye\r\n";
  text += "echo " + Says(BatchSays::kThanks, "");
}

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
  text.reserve(4000 + name.size() * 12 + static_cast<std::size_t>(partCount) * (300 + name.size() * 11));
  text += "@echo off\r\necho ";
  text += kAppTitle;
  text += "\r\necho " + Says(BatchSays::kMerging, "") + "\r\n";
  text += kPreamble;
  const bool dosJoins = AppendDosLines(file.forms, partCount, text);
  text += kInit;
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
    // copy's own line, "1 file(s) copied.", shows the receiver each part go in.
    const std::string part = "\"%%~nj" + PartSuffix(i) + "\"";
    if (i == 1 && sizeOf(i) == 0) {
      // The one part of an empty source: copy skips empty files.
      text += unfailed + file.Named("type nul >\"%%~nj.000\"");
    } else if (i == 1) {
      text += unfailed + file.Named("copy /y /b " + part + " \"%%~nj.000\"");
      // Hidden or system, attrib would not clear read-only alone. -r goes last:
      // Wine's attrib takes only the last switch.
      text += unfailed + file.Named("attrib -h -s -r \"%%~nj.000\" >nul 2>&1");
    } else {
      text += unfailed + file.Named("copy /y /b \"%%~nj.000\"+" + part + " \"%%~nj.000\"");
    }
    text += file.UnlessSized(".000", joined, "set plyxpart=" + PartSuffix(i));
  }
  text += "if not \"%plyxpart%\"==\"\" goto plyxjerr\r\n";
  text += file.Named("move /y \"%%~nj.000\" \"%%~nj\" >nul");
  text += file.Named("if exist \"%%~nj.000\" goto plyxmove");
  text += file.Named("if not exist \"%%~nj\" goto plyxmove");
  AppendEnd(file, dosJoins, text);
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
  if (CheckDiskSpace(job.destFolder, length, ui, disk, &job.diskGivenUp) != kStatusOk) {
    // Given up at the prompt for another disk: the user's answer, as for a part.
    BatchFailed(ui);
    return job.diskGivenUp ? kStatusNoRoom : kStatusBatchFailed;
  }

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
