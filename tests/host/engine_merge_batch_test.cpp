// The merge batch text byte for byte, and writing it beside the parts.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "merge_batch.h"
#include "support/engine_fakes.h"
#include "support/temp_folder.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

std::string Build(const std::string& name, std::uint32_t parts) {
  std::string script;
  EXPECT_TRUE(BuildMergeBatch(name.c_str(), parts, &script)) << name;
  return script;
}

int CountOf(const std::string& text, const std::string& piece) {
  int n = 0;
  for (auto at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++n;
  return n;
}

TEST(MergeBatchText, MatchesTheWorkedExampleByteForByte) {
  const std::string expected =
      "@echo off\r\n"
      "echo PLYX - Quorvant Ver 1.4\r\n"
      "echo Merging Files ....\r\n"
      "copy /b \"movie.avi.001\" \"movie.avi\"\r\n"
      "copy /b \"movie.avi\"+\"movie.avi.002\" \"movie.avi\"\r\n"
      "copy /b \"movie.avi\"+\"movie.avi.003\" \"movie.avi\"\r\n"
      "echo movie.avi Successfully Merged !!!\r\n"
      "echo Thank you for using PLYX";
  const std::string script = Build("movie.avi", 3);
  EXPECT_EQ(script, expected);
  EXPECT_EQ(script.size(), 270u);
}

TEST(MergeBatchText, HasOneLinePerPartAndTheLengthOfTheFormula) {
  const struct {
    const char* name;
    std::uint32_t parts;
  } cases[] = {{"movie.avi", 1}, {"movie.avi", 2}, {"movie.avi", 999}, {"a", 1},
               {"my holiday film.mpg", 57}};
  const std::size_t title = sizeof kAppTitle - 1;
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " x" + std::to_string(c.parts));
    const std::size_t nameLength = std::strlen(c.name);
    const std::string script = Build(c.name, c.parts);
    EXPECT_EQ(script.size(),
              122 + title + 3 * nameLength + (c.parts - 1) * (3 * nameLength + 22));
    EXPECT_EQ(CountOf(script, "copy /b "), static_cast<int>(c.parts));
    EXPECT_EQ(CountOf(script, "\r\n"), static_cast<int>(c.parts) + 4);
    char last[300];
    std::snprintf(last, sizeof last, "copy /b \"%s\"+\"%s.%03u\" \"%s\"\r\n", c.name, c.name,
                  c.parts, c.name);
    EXPECT_EQ(script.find(last) != std::string::npos, c.parts > 1);
    EXPECT_EQ(script.substr(script.size() - 14), "for using PLYX") << "no line end at the end";
  }
}

TEST(MergeBatchText, EscapesWhatTheCommandInterpreterWouldExpandOrRun) {
  const struct {
    const char* name;
    const char* copyLine;  // first copy line
    const char* echoLine;
  } cases[] = {
      {"my movie.avi", "copy /b \"my movie.avi.001\" \"my movie.avi\"\r\n",
       "echo my movie.avi Successfully Merged !!!"},
      {"100%.avi", "copy /b \"100%%.avi.001\" \"100%%.avi\"\r\n",
       "echo 100%%.avi Successfully Merged !!!"},
      {"%PATH%.avi", "copy /b \"%%PATH%%.avi.001\" \"%%PATH%%.avi\"\r\n",
       "echo %%PATH%%.avi Successfully Merged !!!"},
      {"a & del x & b.avi", "copy /b \"a & del x & b.avi.001\" \"a & del x & b.avi\"\r\n",
       "echo a ^& del x ^& b.avi Successfully Merged !!!"},
      {"up^down.avi", "copy /b \"up^down.avi.001\" \"up^down.avi\"\r\n",
       "echo up^^down.avi Successfully Merged !!!"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string script = Build(c.name, 2);
    EXPECT_NE(script.find(c.copyLine), std::string::npos) << script;
    EXPECT_NE(script.find(c.echoLine), std::string::npos) << script;
  }
}

TEST(MergeBatchText, RefusesNamesThatWouldBreakTheScript) {
  for (const char* name : {"a\r\ndel x.avi", "tab\tname", "quote\"d.avi", ""}) {
    std::string script = "unchanged";
    EXPECT_FALSE(BuildMergeBatch(name, 2, &script)) << name;
  }
}

#ifndef _WIN32
TEST(MergeBatchText, KeepsNonAsciiNamesAsTheirBytesOnPosix) {
  const std::string name = "caf\xe9.avi";
  const std::string script = Build(name, 1);
  EXPECT_NE(script.find("copy /b \"caf\xe9.avi.001\" \"caf\xe9.avi\""), std::string::npos);
  EXPECT_EQ(script.size(), 122 + sizeof kAppTitle - 1 + 3 * name.size());
}
#endif

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
    job.partCount = 3;
    job.currentPart = 4;
  }
};

