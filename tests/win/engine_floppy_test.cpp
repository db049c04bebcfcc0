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
  for (const char* name : {"big.bin.002", "big.bin.003", "big.bin.bat"}) {
    ASSERT_TRUE(CopyFileA((kFloppy + name).c_str(), (kept / name).c_str(), TRUE)) << name;
  }
  EXPECT_EQ(RunBatch(kept.path(), "big.bin.bat", in / "cmd.txt"), 0);
  std::string joined;
  ASSERT_TRUE(ReadWholeFile(kept / "big.bin", &joined));
  EXPECT_TRUE(joined == data);
}

// The disk checks pass (faked), the disk itself runs out: a part or a batch
// cut short by a full disk fails, and no half batch stays.
TEST_F(Floppy, AWriteThatRunsOutOfRoomFailsAndLeavesNoHalfBatch) {
  TempDir in;
  ASSERT_TRUE(WriteWholeFile(in / "x.bin", PatternBytes(1500000)));
  SplitJobRecord job;
  FillJob(&job, in / "x.bin", kFloppy, 1500000, 1500000, 1);
  ScriptedUi ui;
  FakeDiskSpace roomy;
  EXPECT_EQ(RunSplit(job, ui, roomy), kStatusWriteFailed) << ui.Dump();
  EXPECT_EQ(ui.Asked(SplitQuestion::kFailure), std::vector<std::string>{"Split Cancelled : 6000"});
  EXPECT_LT(FileSizeOf(kFloppy + "x.bin.001"), 1500000u);
  EXPECT_FALSE(PathExists(kFloppy + "x.bin.bat"));

  EmptyFolder(kFloppy);
  ULARGE_INTEGER total;
  ASSERT_TRUE(GetDiskFreeSpaceExA(kFloppy.c_str(), nullptr, nullptr, &total));
  ASSERT_TRUE(WriteWholeFile(kFloppy + "filler.bin", std::string(static_cast<size_t>(total.QuadPart) - 8192, 'f')));
  FillJob(&job, "C:\\in\\a-rather-long-file-name.bin", kFloppy, 0, 1, 999);  // a script over 8 KiB
  ScriptedUi second;
  EXPECT_EQ(WriteMergeBatch(job, second, roomy), kStatusBatchFailed);
  EXPECT_EQ(second.Asked(SplitQuestion::kFailure), std::vector<std::string>{"Unable to Create BAT File 8000"});
  EXPECT_FALSE(PathExists(kFloppy + "a-rather-long-file-name.bin.bat"));
}

}  // namespace
