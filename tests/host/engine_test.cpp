// The engine on real files, with scripted answers and disk figures; tests/win runs the batch.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "disk_file.h"
#include "file_system.h"
#include "merge_batch.h"
#include "path_text.h"
#include "size_presets.h"
#include "split_run.h"
#include "split_worker.h"
#include "support/files.h"
#include "support/split_fakes.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

using Texts = std::vector<std::string>;

// Lost data: a refused create-new, or a refused open of a file another program holds, cut it.
TEST(DiskFile, WritingEmptiesAFileAndARefusedOpenKeepsIt) {
  TempFolder temp;
  const std::string path = temp / "file.bin";
  WriteBytes(path, std::string(1000, 'o'));
  DiskFile file;
  EXPECT_FALSE(file.Open(kDiskFileRead, temp.Path().c_str())) << "a folder";
  EXPECT_FALSE(file.Open(kDiskFileCreateNew, path.c_str()));
  EXPECT_EQ(SizeOf(path), 1000u);
  ASSERT_TRUE(file.Open(kDiskFileWrite, path.c_str()));
  EXPECT_EQ(SizeOf(path), 0u) << "emptied before the first write";
  EXPECT_TRUE(file.Write("new", 3));
  EXPECT_TRUE(file.Close());
  for (std::uint32_t heldAs : {kDiskFileRead, kDiskFileWrite}) {
    SCOPED_TRACE(heldAs);
    {
      DiskFile holder, other;
      ASSERT_TRUE(holder.Open(heldAs, path.c_str()));
      if (heldAs == kDiskFileWrite) { ASSERT_TRUE(holder.Write("new", 3)); }
      for (std::uint32_t mode : {kDiskFileRead, kDiskFileWrite}) {
        EXPECT_FALSE(other.Open(mode, path.c_str())) << "then opened as " << mode;
        EXPECT_FALSE(other.IsOpen());
      }
    }
    EXPECT_EQ(ReadBytes(path), "new");
  }
}

std::string Script(const std::u16string& name, std::uint32_t fileSize, std::uint32_t partSize, std::uint32_t count) {
  std::string script;
  EXPECT_TRUE(BuildMergeBatch(name, fileSize, partSize, count, &script));
  return script;
}

// The script's lines, each printable ASCII and all but the thanks ending in CR LF; every
// goto finds its label, which command.com tells by its first 8 characters.
Texts ScriptLines(const std::u16string& name, std::uint32_t fileSize, std::uint32_t partSize, std::uint32_t count) {
  const std::string script = Script(name, fileSize, partSize, count);
  Texts lines, targets;
  std::multiset<std::string> labels;
  std::set<std::string> firstEight;
  for (std::size_t at = 0, end; at < script.size(); at = end + 2) {
    const std::string& line =
        lines.emplace_back(script.substr(at, (end = std::min(script.find("\r\n", at), script.size())) - at));
    EXPECT_EQ(end < script.size(), line != "echo Thank you for using PLYX") << "CR LF after " << line;
    EXPECT_TRUE(std::all_of(line.begin(), line.end(), [](char c) { return c >= 0x20 && c < 0x7F; })) << line;
    if (line.find("copy ") != std::string::npos) { EXPECT_EQ(line.find(">nul"), std::string::npos) << line; }
    if (line[0] == ':') labels.insert(line.substr(1)), firstEight.insert(line.substr(1, 8));
    if (line.find("goto ") != std::string::npos) targets.push_back(line.substr(line.find("goto ") + 5));
  }
  EXPECT_EQ(firstEight.size(), labels.size());
  for (const std::string& target : targets) EXPECT_EQ(labels.count(target), 1u) << "goto " << target;
  return lines;
}