TEST_F(MergeBatchFile, AnExistingBatchIsReplacedWholeOnOK) {
  WriteBytes(batch, std::string(5000, 'z'));
  ui.answers = {SplitAnswer::kOk};
  EXPECT_EQ(WriteMergeBatch(job, ui, disk), kStatusOk);
  EXPECT_EQ(ReadBytes(batch), Build("movie.avi", 3));
  EXPECT_EQ(ui.Asked(SplitQuestion::kOverwrite),
            std::vector<std::string>{batch + " exists already, do you want to OverWrite it?"});
  EXPECT_EQ(job.currentPart, 4u);
}

TEST_F(MergeBatchFile, AnExistingBatchIsKeptOnCancelAndTheSplitReadsAsCancelled) {
  WriteBytes(batch, "keep me");
  ui.answers = {SplitAnswer::kCancel};
  EXPECT_EQ(WriteMergeBatch(job, ui, disk), kStatusOverwriteDeclined);
  EXPECT_EQ(ReadBytes(batch), "keep me");
  EXPECT_EQ(job.currentPart, 5u);
  EXPECT_EQ(ui.Count("ask failure"), 0);
  EXPECT_TRUE(disk.roots.empty());
}

TEST_F(MergeBatchFile, TheDiskCheckIsAskedForTheScriptsExactLength) {
  disk.freeBytes = {269, 270};
  disk.removable = true;
  ui.answers = {SplitAnswer::kRetry};
  EXPECT_EQ(WriteMergeBatch(job, ui, disk), kStatusOk);
  EXPECT_EQ(ui.Asked(SplitQuestion::kInsertDisk),
            std::vector<std::string>{"Insert another Disk which has atleast 270 bytes free \n"
                                     "                            and retry"});
  EXPECT_EQ(SizeOf(batch), 270u);
}

TEST_F(MergeBatchFile, FailuresShowTheBatchMessageAndLeaveNoBatchFile) {
  // A full fixed disk.
  disk.freeBytes = {100};
  EXPECT_EQ(WriteMergeBatch(job, ui, disk), kStatusBatchFailed);
  EXPECT_EQ(ui.Asked(SplitQuestion::kFailure),
            std::vector<std::string>{"Unable to Create BAT File 8000"});
  EXPECT_FALSE(Exists(batch));
  EXPECT_EQ(job.currentPart, 4u);

  // A folder in the batch's place cannot be opened as a file, and stays.
  disk = FakeDiskSpace();
  ui = ScriptedUi();
  std::filesystem::create_directory(batch);
  ui.answers = {SplitAnswer::kOk};
  EXPECT_EQ(WriteMergeBatch(job, ui, disk), kStatusBatchFailed);
  EXPECT_EQ(ui.Asked(SplitQuestion::kFailure),
            std::vector<std::string>{"Unable to Create BAT File 8000"});
  EXPECT_TRUE(std::filesystem::is_directory(batch));
}

#ifndef _WIN32
TEST_F(MergeBatchFile, AScriptThatCannotBeWrittenWholeIsRemoved) {
  if (!Exists("/dev/full")) GTEST_SKIP() << "no /dev/full to fail the writes";
  ASSERT_EQ(::symlink("/dev/full", batch.c_str()), 0);
  ui.answers = {SplitAnswer::kOk};
  EXPECT_EQ(WriteMergeBatch(job, ui, disk), kStatusBatchFailed);
  EXPECT_EQ(ui.Asked(SplitQuestion::kFailure),
            std::vector<std::string>{"Unable to Create BAT File 8000"});
  EXPECT_FALSE(std::filesystem::is_symlink(batch));
}
#endif

}  // namespace
