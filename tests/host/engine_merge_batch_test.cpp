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

std::string Build(const std::string& name, std::uint32_t parts) {
  std::string script;
  EXPECT_TRUE(BuildMergeBatch(name.c_str(), parts * 200000 - 1000, 200000, parts, &script)) << name;
  return script;
}

TEST(MergeBatchText, KeepsTheEightLinesOfTheJoinInTheirOrder) {
  // The receiver's join is unchanged; checks only come before and between.
  const std::string script = Build("movie.avi", 3);
  const Texts lines = {"@echo off\r\necho PLYX - Quorvant Ver 1.4\r\necho Merging Files ....\r\n",
                       "\r\ncopy /b \"movie.avi.001\" \"movie.avi\"\r\n"
                       "copy /b \"movie.avi\"+\"movie.avi.002\" \"movie.avi\"\r\n"
                       "copy /b \"movie.avi\"+\"movie.avi.003\" \"movie.avi\"\r\n",
                       "\r\necho movie.avi Successfully Merged !!!\r\necho Thank you for using PLYX"};
  EXPECT_EQ(script.find(lines[0]), 0u);
  EXPECT_NE(script.find(lines[1]), std::string::npos) << script;
  EXPECT_EQ(script.find(lines[2]), script.size() - lines[2].size()) << "no line end after the last line";
}

// Input handled unsafely: a line break or quote in the name would run as commands.
TEST(MergeBatchText, RefusesNamesThatWouldBreakTheScript) {
  for (const char* name : {"a\r\ndel x.avi", "tab\tname", "quote\"d.avi", ""}) EXPECT_FALSE(CanNameInBatch(name)) << name;
}

class MergeBatchFile : public ::testing::Test {
 protected:
  TempFolder temp;
  SplitJobRecord job;
  ScriptedUi ui;
  FakeDiskSpace disk;
  std::string batch = temp / "movie.avi.bat";

  void SetUp() override {
    FillJob(job, temp / "movie.avi", temp.Path(), 599000, 199000, 3);  // partSize: the last part's, as after a run
    job.currentPart = 4;
  }
};

// Lost data: an existing batch is kept on Cancel and replaced whole on OK.
TEST_F(MergeBatchFile, AnExistingBatchIsReplacedWholeOnOKAndKeptOnCancel) {
  const std::string script = Build("movie.avi", 3);
  for (bool ok : {true, false}) {
    SCOPED_TRACE(ok ? "OK" : "Cancel");
    ui = ScriptedUi();
    WriteBytes(batch, std::string(5000, 'z'));
    ui.answers = {ok ? SplitAnswer::kOk : SplitAnswer::kCancel};
    EXPECT_EQ(WriteMergeBatch(job, 200000, ui, disk), ok ? kStatusOk : kStatusOverwriteDeclined);
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
      [&] { disk.failClose = 0; },  // guards: a failed close passed for a written batch
#ifndef _WIN32
      [&] { ASSERT_EQ(::symlink("/dev/full", batch.c_str()), 0); },  // a link in its place is not followed
#endif
  };
  for (const auto& setUp : setUps) {
    ui = ScriptedUi(), disk = FakeDiskSpace();
    ui.answers = {SplitAnswer::kOk};
    setUp();
    EXPECT_EQ(WriteMergeBatch(job, 200000, ui, disk), kStatusBatchFailed);
    EXPECT_EQ(ui.Asked(SplitQuestion::kFailure), Texts{"Unable to Create BAT File 8000"});
    EXPECT_EQ(job.currentPart, 4u);
    EXPECT_FALSE(std::filesystem::is_regular_file(batch));
    std::filesystem::remove(batch);
  }
}

}  // namespace
