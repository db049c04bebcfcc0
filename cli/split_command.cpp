#include "split_command.h"

#include <atomic>
#include <cctype>
#include <csignal>
#include <cstdarg>
#include <cstring>
#include <string>

#include "disk_file.h"
#include "disk_space.h"
#include "file_system.h"
#include "path_text.h"
#include "size_presets.h"
#include "split_worker.h"
#include "terminal_ui.h"

namespace {

std::atomic<bool>* interruptFlag = nullptr;

void OnInterrupt(int) {
  if (interruptFlag != nullptr) interruptFlag->store(true);
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Squeezed(const char* text) {
  std::string out;
  for (const char* p = text; *p != '\0'; ++p) {
    if (!IsBlank(*p)) out += static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
  }
  return out;
}

std::string Trimmed(const char* text) {
  std::string out = text;
  while (!out.empty() && IsBlank(out.back())) out.pop_back();
  std::size_t start = 0;
  while (start < out.size() && IsBlank(out[start])) ++start;
  return out.substr(start);
}

// A preset's name as PART_SIZE takes it, before its note: "1.44mb" for
// "1.44 MB (Floppy Disk)".
std::string ShortForm(const SizePreset& preset) {
  const std::string full = Squeezed(preset.text);
  return full.substr(0, full.find('('));
}

const char kUsageRest[] =
    "  --overwrite: replace existing parts and batch without asking\n"
    "  Without --overwrite an existing file is replaced only when 'ok' or 'o' is\n"
    "  typed at its question on a terminal; any other answer, an empty line, the\n"
    "  end of input, Ctrl+C or no terminal keeps it. For another disk, 'retry' or\n"
    "  'r' goes on; anything else gives up. Case and surrounding blanks are ignored.\n"
    "exit codes: 0 done, 1 split failed, 2 usage, 3 source, 4 destination,\n"
    "  5 more than 999 parts, 6 cancelled\n";

// The presets from the size list itself, in its order.
std::string Usage() {
  std::string presets;
  for (std::size_t i = 0; i < kSizePresetCount; ++i) {
    if (SizePresets[i].bytes == 0) continue;
    std::string shown = ShortForm(SizePresets[i]);
    for (char& c : shown) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    presets += (presets.empty() ? "" : ", ") + shown + (static_cast<int>(i) == kFloppyPresetIndex ? " (floppy)" : "");
  }
  return "usage: plyx-split SOURCE DEST_FOLDER PART_SIZE [--overwrite]\n"
         "  PART_SIZE: bytes (digits only), or " +
         presets + "\n" + kUsageRest;
}

bool CopyPath(const char* text, char (&buffer)[kPathBufferSize]) {
  const int n = std::snprintf(buffer, sizeof buffer, "%s", text);
  return n >= 0 && static_cast<std::size_t>(n) < sizeof buffer;
}

// Refuses a destination that the run could not write into as written; 0 when
// it can.
int CheckDestination(const char* text, SplitJobRecord& job, SplitCommandIo& io) {
  if (!CopyPath(text, job.destFolder) || !AddTrailingSeparator(job.destFolder, sizeof job.destFolder)) {
    io.Print(io.err,
             "plyx-split: the destination folder path has %zu characters; a part path must "
             "stay below %zu\n",
             std::strlen(text), kPathBufferSize);
    return kExitBadDestination;
  }
  if (!FolderExists(text)) {
    io.Print(io.err,
             FileExists(text) ? "plyx-split: the destination '%s' is a file, not a folder\n"
                              : "plyx-split: the destination folder '%s' does not exist\n",
             text);
    return kExitBadDestination;
  }
  // Refused before any part is written (Program Files to a standard user).
  if (!FolderTakesNewFiles(text)) {
    io.Print(io.err, "plyx-split: %s: '%s'\n", MessageOf(MessageId::kFolderAccessDenied).text, text);
    return kExitBadDestination;
  }
  // Windows drops a trailing blank or dot from the folder's own name but not
  // from the same name before a separator: "out \" is not "out ".
  if (!FolderExists(job.destFolder)) {
    io.Print(io.err,
             "plyx-split: the destination folder '%s' cannot be written into under that "
             "name; remove the blank or dot at its end\n",
             text);
    return kExitBadDestination;
  }
  return 0;
}

}  // namespace

void SplitCommandIo::Print(std::FILE* stream, const char* format, ...) const {
  std::va_list arguments;
  va_start(arguments, format);
  std::va_list again;
  va_copy(again, arguments);
  const int length = std::vsnprintf(nullptr, 0, format, arguments);
  va_end(arguments);
  std::string text(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
  if (length > 0) std::vsnprintf(&text[0], text.size() + 1, format, again);
  va_end(again);
  if (write == nullptr || !write(stream, text)) std::fputs(text.c_str(), stream);
}

bool ParsePartSize(const char* text, std::uint32_t* bytes) {
  const std::string number = Trimmed(text);
  if (!number.empty() && number.find_first_not_of("0123456789") == std::string::npos) {
    const std::size_t first = number.find_first_not_of('0');
    if (first == std::string::npos || number.size() - first > 10) return false;
    const unsigned long long value = std::stoull(number.substr(first));
    if (value > UINT32_MAX) return false;
    *bytes = static_cast<std::uint32_t>(value);
    return true;
  }
  const std::string wanted = Squeezed(text);
  for (std::size_t i = 0; i < kSizePresetCount; ++i) {
    if (SizePresets[i].bytes == 0) continue;
    if (wanted == Squeezed(SizePresets[i].text) || wanted == ShortForm(SizePresets[i]) ||
        (static_cast<int>(i) == kFloppyPresetIndex && wanted == "floppy")) {
      *bytes = SizePresets[i].bytes;
      return true;
    }
  }
  return false;
}

int RunSplitCommand(int argc, const char* const* argv, SplitCommandIo& io) {
  bool overwrite = false;
  const char* positional[3] = {};
  int positionalIndex[3] = {};
  int count = 0;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--overwrite") == 0) {
      overwrite = true;
    } else if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      io.Print(io.out, "%s", Usage().c_str());
      return kExitOk;
    } else if (count < 3) {
      positionalIndex[count] = i;
      positional[count++] = argv[i];
    } else {
      count = 4;
    }
  }
  if (count != 3) {
    io.Print(io.err, "%s", Usage().c_str());
    return kExitUsage;
  }
  // The system's best fit would open another file: "Ωmega.bin" as "Omega.bin".
  for (int k = 0; k < 2; ++k) {
    if (io.inexactArgument != 0 && io.inexactArgument == positionalIndex[k]) {
      io.Print(io.err,
               "plyx-split: the %s name '%s' has characters that the ANSI code page "
               "cannot hold (shown as ?); rename it\n",
               k == 0 ? "source" : "destination folder", positional[k]);
      return k == 0 ? kExitBadSource : kExitBadDestination;
    }
  }

  static SplitJobRecord job;  // reached by the interrupt handler
  job.cancelRequested = false;
  std::uint32_t partSize = 0;
  if (!ParsePartSize(positional[2], &partSize)) {
    io.Print(io.err, "plyx-split: '%s' is not a part size\n%s", positional[2], Usage().c_str());
    return kExitUsage;
  }
  if (!CopyPath(positional[0], job.sourcePath)) {
    io.Print(io.err, "plyx-split: the source path is longer than %zu characters\n", kPathBufferSize - 1);
    return kExitBadSource;
  }
  if (const int refused = CheckDestination(positional[1], job, io)) return refused;

  std::uint64_t sourceSize = 0;
  {
    DiskFile source;
    if (!source.Open(kDiskFileRead, job.sourcePath)) {
      io.Print(io.err, "plyx-split: cannot open the source file '%s'\n", job.sourcePath);
      return kExitBadSource;
    }
    sourceSize = source.FullSize();
  }
  if (sourceSize > UINT32_MAX) {
    io.Print(io.err, "plyx-split: '%s' has 4 GB or more; PLYX cannot handle files bigger than 4GB\n", job.sourcePath);
    return kExitBadSource;
  }
  job.fileSize = static_cast<std::uint32_t>(sourceSize);
  job.partSize = partSize;
  job.partCount = PartCount(job.fileSize, partSize);
  if (job.partCount > kMaxParts) {
    io.Print(io.err,
             "plyx-split: %u parts of %u bytes would be needed; at most %u - choose a larger "
             "part size\n",
             static_cast<unsigned>(job.partCount), static_cast<unsigned>(partSize), static_cast<unsigned>(kMaxParts));
    return kExitTooManyParts;
  }
  job.progressMax = ProgressMaxOf(job.partCount);

  TerminalUi ui(io, job.progressMax, overwrite, job.cancelRequested);
  interruptFlag = &job.cancelRequested;
  const std::uint32_t status = RunSplit(job, ui, SystemDiskSpace());
  interruptFlag = nullptr;

  const SplitOutcome outcome = OutcomeOf(job, status);
  if (outcome == SplitOutcome::kSplit) {
    io.Print(io.out, "Split '%s' into %u part(s) and %s.bat in %s\n", job.sourcePath,
             static_cast<unsigned>(job.partCount), FileNamePart(job.sourcePath), job.destFolder);
    std::fflush(io.out);
    return kExitOk;
  }
  if (outcome == SplitOutcome::kStoppedByUser) {
    io.Print(io.err, "plyx-split: %s\n", MessageOf(MessageId::kSplitStopped).text);
    return kExitCancelled;
  }
  return kExitSplitFailed;
}

void InstallSignalHandlers() {
#ifdef _WIN32
  std::signal(SIGINT, OnInterrupt);
#else
  // No SA_RESTART: a question waiting for its line must see the interrupt.
  struct sigaction interrupt = {};
  interrupt.sa_handler = OnInterrupt;
  sigemptyset(&interrupt.sa_mask);
  sigaction(SIGINT, &interrupt, nullptr);
  // A reader that went away (plyx-split ... | head -1) must not end the split.
  std::signal(SIGPIPE, SIG_IGN);
#endif
}