// Input handled unsafely, names refused or not found: no character of a name ends a line,
// a quote or a command; a name beyond ASCII is found by a pattern (a ? per UTF-16 unit);
// NAME is replaced only after every part is checked and joined. command.com gets the
// plain join only for an ASCII name without & ^ + , ; = in lines of at most 127 characters.
TEST(MergeBatchText, IsAsciiFindsTheNameAndReplacesItOnlyAfterTheWholeJoin) {
  const std::pair<std::u16string, Texts> cases[] = {
      {u"movie.avi",
       {"@echo off", std::string("echo ") + kAppTitle, "echo Merging Files ....",
        "setlocal EnableExtensions DisableDelayedExpansion", "pushd \"%~dp0\"",
        "(\"movie.avi.001\") do if not exist \"%%~nj.003\" set plyxpart=.003",
        "(\"movie.avi.003\") do if not \"%%~zi\"==\"50000\"", "if exist \"%%~nj.000\" goto plyxway",
        "copy /y /b \"%%~nj.001\" \"%%~nj.000\"", "attrib -h -s -r \"%%~nj.000\"",
        "(\"movie.avi.000\") do if not \"%%~zi\"==\"100000\"", "+\"%%~nj.003\" \"%%~nj.000\"",
        "\"%%~zi\"==\"250000\" set plyxpart=.003", "move /y \"%%~nj.000\" \"%%~nj\" >nul",
        "do if not exist \"%%~nj\" goto plyxmove", "echo Thank you for using PLYX"}},
      {u"movie.avi",
       {"if defined plyxok goto plyxinit", "copy /b \"movie.avi.001\" \"movie.avi\"",
        "copy /b \"movie.avi\"+\"movie.avi.003\" \"movie.avi\"", "goto plyxdone", ":plyxinit", ":plyxdone",
        "echo movie.avi Successfully Merged !!!"}},
      {u"100% & ^ (1),;=!.bin",
       {"echo This batch file needs Windows 2000 or later - nothing was merged", "goto plyxbye", ":plyxinit",
        "for %%j in (\"100%% & ^ (1),;=!.bin.001\") do echo %%~nj Successfully Merged !!!", ":plyxbye"}},
      // Bound: % doubled, join lines of 125 and 128 characters.
      {u"50% (1)" + std::u16string(27, u'n'),
       {"copy /b \"50%% (1)nn", "goto plyxdone", ":plyxinit", "echo 50%% (1)nn"}},
      {u"50% (1)" + std::u16string(28, u'n'), {"needs Windows 2000", "goto plyxbye", ":plyxinit"}},
      {u"a+b.bin", {"needs Windows 2000", ":plyxinit"}},
      {u"John\u2019s notes \u2013 final \u20ac.doc",
       {"for %%i in (John?s?notes???final??.doc.001) do set /a plyxc+=1", "if not \"%plyxf:~30%\"==\"\" set plyxc=0",
        "if \"%plyxf:~29%\"==\"\" set plyxc=0", "echo John?s notes ? final ?.doc.001 is missing - nothing was merged",
        "(John?s?notes???final??.doc.002) do if not \"%%~zi\"==\"100000\"",
        "do if not exist \"%%~nj.000\" set plyxpart=.001",
        "(John?s?notes???final??.doc.000) do if not \"%%~zi\"==\"100000\"",
        "(John?s?notes???final??.doc.001) do echo %%~nj Successfully"}},
      {u"\u30c7\u30fc\u30bf&\u8cc7\u6599.xls",
       {"(??????.xls.001) do set \"plyxf=%%~i\"", "named like ???^&??.xls.001 - nothing"}},
      {u"\U0001F600 50%.txt",
       {"(???50?.txt.001) do set /a plyxc+=1", "if \"%plyxf:~13%\"==\"\"", "echo ?? 50%%.txt.001 is missing"}},
      {u"R\u00e9sum\u00e9 (final).doc", {"echo R?sum? ^(final^).doc.001 is missing"}},
      {u"a\r\ndel *.*\"|<>:\\x",
       {"(a??del??.???????x.001) do set /a", "echo a??del ?.???????x.001 is missing"}},  // POSIX names
  };
  for (const auto& [name, inOrder] : cases) {
    const Texts lines = ScriptLines(name, 250000, 100000, 3);
    auto at = lines.begin();
    for (const std::string& part : inOrder) {
      at = std::find_if(at, lines.end(), [&](const std::string& line) { return line.find(part) != std::string::npos; });
      ASSERT_NE(at, lines.end()) << "missing or out of order: " << part;
    }
  }
}

#ifndef _WIN32
TEST(MergeBatchText, APosixNameIsTakenAsUtf8) {
  const std::pair<const char*, std::u16string> cases[] = {
      {"caf\xc3\xa9", u"caf\u00e9"}, {"\xe2\x82\xac", u"\u20ac"},   {"\xf0\x9f\x98\x80", u"\U0001F600"},
      {"a\377b", u"a\uFFFDb"},       {"\xe2\x82", u"\uFFFD\uFFFD"}, {"\xed\xa0\x80", u"\uFFFD\uFFFD\uFFFD"}};
  std::u16string wide;
  for (const auto& [utf8, expected] : cases)
    EXPECT_EQ(NameInUtf16(utf8, &wide) ? wide : u"(refused)", expected) << utf8;
}
#endif

