// The merge batch text byte for byte, and writing it beside the parts.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "merge_batch.h"
#include "support/engine_fakes.h"
#include "support/temp_folder.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

using Texts = std::vector<std::string>;

std::string Build(const std::string& name, std::uint32_t parts) {
  std::string script;
  EXPECT_TRUE(BuildMergeBatch(name.c_str(), parts, &script)) << name;
  return script;
}

TEST(MergeBatchText, MatchesTheWorkedExampleByteForByte) {
  EXPECT_EQ(Build("movie.avi", 3),
            "@echo off\r\n"
            "echo PLYX - Quorvant Ver 1.4\r\n"
            "echo Merging Files ....\r\n"
            "copy /b \"movie.avi.001\" \"movie.avi\"\r\n"
            "copy /b \"movie.avi\"+\"movie.avi.002\" \"movie.avi\"\r\n"
            "copy /b \"movie.avi\"+\"movie.avi.003\" \"movie.avi\"\r\n"
            "echo movie.avi Successfully Merged !!!\r\n"
            "echo Thank you for using PLYX");
}

TEST(MergeBatchText, QuotesAndEscapesTheNameForTheCommandInterpreter) {
  // % doubled everywhere; & and ^ escaped where the name is not quoted.
  const std::string script = Build("a & del x ^ 100%PATH%.avi", 1);
  const char copy[] = "copy /b \"a & del x ^ 100%%PATH%%.avi.001\" \"a & del x ^ 100%%PATH%%.avi\"";
  EXPECT_NE(script.find(copy), std::string::npos) << script;
  EXPECT_NE(script.find("echo a ^& del x ^^ 100%%PATH%%.avi Successfully Merged !!!"),
            std::string::npos) << script;
#ifndef _WIN32
  EXPECT_NE(Build("caf\xe9.avi", 1).find("copy /b \"caf\xe9.avi.001\" \"caf\xe9.avi\""),
            std::string::npos) << "non-ASCII names keep their bytes on POSIX";
#endif
}

TEST(MergeBatchText, RefusesNamesThatWouldBreakTheScript) {
  std::string script;
  for (const char* name : {"a\r\ndel x.avi", "tab\tname", "quote\"d.avi", ""}) EXPECT_FALSE(BuildMergeBatch(name, 2, &script)) << name;
}

class MergeBatchFile : public ::testing::Test {
 protected:
  TempFolder temp;
  SplitJobRecord job;
  ScriptedUi ui;
  FakeDiskSpace disk;
  std::string batch = temp.File("movie.avi.bat");

  void SetUp() override {
    std::snprintf(job.sourcePath, sizeof job.sourcePath, "%s", temp.File("movie.avi").c_str());
    std::snprintf(job.destFolder, sizeof job.destFolder, "%s", temp.Path().c_str());
    job.partCount = 3, job.currentPart = 4;
  }
};

TEST_F(MergeBatchFile, AnExistingBatchIsReplacedWholeOnOKAndKeptOnCancel) {
  for (bool ok : {true, false}) {
    SCOPED_TRACE(ok ? "OK" : "Cancel");
    ui = ScriptedUi();
    WriteBytes(batch, std::string(5000, 'z'));
    ui.answers = {ok ? SplitAnswer::kOk : SplitAnswer::kCancel};
    EXPECT_EQ(WriteMergeBatch(job, ui, disk), ok ? kStatusOk : kStatusOverwriteDeclined);
    EXPECT_EQ(ReadBytes(batch), ok ? Build("movie.avi", 3) : std::string(5000, 'z'));
    EXPECT_EQ(ui.Asked(SplitQuestion::kOverwrite),
              Texts{batch + " exists already, do you want to OverWrite it?"});
    EXPECT_EQ(job.currentPart, ok ? 4u : 5u) << "a declined batch reads as a cancelled split";
  }
  EXPECT_EQ(disk.roots.size(), 1u) << "a kept batch needs no disk check";
}

TEST_F(MergeBatchFile, TheDiskCheckIsAskedForTheScriptsExactLength) {
  disk.freeBytes = {269, 270};
  disk.removable = true;
  ui.answers = {SplitAnswer::kRetry};
  EXPECT_EQ(WriteMergeBatch(job, ui, disk), kStatusOk);
  EXPECT_EQ(ui.Asked(SplitQuestion::kInsertDisk),
            Texts{"Insert another Disk which has atleast 270 bytes free \n"
                  "                            and retry"});
  EXPECT_EQ(SizeOf(batch), 270u);
}

TEST_F(MergeBatchFile, FailuresShowTheBatchMessageAndLeaveNoBatchFile) {
  const std::function<void()> setUps[] = {
      [&] { disk.freeBytes = {100}; },                    // a full fixed disk
      [&] { std::filesystem::create_directory(batch); },  // a folder in the batch's place
#ifndef _WIN32  // a batch that cannot be written whole, which must not stay half written
      [&] { ASSERT_EQ(::symlink("/dev/full", batch.c_str()), 0); },
#endif
  };
  for (const auto& setUp : setUps) {
    ui = ScriptedUi();
    ui.answers = {SplitAnswer::kOk};
    disk = FakeDiskSpace();
    setUp();
    EXPECT_EQ(WriteMergeBatch(job, ui, disk), kStatusBatchFailed);
    EXPECT_EQ(ui.Asked(SplitQuestion::kFailure), Texts{"Unable to Create BAT File 8000"});
    EXPECT_EQ(job.currentPart, 4u);
    EXPECT_FALSE(std::filesystem::is_regular_file(batch) || std::filesystem::is_symlink(batch));
    std::filesystem::remove(batch);
  }
}

}  // namespace
