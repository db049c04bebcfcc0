// The disk check and the split run on a floppy-typed A: drive backed by a 1 MiB tmpfs.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "disk_space.h"
#include "merge_batch.h"
#include "split_worker.h"
#include "support/files.h"
#include "support/split_fakes.h"

namespace {

const std::string kFloppy = "A:\\";

void EmptyFloppy() {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(kFloppy, error)) std::filesystem::remove(entry, error);
}

class Floppy : public ::testing::Test {
 protected:
  void SetUp() override {
    if (GetDriveTypeA(kFloppy.c_str()) != DRIVE_REMOVABLE)
      GTEST_SKIP() << "no floppy-typed A: drive (scripts/test.sh mounts one when run as root)";
    EmptyFloppy();
  }
  void TearDown() override {
    if (GetDriveTypeA(kFloppy.c_str()) == DRIVE_REMOVABLE) EmptyFloppy();
  }
  TempFolder in, kept;
  SplitJobRecord job;
  ScriptedUi ui;
};

TEST_F(Floppy, ASplitGoesOnOntoTheNextDiskAfterRetry) {
  const std::string data = PatternBytes(1300000, 7);
  ASSERT_TRUE(WriteBytes(in / "big.bin", data));
  FillJob(job, in / "big.bin", kFloppy, 1300000, 600000, 3);
  int asked = 0;
  ui.onAsk = [&](SplitQuestion kind, const std::string&, SplitAnswer) {
    if (kind != SplitQuestion::kInsertDisk) return SplitAnswer::kOk;
    // Retry first on the same full disk, then on a "new" one: part 001 moved aside.
    if (++asked == 2) {
      EXPECT_TRUE(CopyFileA((kFloppy + "big.bin.001").c_str(), (kept / "big.bin.001").c_str(), TRUE));
      EmptyFloppy();
    }
    return SplitAnswer::kRetry;
  };
  EXPECT_EQ(RunSplit(job, ui, SystemDiskSpace()), kStatusOk) << ui.Dump();
  EXPECT_EQ(asked, 2);
  const std::string parts[] = {kept / "big.bin.001", kFloppy + "big.bin.002", kFloppy + "big.bin.003"};
  for (int n = 0; n < 3; ++n) EXPECT_TRUE(FileHolds(parts[n], data.substr(n * 600000, 600000)));
  EXPECT_TRUE(Exists(kFloppy + "big.bin.bat"));
}

// Corrupted data: the check measured Z:'s root for a volume mounted below it; a part ran out of room.
TEST_F(Floppy, AFolderOnAVolumeMountedBelowADriveIsMeasuredItself) {
  const char* prefix = std::getenv("WINEPREFIX");  // the floppy's tmpfs is also the Linux folder PREFIX-floppy
  std::string mounted = "Z:" + std::string(prefix != nullptr ? prefix : "") + "-floppy\\";
  for (char& c : mounted) c = c == '/' ? '\\' : c;
  if (prefix == nullptr || !Exists(mounted)) GTEST_SKIP() << "no " << mounted;
  ASSERT_TRUE(WriteBytes(in / "big.bin", PatternBytes(2000000)));
  FillJob(job, in / "big.bin", mounted, 2000000, 600000, 4);
  EXPECT_EQ(RunSplit(job, ui, SystemDiskSpace()), kStatusNoRoom) << ui.Dump();
  EXPECT_EQ(ui.Asked(SplitQuestion::kDiskFull), std::vector<std::string>{"Disk is full, quiting PLYX"});
  EXPECT_EQ(SizeOf(mounted + "big.bin.001"), 600000u);
  EXPECT_FALSE(Exists(mounted + "big.bin.002")) << "the part that cannot fit was begun";
}

// Corrupted data: with the checks faked to pass, a part or batch cut short by a full disk fails.
TEST_F(Floppy, AWriteThatRunsOutOfRoomFailsAndLeavesNoHalfBatch) {
  ASSERT_TRUE(WriteBytes(in / "x.bin", PatternBytes(1500000)));
  FillJob(job, in / "x.bin", kFloppy, 1500000, 1500000, 1);
  FakeDiskSpace roomy;
  EXPECT_EQ(RunSplit(job, ui, roomy), kStatusWriteFailed) << ui.Dump();
  EXPECT_EQ(ui.Asked(SplitQuestion::kFailure), std::vector<std::string>{"Split Cancelled : 6000"});
  EXPECT_LT(SizeOf(kFloppy + "x.bin.001"), 1500000u);
  EXPECT_FALSE(Exists(kFloppy + "x.bin.bat"));

  EmptyFloppy();
  ULARGE_INTEGER free;
  ASSERT_TRUE(GetDiskFreeSpaceExA(kFloppy.c_str(), nullptr, nullptr, &free));
  ASSERT_TRUE(WriteBytes(kFloppy + "filler.bin", std::string(static_cast<size_t>(free.QuadPart) - 8192, 'f')));
  FillJob(job, "C:\\in\\a-rather-long-file-name.bin", kFloppy, 0, 1, 999);  // a script over 8 KiB
  ui = ScriptedUi();
  EXPECT_EQ(WriteMergeBatch(job, 1, ui, roomy), kStatusBatchFailed);
  EXPECT_EQ(ui.Asked(SplitQuestion::kFailure), std::vector<std::string>{"Unable to Create BAT File 8000"});
  EXPECT_FALSE(Exists(kFloppy + "a-rather-long-file-name.bin.bat"));
}

}  // namespace
