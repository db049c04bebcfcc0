// The split run on real files in a temporary folder, with scripted answers and
// disk figures.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "disk_file.h"
#include "merge_batch.h"
#include "size_presets.h"
#include "split_run.h"
#include "split_worker.h"
#include "support/engine_fakes.h"
#include "support/temp_folder.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

class SplitRun : public ::testing::Test {
 protected:
  TempFolder temp;
  std::string inFolder = temp.MakeFolder("in");
  std::string outFolder = temp.MakeFolder("out");
  std::string name = "movie.avi";
  std::string data;
  SplitJobRecord job;
  ScriptedUi ui;
  FakeDiskSpace disk;

  void Prepare(std::size_t fileSize, std::uint32_t partSize) {
    data = PatternBytes(fileSize);
    WriteBytes(Source(), data);
    ASSERT_LT(Source().size(), sizeof job.sourcePath);
    std::snprintf(job.sourcePath, sizeof job.sourcePath, "%s", Source().c_str());
    std::snprintf(job.destFolder, sizeof job.destFolder, "%s", outFolder.c_str());
    job.fileSize = static_cast<std::uint32_t>(fileSize);
    job.partSize = partSize;
    job.partCount = PartCount(job.fileSize, partSize);
  }
  std::string Source() const { return inFolder + kPathSeparator + name; }
  std::string Part(unsigned number) const {
    char suffix[8];
    std::snprintf(suffix, sizeof suffix, ".%03u", number);
    return outFolder + kPathSeparator + name + suffix;
  }
  std::string Batch() const { return outFolder + kPathSeparator + name + ".bat"; }

  std::uint32_t Run() {
    const std::uint32_t status = RunSplit(job, ui, disk);
    EXPECT_FALSE(ui.events.empty());
    if (!ui.events.empty()) {
      EXPECT_EQ(ui.events.back(), "over") << ui.Dump();
    }
    EXPECT_EQ(ui.Count("over"), 1);
    EXPECT_TRUE(job.finished);
    return status;
  }
  std::string ExpectedBatch(std::uint32_t parts) const {
    std::string script;
    EXPECT_TRUE(BuildMergeBatch(name.c_str(), parts, &script));
    return script;
  }
};

struct LayoutCase {
  std::size_t fileSize;
  std::uint32_t partSize;
  std::vector<std::uint32_t> partSizes;
};

TEST_F(SplitRun, CutsTheSourceIntoNumberedPartsAndWritesTheBatch) {
  const LayoutCase cases[] = {
      {600000, 262144, {262144, 262144, 75712}},
      {524288, 262144, {262144, 262144}},              // exact multiple: last part full
      {1000, 262144, {1000}},                          // smaller than a part
      {262144, 262144, {262144}},                      // exactly one part
      {250000, 100000, {100000, 100000, 50000}},       // not a multiple of the chunk
      {2500, 1000, {1000, 1000, 500}},                 // below one chunk
      {200000, 131073, {131073, 68927}},               // two chunks and one byte
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("file " + std::to_string(c.fileSize) + " at " + std::to_string(c.partSize));
    std::filesystem::remove_all(outFolder);
    std::filesystem::create_directory(outFolder);
    ui.events.clear();
    Prepare(c.fileSize, c.partSize);
    const auto count = static_cast<std::uint32_t>(c.partSizes.size());
    ASSERT_EQ(job.partCount, count);

    EXPECT_EQ(Run(), kStatusOk);

    std::string joined;
    for (std::uint32_t i = 1; i <= count; ++i) {
      EXPECT_EQ(SizeOf(Part(i)), c.partSizes[i - 1]) << "part " << i;
      joined += ReadBytes(Part(i));
    }
    EXPECT_TRUE(joined == data) << "the parts do not join to the source";
    EXPECT_FALSE(Exists(Part(count + 1)));
    EXPECT_EQ(ReadBytes(Batch()), ExpectedBatch(count));
    EXPECT_EQ(job.currentPart, count + 1);
    EXPECT_EQ(job.partSize, c.partSizes.back());
    EXPECT_EQ(ui.Count("step"), static_cast<int>(count));
    EXPECT_EQ(ui.Count("ask"), 0) << ui.Dump();
    EXPECT_EQ(ui.events[0], "status Spliting file into - 1 of " + std::to_string(count) +
                                " part(s)");
    const std::size_t n = ui.events.size();
    ASSERT_GE(n, 4u);
    EXPECT_EQ(ui.events[n - 4], "status Creating BAT file");
    EXPECT_EQ(ui.events[n - 3], "fill");
    EXPECT_EQ(ui.events[n - 2], "pause 200");
  }
}

