// The engine on Windows' own files, disks and cmd.exe: whole splits whose
// batch, run by cmd.exe as a double click runs it, restores the source byte for
// byte, or refuses, joining nothing, when a part is missing or has the wrong
// size; names as cmd.exe and plyx-split.exe read them; and the disk check and
// the split run on a floppy-typed A: drive backed by a 1 MiB tmpfs, the medium
// changed while the Retry question waits.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "disk_space.h"
#include "file_system.h"
#include "holders.h"
#include "merge_batch.h"
#include "size_presets.h"
#include "split_worker.h"
#include "support/child_process.h"
#include "support/files.h"
#include "support/split_fakes.h"

namespace {

// Splits `data` into `dest` as `name`.
void Split(const TempFolder& in, const std::string& dest, const char* name, const std::string& data,
           std::uint32_t partSize) {
  ASSERT_TRUE(WriteBytes(in / name, data));
  const auto size = static_cast<std::uint32_t>(data.size());
  SplitJobRecord job;
  FillJob(job, in / name, dest, size, partSize, PartCount(size, partSize));
  ScriptedUi ui;
  ASSERT_EQ(RunSplit(job, ui, SystemDiskSpace()), kStatusOk) << ui.Dump();
}

// Input handled unsafely: a name holding & or % must not run commands of its own.
TEST(MergeBatchRun, CmdJoinsThePartsIntoTheSourceAndRunsNothingElse) {
  const struct { const char* name; std::uint32_t size, partSize; bool controlZ; } cases[] = {
      {"ctrlz.bin", 300000, 65536, true},  // 0x1A ends a file copied in text mode
      {"empty.bin", 0, 262144, false},
      {"many.bin", 999 * 7 - 3, 7, false},
      {"caf\xe9 cr\xe8me.bin", 50000, 20000, false},  // ANSI bytes; cmd reads OEM
      {"a & mkdir pwned & b.bin", 50000, 20000, false},
      {"100% sure ^ and %PATH% %p.bin", 50000, 20000, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder in, out;
    std::string data = PatternBytes(c.size, c.size);
    for (std::size_t i = 0; c.controlZ && i < data.size(); i += 3) data[i] = '\x1a';
    Split(in, out.Path(), c.name, data, c.partSize);

    std::string said;
    EXPECT_EQ(RunBatch(out.Path(), std::string(c.name) + ".bat", &said), 0);
    EXPECT_TRUE(Exists(out / c.name) && ReadBytes(out / c.name) == data) << "the join differs from the source";
    EXPECT_FALSE(Exists(out / "pwned")) << "the batch ran a command hidden in the name";
    EXPECT_NE(said.find("Successfully Merged !!!"), std::string::npos) << said;
    EXPECT_EQ(said.find("not found"), std::string::npos) << said;
  }
}

// A failure reported as success, and lost data: the batch joined around a
// missing or wrong part and, run in the source's folder, replaced the user's
// file with the wrong result.
TEST(MergeBatchRun, ABrokenSetOfPartsJoinsNothingAndSaysWhy) {
  constexpr int kMissing = -1, kFolder = -2;
  const struct { const char* part; int size; bool noSizes; const char* said; } cases[] = {
      {"001", kMissing, false, "x.bin.001 is missing - nothing was merged"},
      {"003", kMissing, false, "x.bin.003 is missing"},
      {"002", 99999, false, "x.bin.002 does not have the size it was split with - nothing was merged"},
      {"002", kFolder, false, "x.bin.002 does not have the size"},
      {"003", 100001, false, "x.bin.003 does not have the size"},
      {"002", 99999, true, nullptr},  // no sizes from the interpreter (%~z0 spoilt): joined
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.part) + " " + std::to_string(c.size));
    TempFolder in, out;
    Split(in, out.Path(), "x.bin", PatternBytes(300000), 100000);
    ASSERT_TRUE(WriteBytes(out / "x.bin", "the user's own file"));
    const std::string part = out / ("x.bin." + std::string(c.part));
    DeleteFileA(part.c_str());
    if (c.size == kFolder) CreateDirectoryA(part.c_str(), nullptr);
    if (c.size >= 0) WriteBytes(part, std::string(c.size, 'c'));
    std::string script = ReadBytes(out / "x.bin.bat"), said;
    for (std::size_t at; c.noSizes && (at = script.find("%~z0")) != std::string::npos;) script.replace(at, 4, "~z0");
    WriteBytes(out / "x.bin.bat", script);
    EXPECT_EQ(RunBatch(out.Path(), "x.bin.bat", &said), c.said ? 1 : 0);
    EXPECT_NE(said.find(c.said ? c.said : "Successfully Merged !!!"), std::string::npos) << said;
    EXPECT_TRUE(c.said == nullptr || said.find("Successfully Merged") == std::string::npos) << said;
    EXPECT_EQ(SizeOf(out / "x.bin"), c.said ? 19u : 299999u) << "the user's own file, or the join";
  }
}

