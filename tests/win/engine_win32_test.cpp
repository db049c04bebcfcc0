// The engine on Windows' own files, disks and cmd.exe: whole splits whose
// batch, run by cmd.exe from wherever it is started, restores the source byte
// for byte or leaves the name as it was; names as plyx-split.exe reads them;
// and the disk check and the split run on a floppy-typed A: drive backed by a
// 1 MiB tmpfs, the medium changed while the Retry question waits.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "ansi_text.h"
#include "disk_file.h"
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
void Split(const TempFolder& in, const std::string& dest, const std::string& name, const std::string& data,
           std::uint32_t partSize) {
  ASSERT_TRUE(WriteBytes(in / name, data));
  const auto size = static_cast<std::uint32_t>(data.size());
  SplitJobRecord job;
  FillJob(job, in / name, dest, size, partSize, PartCount(size, partSize));
  ScriptedUi ui;
  ASSERT_EQ(RunSplit(job, ui, SystemDiskSpace()), kStatusOk) << ui.Dump();
}

// Input handled unsafely: & or % in a name ran commands; escaped byte by byte
// under code page 932, the echo line ran the name's tail (a batch named so). A
// name the OEM code page lacked was refused. Rows this code page lacks are left
// out: ctest runs the test under 1252, and as win.ja.* under 932.
TEST(MergeBatchRun, CmdJoinsThePartsIntoTheSourceAndRunsNothingElse) {
  const struct { const wchar_t *name, *tail; std::uint32_t size, partSize; } cases[] = {
      {L"empty.bin", nullptr, 0, 262144}, {L"many.bin", nullptr, 999 * 7 - 3, 7},
      {L"John\u2019s notes \u2013 final \u20ac.doc", nullptr, 50000, 20000},
      {L"100% & mkdir pwned & ^ %PATH% %p (1),b;c=d!e.bin", nullptr, 50000, 20000},
      {L"\u30ec\u30dd\u30fc\u30c8.doc", L"\u30fc\u30c8.doc", 250000, 100000},  // the trail byte of po is |
      {L"\u30c7\u30fc\u30bf&\u8cc7\u6599.xls", L"\u8cc7\u6599.xls", 250000, 100000}};
  for (const auto& c : cases) {
    std::string name, tail;
    if (!WideToExactAnsi(c.name, &name)) { std::printf("%ls: not a name in code page %u\n", c.name, GetACP()); continue; }
    SCOPED_TRACE(name);
    TempFolder in, out;
    if (c.tail != nullptr && WideToExactAnsi(c.tail, &tail)) { ASSERT_TRUE(WriteBytes(out / (tail + ".bat"), "@mkdir pwned\r\n")); }
    std::string data = PatternBytes(c.size, c.size);
    for (std::size_t i = 0; i < data.size(); i += 3) data[i] = '\x1a';  // ends a file copied in text mode
    Split(in, out.Path(), name, data, c.partSize);

    std::string said;
    EXPECT_EQ(RunBatch(out.Path(), name + ".bat", &said), 0);
    // Not Exists(): std::filesystem takes a narrow name as Latin-1, not as ANSI.
    EXPECT_TRUE(GetFileAttributesA((out / name).c_str()) != INVALID_FILE_ATTRIBUTES && ReadBytes(out / name) == data) << "not the source";
    EXPECT_FALSE(Exists(out / "pwned")) << "the batch ran a command hidden in the name";
    const std::string end = name + " Successfully Merged !!!\r\nThank you for using PLYX\r\n";
    EXPECT_TRUE(said.size() >= end.size() && said.compare(said.size() - end.size(), end.size(), end) == 0) << said;
  }
}

