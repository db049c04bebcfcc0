// The merge batch text byte for byte, and writing it beside the parts. That
// cmd.exe joins by it, whatever the name holds, is proven in tests/win.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "merge_batch.h"
#include "support/files.h"
#include "support/split_fakes.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

using Texts = std::vector<std::string>;

TEST(MergeBatchText, MatchesTheWorkedExampleByteForByte) {
  std::string script;
  ASSERT_TRUE(BuildMergeBatch("movie.avi", 3, &script));
  EXPECT_EQ(script,
            "@echo off\r\n"
            "echo PLYX - Quorvant Ver 1.4\r\n"
            "echo Merging Files ....\r\n"
            "copy /b \"movie.avi.001\" \"movie.avi\"\r\n"
            "copy /b \"movie.avi\"+\"movie.avi.002\" \"movie.avi\"\r\n"
            "copy /b \"movie.avi\"+\"movie.avi.003\" \"movie.avi\"\r\n"
            "echo movie.avi Successfully Merged !!!\r\n"
            "echo Thank you for using PLYX");
}

// Input handled unsafely: a line break or quote in the name would run as commands.
TEST(MergeBatchText, RefusesNamesThatWouldBreakTheScript) {
  std::string script;
  for (const char* name : {"a\r\ndel x.avi", "tab\tname", "quote\"d.avi", ""}) {
    EXPECT_FALSE(BuildMergeBatch(name, 2, &script)) << name;
  }
}

class MergeBatchFile : public ::testing::Test {
 protected:
  TempFolder temp;
  SplitJobRecord job;
  ScriptedUi ui;
  FakeDiskSpace disk;
  std::string batch = temp / "movie.avi.bat";

  void SetUp() override {
    FillJob(job, temp / "movie.avi", temp.Path(), 0, 1, 3);
    job.currentPart = 4;
  }
};

// Lost data: an existing batch is kept on Cancel and replaced whole on OK.
TEST_F(MergeBatchFile, AnExistingBatchIsReplacedWholeOnOKAndKeptOnCancel) {
  std::string script;
  ASSERT_TRUE(BuildMergeBatch("movie.avi", 3, &script));
  for (bool ok : {true, false}) {
    SCOPED_TRACE(ok ? "OK" : "Cancel");
    ui = ScriptedUi();
    WriteBytes(batch, std::string(5000, 'z'));
    ui.answers = {ok ? SplitAnswer::kOk : SplitAnswer::kCancel};
    EXPECT_EQ(WriteMergeBatch(job, ui, disk), ok ? kStatusOk : kStatusOverwriteDeclined);
    EXPECT_EQ(ReadBytes(batch), ok ? script : std::string(5000, 'z'));
    EXPECT_EQ(ui.Asked(SplitQuestion::kOverwrite), Texts{batch + " exists already, do you want to OverWrite it?"});
    EXPECT_EQ(job.currentPart, ok ? 4u : 5u) << "a declined batch reads as a cancelled split";
  }
  EXPECT_EQ(disk.roots.size(), 1u) << "a kept batch needs no disk check";
}

// Corrupted data: a batch that cannot be written whole must not stay half written.
TEST_F(MergeBatchFile, FailuresShowTheBatchMessageAndLeaveNoBatchFile) {
  const std::function<void()> setUps[] = {
      [&] { disk.freeBytes = {100}; },                    // a full fixed disk
      [&] { std::filesystem::create_directory(batch); },  // a folder in the batch's place
#ifndef _WIN32
      [&] { ASSERT_EQ(::symlink("/dev/full", batch.c_str()), 0); },  // written, then the disk is full
#endif
  };
  for (const auto& setUp : setUps) {
    ui = ScriptedUi(), disk = FakeDiskSpace();
    ui.answers = {SplitAnswer::kOk};
    setUp();
    EXPECT_EQ(WriteMergeBatch(job, ui, disk), kStatusBatchFailed);
    EXPECT_EQ(ui.Asked(SplitQuestion::kFailure), Texts{"Unable to Create BAT File 8000"});
    EXPECT_EQ(job.currentPart, 4u);
    EXPECT_FALSE(std::filesystem::is_regular_file(batch) || std::filesystem::is_symlink(batch));
    std::filesystem::remove(batch);
  }
}

}  // namespace