// Mended fault: a best-fit conversion ("e" for "é") would make the batch, or
// plyx-split, name another file.
TEST(Win32OemNames, AnsiNamesBecomeTheOemBytesCmdReads) {
  if (GetACP() != 1252 || GetOEMCP() != 437) {
    GTEST_SKIP() << "code pages " << GetACP() << "/" << GetOEMCP() << ", not 1252/437";
  }
  const struct { const char* ansi; const char* oem; } cases[] = {  // oem nullptr: no exact OEM form
      {"movie.avi", "movie.avi"}, {"caf\xe9", "caf\x82"}, {"\xc4pfel", "\x8epfel"},
      {"price \x80", nullptr},  // the euro sign is not in code page 437
  };
  for (const auto& c : cases) {
    std::string oem;
    EXPECT_EQ(ConvertToOemCodePage(c.ansi, &oem), c.oem != nullptr) << c.ansi;
    EXPECT_EQ(oem, c.oem ? c.oem : "") << c.ansi;
  }
}

// Input handled unsafely: plyx-split.exe took the system's best fit of its
// arguments, so that "\u03a9mega.bin" beside Omega.bin split Omega.bin.
TEST(Win32OemNames, PlyxSplitRefusesANameWithoutAnExactAnsiForm) {
  std::wstring exe = L"Z:" PLYX_SPLIT_EXE;
  for (auto& c : exe) c = c == L'/' ? L'\\' : c;
  TempFolder temp;
  ASSERT_TRUE(WriteBytes(temp / "Omega.bin", PatternBytes(300000)));
  ASSERT_TRUE(CreateDirectoryA((temp / "out").c_str(), nullptr));
  const std::wstring folder(temp.Path().begin(), temp.Path().end());
  UniqueHandle(CreateFileW((folder + L"\u03a9mega.bin").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
  std::wstring line = L"\"" + exe + L"\" \u03a9mega.bin out 100000";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  ASSERT_TRUE(CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup, &info));
  const UniqueHandle process(info.hProcess), thread(info.hThread);
  DWORD exitCode = 0;
  EXPECT_EQ(WaitForSingleObject(process.Get(), 60000), WAIT_OBJECT_0);
  EXPECT_TRUE(GetExitCodeProcess(process.Get(), &exitCode) && exitCode == 3) << "the source refused: " << exitCode;
  EXPECT_FALSE(Exists(temp / "out\\Omega.bin.001") || Exists(temp / "out\\Omega.bin.bat"));
}

const std::string kFloppy = "A:\\";

void EmptyFloppy() {
  WIN32_FIND_DATAA entry;
  const FindHandle search(FindFirstFileA((kFloppy + "*").c_str(), &entry));
  for (bool more = search.IsValid(); more; more = FindNextFileA(search.Get(), &entry)) {
    DeleteFileA((kFloppy + entry.cFileName).c_str());
  }
}

class Floppy : public ::testing::Test {
 protected:
  void SetUp() override {
    if (GetDriveTypeA(kFloppy.c_str()) != DRIVE_REMOVABLE) {
      GTEST_SKIP() << "no floppy-typed A: drive (scripts/test.sh mounts one when run as root)";
    }
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
    // First Retry with the same full disk; then the "new" disk: part 001 kept
    // aside and the medium emptied.
    if (++asked == 2) {
      EXPECT_TRUE(CopyFileA((kFloppy + "big.bin.001").c_str(), (kept / "big.bin.001").c_str(), TRUE));
      EmptyFloppy();
    }
    return SplitAnswer::kRetry;
  };
  EXPECT_EQ(RunSplit(job, ui, SystemDiskSpace()), kStatusOk) << ui.Dump();
  EXPECT_EQ(asked, 2);
  EXPECT_TRUE(ReadBytes(kept / "big.bin.001") + ReadBytes(kFloppy + "big.bin.002") + ReadBytes(kFloppy + "big.bin.003") ==
              data);
  EXPECT_TRUE(Exists(kFloppy + "big.bin.bat"));
}

// Corrupted data: the check measured Z:'s root for a folder on a volume mounted
// below it, so that a part ran out of room halfway ("Split Cancelled : 6000").
TEST_F(Floppy, AFolderOnAVolumeMountedBelowADriveIsMeasuredItself) {
  char prefix[MAX_PATH];  // the floppy's tmpfs is also the Linux folder PREFIX-floppy, on Z:
  const DWORD length = GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix);
  std::string mounted = "Z:" + std::string(prefix, length < sizeof prefix ? length : 0) + "-floppy\\";
  for (char& c : mounted) c = c == '/' ? '\\' : c;
  if (length == 0 || !Exists(mounted)) GTEST_SKIP() << "no " << mounted;
  ASSERT_TRUE(WriteBytes(in / "big.bin", PatternBytes(2000000)));
  FillJob(job, in / "big.bin", mounted, 2000000, 600000, 4);
  EXPECT_EQ(RunSplit(job, ui, SystemDiskSpace()), kStatusNoRoom) << ui.Dump();
  EXPECT_EQ(ui.Asked(SplitQuestion::kDiskFull), std::vector<std::string>{"Disk is full, quiting PLYX"});
  EXPECT_EQ(SizeOf(mounted + "big.bin.001"), 600000u);
  EXPECT_FALSE(Exists(mounted + "big.bin.002")) << "the part that cannot fit was begun";
}

// Corrupted data: the disk checks pass (faked) and the disk itself runs out; a
// part or batch cut short by a full disk fails, and no half batch stays.
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