TEST_F(SplitRun, NineHundredNinetyNinePartsEndInPart999) {
  Prepare(999 * 7 - 3, 7);
  ASSERT_EQ(job.partCount, 999u);
  EXPECT_EQ(Run(), kStatusOk);
  EXPECT_EQ(SizeOf(Part(999)), 4u);
  EXPECT_EQ(SizeOf(Part(998)), 7u);
  EXPECT_EQ(ui.events[998 * 2], "status Spliting file into - 999 of 999 part(s)");
  EXPECT_EQ(ReadBytes(Batch()), ExpectedBatch(999));
  EXPECT_EQ(job.currentPart, 1000u);
}

TEST_F(SplitRun, AnEmptySourceGivesOneEmptyPartAndItsBatch) {
  Prepare(0, 262144);
  EXPECT_EQ(Run(), kStatusOk);
  ASSERT_TRUE(Exists(Part(1)));
  EXPECT_EQ(SizeOf(Part(1)), 0u);
  EXPECT_EQ(ReadBytes(Batch()), ExpectedBatch(1));
  EXPECT_EQ(job.currentPart, 2u);
  EXPECT_EQ(ui.Count("ask"), 0) << ui.Dump();
}

TEST_F(SplitRun, AnExistingPartIsReplacedOnlyWhenTheUserAgrees) {
  const std::string junk = PatternBytes(400000, 9);
  for (SplitAnswer answer : {SplitAnswer::kOk, SplitAnswer::kCancel}) {
    const bool ok = answer == SplitAnswer::kOk;
    SCOPED_TRACE(ok ? "OK" : "Cancel");
    std::filesystem::remove_all(outFolder);
    std::filesystem::create_directory(outFolder);
    ui.events.clear();
    Prepare(600000, 262144);
    WriteBytes(Part(2), junk);
    ui.answers = {answer};

    EXPECT_EQ(Run(), ok ? kStatusOk : kStatusOverwriteDeclined);

    ASSERT_EQ(ui.Asked(SplitQuestion::kOverwrite),
              std::vector<std::string>{Part(2) + " exists already, do you want to OverWrite it?"});
    EXPECT_EQ(ReadBytes(Part(1)), data.substr(0, 262144));
    if (ok) {
      EXPECT_EQ(ReadBytes(Part(2)), data.substr(262144, 262144));
      EXPECT_TRUE(Exists(Batch()));
      EXPECT_EQ(job.currentPart, 4u);
    } else {
      EXPECT_EQ(ReadBytes(Part(2)), junk);
      EXPECT_FALSE(Exists(Part(3)));
      EXPECT_FALSE(Exists(Batch()));
      EXPECT_EQ(job.currentPart, 2u);
      EXPECT_EQ(ui.Count("ask failure"), 0) << ui.Dump();
      EXPECT_EQ(ui.Count("step"), 1);
    }
  }
}

TEST_F(SplitRun, ACancelDuringAPartLeavesItShortAndWritesNoBatch) {
  Prepare(600000, 262144);
  ui.onStatus = [this](const std::string& text) {
    if (text == "Spliting file into - 2 of 3 part(s)") job.cancelRequested = true;
  };
  Run();
  EXPECT_EQ(SizeOf(Part(1)), 262144u);
  ASSERT_TRUE(Exists(Part(2)));
  EXPECT_LT(SizeOf(Part(2)), 262144u);
  EXPECT_FALSE(Exists(Part(3)));
  EXPECT_FALSE(Exists(Batch()));
  EXPECT_EQ(job.currentPart, 2u);
  EXPECT_EQ(ui.Count("step"), 1) << "the part cut short must not move the bar";
  EXPECT_EQ(ui.Count("ask"), 0) << ui.Dump();
  EXPECT_EQ(ui.Count("fill"), 0);
}

TEST_F(SplitRun, ACancelBeforeTheFirstPartEndsSilently) {
  Prepare(600000, 262144);
  job.cancelRequested = true;
  EXPECT_NE(Run(), kStatusOk);
  EXPECT_FALSE(Exists(Part(1)));
  EXPECT_EQ(ui.Count("ask"), 0) << ui.Dump();
  EXPECT_EQ(job.currentPart, 1u);
}