class SplitRun : public ::testing::Test {
 protected:
  TempFolder temp;
  std::string inFolder = temp.MakeFolder("in"), outFolder = temp.MakeFolder("out"), name = "movie.avi", data;
  SplitJobRecord job;
  ScriptedUi ui;
  FakeDiskSpace disk;

  std::size_t heapLimit = 0;  // of the copy buffer's heap; 0: none

  void Prepare(std::size_t fileSize, std::uint32_t partSize) {
    std::filesystem::remove_all(outFolder);
    std::filesystem::create_directory(outFolder);
    ui = ScriptedUi(), disk = FakeDiskSpace(), heapLimit = 0;
    WriteBytes(Source(), data = PatternBytes(fileSize));
    const auto size = static_cast<std::uint32_t>(fileSize);
    FillJob(job, Source(), outFolder, size, partSize, PartCount(size, partSize));
  }
  std::string Source() const { return inFolder + kPathSeparator + name; }
  std::string Part(unsigned n) const {
    return outFolder + kPathSeparator + name + "." + std::to_string(1000 + n).substr(1);
  }
  std::string Batch() const { return outFolder + kPathSeparator + name + ".bat"; }
  template <typename... Bytes>
  void Room(bool removable, Bytes... free) {
    disk.freeBytes = {static_cast<std::uint64_t>(free)...}, disk.removable = removable;
  }
  void CancelAt(const std::string& status) {
    ui.onStatus = [this, status](const std::string& text) {
      job.cancelRequested = job.cancelRequested || text == status;
    };
  }
  std::uint32_t Run() {
    BufferHeap heap(heapLimit);
    const std::uint32_t status = RunSplitWithHeap(job, ui, disk, heap);
    EXPECT_TRUE(ui.Count("over") == 1 && ui.events.back() == "over") << ui.Dump();
    EXPECT_TRUE(job.finished);
    return status;
  }
};

TEST_F(SplitRun, CutsTheSourceIntoNumberedPartsAndWritesTheBatch) {
  const std::pair<std::size_t, std::uint32_t> cases[] = {
      {600000, 262144},  // last part short
      {524288, 262144},  // exact multiple: last part full
      {200000, 131073},  // two chunks and one byte per part
      {0, 262144},       // one empty part, so that the batch restores the empty file
      {999 * 7 - 3, 7},  // the most parts, below one chunk each
  };
  for (const auto& [fileSize, partSize] : cases) {
    SCOPED_TRACE("file " + std::to_string(fileSize) + " at " + std::to_string(partSize));
    Prepare(fileSize, partSize);
    const std::uint32_t count = job.partCount;
    disk.freeBytes.assign(count, partSize);  // bound: exactly enough for each part
    disk.freeBytes.push_back(1u << 20);      // and for the batch
    EXPECT_EQ(Run(), kStatusOk);
    for (std::uint32_t i = 1; i <= count; ++i) {
      ASSERT_TRUE(FileHolds(Part(i), data.substr((i - 1) * std::size_t{partSize}, partSize)));
    }
    EXPECT_FALSE(Exists(Part(count + 1)));
    EXPECT_EQ(ReadBytes(Batch()), Script(u"movie.avi", job.fileSize, partSize, count));
    EXPECT_EQ(ui.Count("step"), static_cast<int>(count));
    EXPECT_EQ(ui.Count("ask"), 0) << ui.Dump();
    const std::string total = std::to_string(count);
    ASSERT_GE(ui.events.size(), 6u);
    EXPECT_EQ(Texts(ui.events.end() - 6, ui.events.end()),
              (Texts{"status Spliting file into - " + total + " of " + total + " part(s)", "step",
                     "status Creating BAT file", "fill", "pause 200", "over"}));
  }
}