// Lost data, and failures reported as success: the batch joined the set of the
// folder it was started in, appended parts to an older file of the name, called
// a join of nothing a success (also when a name beyond ASCII, found by a
// pattern, had no join file to check). Now the name ends as it was or exactly
// the source, with "Successfully Merged" only in that case.
TEST(MergeBatchRun, TheNameEndsAsItWasOrExactlyTheSource) {
  const std::string source = PatternBytes(300000), old(777, 'o');
  DiskFile holder;         // holds a file without sharing, as another program can
  std::string x, set, other, startIn, input;  // the name; the set's folder, another one, and how cmd starts
  auto hold = [&](const char* suffix) { return [&, suffix] { ASSERT_TRUE(holder.Open(kDiskFileRead, (set + x + suffix).c_str())); }; };
  for (const wchar_t* wide : {L"x.bin", L"x\u00e9 & co.bin"}) {
    if (!WideToExactAnsi(wide, &x)) continue;
    const struct { const char* what; std::function<void()> setUp; std::string said; } cases[] = {  // said empty: joined
        {"started from another folder", [&] { startIn = other; }, ""},
        {"from a folder with another set of that name",
         [&] { TempFolder in; Split(in, other, x, PatternBytes(300000, 2), 100000), WriteBytes(other + x, old), startIn = other; },
         ""},
        {"COPYCMD=/-Y, answered No", [&] { SetEnvironmentVariableA("COPYCMD", "/-Y"), input = "n\r\nn\r\nn\r\n"; }, ""},
        // Off a CD: a copy of a read-only part was read-only, appends to it failed (under Wine only when not root).
        {"read-only parts and NAME.000 of an earlier try, no NAME yet", [&] {
           DeleteFileA((set + x).c_str()), WriteBytes(set + x + ".000", "earlier");
           for (const char* n : {".000", ".001", ".002", ".003"}) SetFileAttributesA((set + x + n).c_str(), FILE_ATTRIBUTE_READONLY);
         }, ""},
        {"part 001 held open", hold(".001"), x + " is incomplete - the join failed at " + x + ".001, " + x + " is as it was"},
        {"NAME held open", hold(""), x + " cannot be replaced - the join failed, " + x + " is as it was"},
        {"the parts' paths past 260 characters", [&] {  // NAME 258 characters; typed by its bare name in its folder
           const std::string deep = set.substr(0, set.size() - 2) + std::string(260 - x.size() - set.size(), 'd');
           ASSERT_TRUE(MoveFileA(set.c_str(), deep.c_str())) << GetLastError();
           set = startIn = deep + "\\";
         }, "nothing was merged"},
        // A name beyond ASCII that is not found is shown with a ? for each such character.
        {"part 001 missing", [&] { DeleteFileA((set + x + ".001").c_str()); }, ".001 is missing - nothing was merged"},
        {"part 003 a byte long", [&] { WriteBytes(set + x + ".003", std::string(100001, 'c')); },
         x + ".003 does not have the size it was split with - nothing was merged"},
        // Refused for its size, or by name beyond ASCII (a pattern finds no folder) when copy fails.
        {"a folder in part 002's place", [&] { DeleteFileA((set + x + ".002").c_str()), CreateDirectoryA((set + x + ".002").c_str(), nullptr); },
         x + ".002"},
        {"NAME.000 a folder with a file",
         [&] { CreateDirectoryA((set + x + ".000").c_str(), nullptr), WriteBytes(set + x + ".000\\kept", "kept"); },
         x + ".000 is a folder - nothing was merged"},
    };
    for (const auto& c : cases) {
      SCOPED_TRACE(x + ": " + c.what);
      TempFolder in, parts, elsewhere;
      set = parts.MakeFolder("s") + "\\", other = elsewhere.Path(), startIn = input = "";
      Split(in, set, x, source, 100000);
      ASSERT_TRUE(WriteBytes(set + x, old));
      c.setUp();
      std::string said;
      const int code = RunBatch(set, x + ".bat", &said, startIn, input);
      holder.Close(), SetEnvironmentVariableA("COPYCMD", nullptr);
      for (const char* n : {".001", ".002", ".003", ".000"}) SetFileAttributesA((set + x + n).c_str(), FILE_ATTRIBUTE_NORMAL);

      const bool joined = c.said.empty();
      EXPECT_EQ(code, joined ? 0 : 1) << said;
      EXPECT_TRUE(ReadBytes(set + x) == (joined ? source : old)) << "NAME is a mix of " << SizeOf(set + x);
      EXPECT_NE(said.find(joined ? x + " Successfully Merged !!!\r\nThank you for using PLYX" : c.said), std::string::npos) << said;
      EXPECT_EQ(said.find("Successfully Merged") != std::string::npos, joined) << said;
      const DWORD joinFile = GetFileAttributesA((set + x + ".000").c_str());
      EXPECT_TRUE(joinFile == INVALID_FILE_ATTRIBUTES || GetFileAttributesA((set + x + ".000\\kept").c_str()) != INVALID_FILE_ATTRIBUTES)
          << "the join file was left behind, or the folder in its place emptied";
      EXPECT_TRUE(GetFileAttributesA((other + x).c_str()) == INVALID_FILE_ATTRIBUTES || ReadBytes(other + x) == old)
          << "another set was joined";
    }
  }
}

// Input handled unsafely: plyx-split.exe took the system's best fit of its
// arguments, so that "\u03a9mega.bin" beside Omega.bin split Omega.bin.
TEST(Win32AnsiNames, PlyxSplitRefusesANameWithoutAnExactAnsiForm) {
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