TEST_F(SplitRun, ASourceThatCannotBeOpenedWritesNothing) {
  Prepare(600000, 262144);
  DiskFile holder;  // held exclusively, as by another program
  ASSERT_TRUE(holder.Open(kDiskFileRead, Source().c_str()));
  EXPECT_EQ(Run(), kStatusNotStarted);
  holder.Close();
  std::filesystem::remove(Source());
  ui.events.clear();
  EXPECT_EQ(Run(), kStatusNotStarted);

  EXPECT_FALSE(Exists(Part(1)));
  EXPECT_EQ(ui.Asked(SplitQuestion::kFailure),
            std::vector<std::string>{"Unable to Open Source File 999"});
  EXPECT_TRUE(disk.roots.empty());
}

TEST_F(SplitRun, ASourceWhoseSizeChangedSinceItWasChosenIsNotSplit) {
  for (std::size_t actual : {500000u, 700000u}) {
    SCOPED_TRACE(actual);
    ui.events.clear();
    Prepare(600000, 262144);
    WriteBytes(Source(), PatternBytes(actual));
    EXPECT_EQ(Run(), kStatusReadFailed);
    EXPECT_FALSE(Exists(Part(1)));
    EXPECT_EQ(ui.Asked(SplitQuestion::kFailure),
              std::vector<std::string>{"Split Cancelled : 5000"});
  }
}

TEST_F(SplitRun, APartThatCannotBeCreatedStopsTheRun) {
  Prepare(600000, 262144);
  std::filesystem::create_directory(Part(2));  // a folder of the part's name
  ui.answers = {SplitAnswer::kOk};
  EXPECT_EQ(Run(), kStatusCreateFailed);
  EXPECT_EQ(ui.Asked(SplitQuestion::kFailure),
            std::vector<std::string>{"Unable to Create Destination File : 2000"});
  EXPECT_EQ(ui.Count("step"), 1);
  EXPECT_EQ(job.currentPart, 2u);
  EXPECT_FALSE(Exists(Batch()));
}

#ifndef _WIN32
// The source is cut short behind the run's back (POSIX locks are advisory;
// Windows keeps an exclusively opened file from being truncated).
TEST_F(SplitRun, AFailedReadStopsTheRunWithThePartHoldingWhatWasRead) {
  struct Case {
    const char* whenStatus;
    std::uintmax_t cutTo;
    unsigned failingPart;
    std::uintmax_t partHolds;
  } cases[] = {
      {"Spliting file into - 2 of 3 part(s)", 262144 + 65536 + 100, 2, 65536},
      {"Spliting file into - 3 of 3 part(s)", 524288 + 1000, 3, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.whenStatus);
    std::filesystem::remove_all(outFolder);
    std::filesystem::create_directory(outFolder);
    ui.events.clear();
    Prepare(600000, 262144);
    ui.onStatus = [&](const std::string& text) {
      if (text == c.whenStatus) std::filesystem::resize_file(Source(), c.cutTo);
    };
    EXPECT_EQ(Run(), kStatusReadFailed);
    EXPECT_EQ(SizeOf(Part(c.failingPart)), c.partHolds);
    EXPECT_EQ(job.currentPart, c.failingPart);
    EXPECT_EQ(ui.Count("step"), static_cast<int>(c.failingPart)) << "a failed part still steps";
    EXPECT_EQ(ui.Asked(SplitQuestion::kFailure),
              std::vector<std::string>{"Split Cancelled : 5000"});
    EXPECT_FALSE(Exists(Batch()));
  }
}

TEST_F(SplitRun, AFailedWriteStopsTheRun) {
  if (!Exists("/dev/full")) GTEST_SKIP() << "no /dev/full to fail the writes";
  Prepare(600000, 262144);
  ASSERT_EQ(::symlink("/dev/full", Part(2).c_str()), 0);
  ui.answers = {SplitAnswer::kOk};
  EXPECT_EQ(Run(), kStatusWriteFailed);
  EXPECT_EQ(job.currentPart, 2u);
  EXPECT_EQ(ui.Count("step"), 2);
  EXPECT_EQ(ui.Asked(SplitQuestion::kFailure),
            std::vector<std::string>{"Split Cancelled : 6000"});
  EXPECT_FALSE(Exists(Batch()));
}
#endif