// Each failure or cancel keeps the parts before it and writes no batch. Reported as cancelled
// after a failure: only the user's own answers stop a run that way.
TEST_F(SplitRun, AFailureOrCancelEndsTheRunWithItsMessageAndNoBatch) {
  DiskFile holder;       // holds the source exclusively, as another program would
  std::string oldPart2;  // an earlier part 2 that must stay as it was
  const struct {
    const char* what;
    std::function<void()> setUp;
    std::uint32_t status;
    const char* failure;  // nullptr: the run ends silently
    unsigned stopsAt;
    int steps;  // a part failed by its read or write still steps the bar
    bool byUser = false;
  } cases[] = {
      {"cancelled before the run", [&] { job.cancelRequested = true; }, kStatusOverwriteDeclined, nullptr, 1, 0, true},
      // The part cut short by a cancel must not move the bar.
      {"cancelled in part 2", [&] { CancelAt("Spliting file into - 2 of 3 part(s)"); }, kStatusOverwriteDeclined,
       nullptr, 2, 1, true},
      // Lost data: OK given after a cancel at the question emptied the old part.
      {"cancelled at the question",
       [&] {
         WriteBytes(Part(2), oldPart2 = "old part");
         ui.onAsk = [&](SplitQuestion, const std::string&, SplitAnswer) {
           return job.cancelRequested = true, SplitAnswer::kOk;
         };
       },
       kStatusOverwriteDeclined, nullptr, 2, 1, true},
      {"no copy buffer", [&] { heapLimit = 4096; }, kStatusNotStarted, MessageOf(MessageId::kMemoryFailure).text, 1, 0},
      {"source held", [&] { ASSERT_TRUE(holder.Open(kDiskFileRead, Source().c_str())); }, kStatusNotStarted,
       "Unable to Open Source File 999", 1, 0},
      // Lost data: a source grown since it was chosen lost its tail (one size check: shrunk too).
      {"source grew", [&] { WriteBytes(Source(), PatternBytes(700000)); }, kStatusReadFailed, "Split Cancelled : 5000",
       1, 0},
      {"a folder has the part's name", [&] { std::filesystem::create_directory(Part(2)); }, kStatusCreateFailed,
       "Unable to Create Destination File : 2000", 2, 1},
      // A failure reported as success: a part whose close failed counted as written.
      {"part 2 fails at its close", [&] { disk.failClose = 1; }, kStatusWriteFailed, "Split Cancelled : 6000", 2, 2},
      {"part 2 fails at a write", [&] { disk.failWrite = 4; }, kStatusWriteFailed, "Split Cancelled : 6000", 2, 2},
      // Bound: one byte short of a part is no room.
      {"full at the second part", [&] { Room(false, 262144, 262143); }, kStatusNoRoom, "Split Cancelled : 4000", 2, 1},
      {"no other disk inserted", [&] { Room(true, 10), ui.answers.assign(1, SplitAnswer::kRetry); }, kStatusNoRoom,
       "Split Cancelled : 4000", 1, 0, true},
      // Corrupted data: a batch that cannot be written whole must not stay half written.
      {"a full fixed disk for the batch", [&] { Room(false, 1u << 20, 1u << 20, 1u << 20, 100); }, kStatusBatchFailed,
       "Unable to Create BAT File 8000", 4, 3},
      // The user's answer, not a failure: the batch's prompt given up reads as a cancel.
      {"no other disk for the batch", [&] { Room(true, 1u << 20, 1u << 20, 1u << 20, 100), ui.answers.clear(); },
       kStatusNoRoom, "Unable to Create BAT File 8000", 4, 3, true},
      {"a folder has the batch's name", [&] { std::filesystem::create_directory(Batch()); }, kStatusBatchFailed,
       "Unable to Create BAT File 8000", 4, 3},
      // A failure reported as success: a failed close passed for a written batch.
      {"the batch fails at its close", [&] { disk.failClose = 3; }, kStatusBatchFailed,
       "Unable to Create BAT File 8000", 4, 3},
      {"query fails", [&] { disk.failQuery = 0; }, kStatusQueryFailed, "Disk Full : 1000", 1, 0},
      {"query fails after retry", [&] { Room(true, 1000), disk.failQuery = 1, ui.answers = {SplitAnswer::kRetry}; },
       kStatusRetryQueryFailed, "Split Cancelled : 3000", 1, 0},
#ifndef _WIN32  // POSIX locks are advisory: the open source can be cut short
      {"source cut short in part 2",
       [&] {
         ui.onStatus = [&](const std::string& text) {
           if (text == "Spliting file into - 2 of 3 part(s)")
             std::filesystem::resize_file(Source(), 262144 + 65536 + 100);
         };
       },
       kStatusReadFailed, "Split Cancelled : 5000", 2, 2},
      // Lost data and a hang: a link or FIFO in a part's place was written through.
      {"a link stands for part 2", [&] { ASSERT_EQ(::symlink("/dev/null", Part(2).c_str()), 0); }, kStatusCreateFailed,
       "Unable to Create Destination File : 2000", 2, 1},
      {"a FIFO stands for part 2", [&] { ASSERT_EQ(::mkfifo(Part(2).c_str(), 0600), 0); }, kStatusCreateFailed,
       "Unable to Create Destination File : 2000", 2, 1},
#endif
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Prepare(600000, 262144);
    oldPart2.clear();
    ui.answers = {SplitAnswer::kOk};  // to replace an existing part
    c.setUp();
    const std::uint32_t status = Run();
    EXPECT_EQ(status, c.status) << ui.Dump();
    EXPECT_EQ(OutcomeOf(job, status), c.byUser ? SplitOutcome::kStoppedByUser : SplitOutcome::kFailed);
    holder.Close();
    EXPECT_EQ(ui.Asked(SplitQuestion::kFailure), c.failure ? Texts{c.failure} : Texts{});
    EXPECT_EQ(job.currentPart, c.stopsAt);
    EXPECT_EQ(ui.Count("step"), c.steps);
    EXPECT_EQ(ui.Count("fill"), c.stopsAt == 4 ? 1 : 0) << "filled once every part is written";
    if (c.stopsAt > 1) { EXPECT_TRUE(FileHolds(Part(1), data.substr(0, 262144))); }
    EXPECT_FALSE(Exists(Part(c.stopsAt + 1)));
    EXPECT_FALSE(std::filesystem::is_regular_file(Batch()));
    if (!oldPart2.empty()) { EXPECT_EQ(ReadBytes(Part(2)), oldPart2); }
    EXPECT_EQ(std::filesystem::is_empty(outFolder), c.steps == 0) << "nothing written before the first part";
  }
}

