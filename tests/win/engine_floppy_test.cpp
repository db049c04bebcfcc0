// The disk check and the split run on a floppy-typed A: drive backed by a
// 1 MiB tmpfs, the medium changed while the Retry question waits.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "../host/support/engine_fakes.h"
#include "../host/support/temp_folder.h"
#include "disk_space.h"
#include "engine_win_helpers.h"
#include "merge_batch.h"
#include "split_worker.h"

namespace {

const std::string kFloppy = "A:\\";

class Floppy : public ::testing::Test {
 protected:
  void SetUp() override {
    if (GetDriveTypeA(kFloppy.c_str()) != DRIVE_REMOVABLE) {
      GTEST_SKIP() << "no floppy-typed A: drive (scripts/test.sh mounts one when run as root)";
    }
    EmptyFolder(kFloppy);
  }
  void TearDown() override {
    if (GetDriveTypeA(kFloppy.c_str()) == DRIVE_REMOVABLE) EmptyFolder(kFloppy);
  }
  // Fills the disk until `leftFree` bytes remain.
  void Fill(std::uint64_t leftFree) {
    ULARGE_INTEGER total;
    ASSERT_TRUE(GetDiskFreeSpaceExA(kFloppy.c_str(), nullptr, nullptr, &total));
    ASSERT_GT(total.QuadPart, leftFree);
    ASSERT_TRUE(WriteWholeFile(kFloppy + "filler.bin",
                               std::string(static_cast<std::size_t>(total.QuadPart - leftFree), 'f')));
  }
};

TEST_F(Floppy, ASplitGoesOnOntoTheNextDiskAfterRetry) {
  TempDir in, kept;
  const std::string data = PatternBytes(1300000, 7);
  ASSERT_TRUE(WriteWholeFile(in / "big.bin", data));
  SplitJobRecord job;
  FillJob(&job, in / "big.bin", kFloppy, 1300000, 600000, 3);
  ScriptedUi ui;
  int asked = 0;
  ui.onAsk = [&](SplitQuestion kind, const std::string&, SplitAnswer) {
    if (kind != SplitQuestion::kInsertDisk) return SplitAnswer::kOk;
    // First Retry with the same full disk; then the "new" disk: part 001 kept
    // aside and the medium emptied.
    if (++asked == 2) {
      EXPECT_TRUE(CopyFileA((kFloppy + "big.bin.001").c_str(), (kept / "big.bin.001").c_str(), TRUE));
      EmptyFolder(kFloppy);
    }
    return SplitAnswer::kRetry;
  };

  EXPECT_EQ(RunSplit(job, ui, SystemDiskSpace()), kStatusOk) << ui.Dump();

  EXPECT_EQ(asked, 2);
  EXPECT_EQ(ui.Asked(SplitQuestion::kInsertDisk)[0],
            "Insert another Disk which has atleast 600000 bytes free \n"
            "                            and retry");
  EXPECT_EQ(FileSizeOf(kFloppy + "big.bin.002"), 600000u);
  EXPECT_EQ(FileSizeOf(kFloppy + "big.bin.003"), 100000u);
  for (const char* name : {"big.bin.002", "big.bin.003", "big.bin.bat"}) {
    ASSERT_TRUE(CopyFileA((kFloppy + name).c_str(), (kept / name).c_str(), TRUE)) << name;
  }
  EXPECT_EQ(RunBatch(kept.path(), "big.bin.bat", in / "cmd.txt"), 0);
  std::string joined;
  ASSERT_TRUE(ReadWholeFile(kept / "big.bin", &joined));
  EXPECT_TRUE(joined == data);
}

TEST_F(Floppy, AWriteThatRunsOutOfRoomFailsThePart) {
  TempDir in;
  ASSERT_TRUE(WriteWholeFile(in / "x.bin", PatternBytes(1500000)));
  SplitJobRecord job;
  FillJob(&job, in / "x.bin", kFloppy, 1500000, 1500000, 1);
  ScriptedUi ui;
  FakeDiskSpace roomy;  // claims room, so that the disk itself runs out
  EXPECT_EQ(RunSplit(job, ui, roomy), kStatusWriteFailed) << ui.Dump();
  EXPECT_EQ(ui.Asked(SplitQuestion::kFailure), std::vector<std::string>{"Split Cancelled : 6000"});
  EXPECT_LT(FileSizeOf(kFloppy + "x.bin.001"), 1500000u);
  EXPECT_FALSE(PathExists(kFloppy + "x.bin.bat"));
}

TEST_F(Floppy, ABatchThatDoesNotFitLeavesNoFileBehind) {
  Fill(8192);
  SplitJobRecord job;
  FillJob(&job, "C:\\in\\a-rather-long-file-name.bin", kFloppy, 0, 1, 999);
  std::string script;
  ASSERT_TRUE(BuildMergeBatch("a-rather-long-file-name.bin", 999, &script));
  ASSERT_GT(script.size(), 8192u);

  // The real check: another disk is asked for the script's length.
  ScriptedUi ui;
  ui.answers = {SplitAnswer::kCancel};
  EXPECT_EQ(WriteMergeBatch(job, ui, SystemDiskSpace()), kStatusBatchFailed);
  EXPECT_EQ(ui.Asked(SplitQuestion::kInsertDisk)[0],
            "Insert another Disk which has atleast " + std::to_string(script.size()) +
                " bytes free \n                            and retry");
  EXPECT_FALSE(PathExists(kFloppy + "a-rather-long-file-name.bin.bat"));

  // A check that wrongly said yes: the write fails part way and the half
  // script is removed.
  ScriptedUi second;
  FakeDiskSpace roomy;
  EXPECT_EQ(WriteMergeBatch(job, second, roomy), kStatusBatchFailed);
  EXPECT_EQ(second.Asked(SplitQuestion::kFailure),
            std::vector<std::string>{"Unable to Create BAT File 8000"});
  EXPECT_FALSE(PathExists(kFloppy + "a-rather-long-file-name.bin.bat"));
}

}  // namespace