TEST_F(SplitRun, ARefusedDiskCheckEndsTheRunWithItsMessage) {
  const struct {
    const char* what;
    std::uint64_t freeBytes;
    int failQuery;
    std::uint32_t status;
    const char* failure;
  } cases[] = {
      {"fixed disk full", 1000, -1, kStatusNoRoom, "Split Cancelled : 4000"},
      {"query fails", 1u << 20, 0, kStatusQueryFailed, "Disk Full : 1000"},
      {"query fails after retry", 1000, 1, kStatusRetryQueryFailed, "Split Cancelled : 3000"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ui = ScriptedUi();
    disk = FakeDiskSpace();
    disk.freeBytes = {c.freeBytes};
    disk.removable = c.failQuery == 1;
    disk.failQuery = c.failQuery;
    ui.answers = {SplitAnswer::kRetry};
    Prepare(600000, 262144);
    EXPECT_EQ(Run(), c.status) << ui.Dump();
    EXPECT_EQ(ui.Asked(SplitQuestion::kFailure), std::vector<std::string>{c.failure});
    EXPECT_FALSE(Exists(Part(1)));
    EXPECT_FALSE(Exists(Batch()));
  }
}

TEST_F(SplitRun, AFloppySwappedUntilItFitsTakesThePart) {
  Prepare(600000, 262144);
  disk.freeBytes = {1000, 2000, 1u << 20};
  disk.removable = true;
  ui.answers = {SplitAnswer::kRetry, SplitAnswer::kRetry};
  EXPECT_EQ(Run(), kStatusOk);
  EXPECT_EQ(ui.Count("ask insert"), 2);
  EXPECT_EQ(SizeOf(Part(1)), 262144u);
}

TEST_F(SplitRun, AFullDiskAtTheSecondPartKeepsTheFirst) {
  Prepare(600000, 262144);
  disk.freeBytes = {1u << 20, 1000};
  EXPECT_EQ(Run(), kStatusNoRoom);
  EXPECT_EQ(SizeOf(Part(1)), 262144u);
  EXPECT_FALSE(Exists(Part(2)));
  EXPECT_EQ(job.currentPart, 2u);
}

TEST_F(SplitRun, PathsThatWouldNotFitTheirBuffersAreRefusedBeforeAnyPart) {
  // " exists already, do you want to OverWrite it?" takes 45 of the 259
  // characters, so a part path may have at most 214.
  name = "f.bin";
  const std::size_t fixed = outFolder.size() + 1 + 1 + name.size() + 4;  // "OUT/" "X/" name ".001"
  for (std::size_t partPathLength : {std::size_t{214}, std::size_t{215}}) {
    SCOPED_TRACE(partPathLength);
    ui.events.clear();
    disk.roots.clear();
    const std::string folder = std::string(partPathLength - fixed, 'x');
    const std::string dest = outFolder + kPathSeparator + folder;
    std::filesystem::create_directory(dest);
    Prepare(1000, 600);
    std::snprintf(job.destFolder, sizeof job.destFolder, "%s", dest.c_str());
    const std::string part = dest + kPathSeparator + name + ".001";
    ASSERT_EQ(part.size(), partPathLength);

    const bool fits = partPathLength <= 214;
    EXPECT_EQ(Run(), fits ? kStatusOk : kStatusCreateFailed);
    EXPECT_EQ(Exists(part), fits);
    if (!fits) {
      EXPECT_EQ(ui.Asked(SplitQuestion::kFailure), std::vector<std::string>{kPathTooLongText});
      EXPECT_TRUE(disk.roots.empty());
    }
    std::filesystem::remove_all(dest);
  }
}

TEST_F(SplitRun, NoCopyBufferMeansNothingIsWritten) {
  Prepare(600000, 262144);
  BufferHeap tooSmall(4096);
  EXPECT_NE(RunSplitWithHeap(job, ui, disk, tooSmall), kStatusOk);
  EXPECT_EQ(ui.Asked(SplitQuestion::kFailure), std::vector<std::string>{kMemoryFailureText});
  EXPECT_FALSE(Exists(Part(1)));
  EXPECT_TRUE(disk.roots.empty());
  EXPECT_EQ(ui.events.back(), "over");
}

TEST_F(SplitRun, DecliningToReplaceTheBatchReadsAsACancel) {
  Prepare(600000, 262144);
  WriteBytes(Batch(), "old");
  ui.answers = {SplitAnswer::kCancel};
  EXPECT_EQ(Run(), kStatusOverwriteDeclined);
  EXPECT_EQ(ReadBytes(Batch()), "old");
  EXPECT_EQ(job.currentPart, job.partCount + 2);
  EXPECT_EQ(ui.Count("ask failure"), 0);
}

}  // namespace