// Lost data: an existing batch is kept on Cancel and replaced whole on OK.
TEST_F(SplitRun, AnExistingBatchIsReplacedWholeOnOKAndKeptOnCancel) {
  for (bool ok : {true, false}) {
    SCOPED_TRACE(ok ? "OK" : "Cancel");
    Prepare(600000, 262144);
    WriteBytes(Batch(), std::string(5000, 'z'));
    ui.answers = {ok ? SplitAnswer::kOk : SplitAnswer::kCancel};
    EXPECT_EQ(Run(), ok ? kStatusOk : kStatusOverwriteDeclined);
    EXPECT_EQ(ReadBytes(Batch()), ok ? Script(u"movie.avi", 600000, 262144, 3) : std::string(5000, 'z'));
    EXPECT_EQ(ui.Asked(SplitQuestion::kOverwrite), Texts{Batch() + " exists already, do you want to OverWrite it?"});
    EXPECT_EQ(job.currentPart, ok ? 4u : 5u);
    EXPECT_EQ(disk.roots.size(), ok ? 4u : 3u) << "a kept batch needs no disk check";
  }
}

// Bound: every part path that fits 260 bytes works, with its question (which refused 215 to 259).
TEST_F(SplitRun, EveryPartPathThatFitsItsBufferWorks) {
  name = "f.bin";
  const std::size_t fixed = outFolder.size() + 2 + name.size() + 4;  // "OUT/" "X/" name ".001"
  for (std::size_t length : {std::size_t{259}, std::size_t{260}}) {
    SCOPED_TRACE(length);
    Prepare(1000, 600);
    ui.answers = {SplitAnswer::kOk};
    const std::string dest = outFolder + kPathSeparator + std::string(length - fixed, 'x');
    std::filesystem::create_directory(dest);
    std::snprintf(job.destFolder, sizeof job.destFolder, "%s", dest.c_str());
    const std::string part = dest + kPathSeparator + name + ".001";
    ASSERT_EQ(part.size(), length);
    WriteBytes(part, "old");
    const bool fits = length < kPathBufferSize;
    EXPECT_EQ(Run(), fits ? kStatusOk : kStatusCreateFailed);
    EXPECT_EQ(ReadBytes(part), fits ? data.substr(0, 600) : "old");
    EXPECT_EQ(ui.Asked(SplitQuestion::kOverwrite),
              fits ? Texts{part + " exists already, do you want to OverWrite it?"} : Texts{});
    EXPECT_EQ(ui.Asked(SplitQuestion::kFailure), fits ? Texts{} : Texts{MessageOf(MessageId::kPathTooLong).text});
  }
}

}  // namespace
