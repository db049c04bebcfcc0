// The engine on Windows' own files, disks and cmd.exe: whole splits whose
// batch, run by cmd.exe from wherever it is started, restores the source byte
// for byte or leaves the name as it was; names as plyx-split.exe reads them;
// and the disk check and the split run on a floppy-typed A: drive backed by a
// 1 MiB tmpfs, the medium changed while the Retry question waits.
#include <gtest/gtest.h>

#include <windows.h>

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

// The name in this process's ANSI code page; "" where it lacks a character.
std::string Ansi(const wchar_t* name) {
  std::string ansi;
  return WideToExactAnsi(name, &ansi) ? ansi : "";
}

// Input handled unsafely: a name holding & or % must not run commands of its
// own. Names beyond ASCII were refused where the OEM code page lacked one of
// their characters, and joined nothing in another code page.
TEST(MergeBatchRun, CmdJoinsThePartsIntoTheSourceAndRunsNothingElse) {
  const struct { const wchar_t* name; std::uint32_t size, partSize; bool controlZ; } cases[] = {
      {L"ctrlz.bin", 300000, 65536, true},  // 0x1A ends a file copied in text mode
      {L"empty.bin", 0, 262144, false},
      {L"many.bin", 999 * 7 - 3, 7, false},
      {L"caf\u00e9 cr\u00e8me.bin", 50000, 20000, false},
      {L"John\u2019s notes \u2013 final \u20ac.doc", 50000, 20000, false},
      {L"a & mkdir pwned & b.bin", 50000, 20000, false},
      {L"100% sure ^ and %PATH% %p.bin", 50000, 20000, false},
      {L"a (1),b;c=d!e.bin", 50000, 20000, false},
  };
  for (const auto& c : cases) {
    const std::string name = Ansi(c.name);
    if (name.empty()) continue;  // not a name in this code page
    SCOPED_TRACE(name);
    TempFolder in, out;
    std::string data = PatternBytes(c.size, c.size);
    for (std::size_t i = 0; c.controlZ && i < data.size(); i += 3) data[i] = '\x1a';
    Split(in, out.Path(), name, data, c.partSize);

    std::string said;
    EXPECT_EQ(RunBatch(out.Path(), name + ".bat", &said), 0);
    // Not Exists(): std::filesystem takes a narrow name as Latin-1, not as ANSI.
    EXPECT_TRUE(GetFileAttributesA((out / name).c_str()) != INVALID_FILE_ATTRIBUTES && ReadBytes(out / name) == data)
        << "the join differs from the source";
    EXPECT_FALSE(Exists(out / "pwned")) << "the batch ran a command hidden in the name";
    EXPECT_NE(said.find("Successfully Merged !!!"), std::string::npos) << said;
    EXPECT_EQ(said.find("not found"), std::string::npos) << said;
  }
}

// Lost data, and failures reported as success: the batch joined the set of the
// folder it was started in, appended parts to an older file of the name, and
// called a join of nothing a success. Whatever happens, the name must end as
// it was or exactly the source, with "Successfully Merged" only in that case.
TEST(MergeBatchRun, TheNameEndsAsItWasOrExactlyTheSource) {
  const std::string source = PatternBytes(300000), old(777, 'o');
  DiskFile holder;  // holds a file without sharing, as another program can
  struct Paths { std::string set, other; };
  const struct {
    const char* what;
    std::function<void(Paths&, BatchStart&)> setUp;
    const char* said;  // nullptr: joined
  } cases[] = {
      {"started from another folder", [](Paths& p, BatchStart& start) { start.folder = p.other; }, nullptr},
      {"from a folder with another set of that name",
       [&](Paths& p, BatchStart& start) {
         TempFolder in;
         Split(in, p.other, "x.bin", PatternBytes(300000, 2), 100000);
         WriteBytes(p.other + "x.bin", old);
         start.folder = p.other;
       },
       nullptr},
      {"COPYCMD=/-Y, answered No",
       [](Paths&, BatchStart& start) { SetEnvironmentVariableA("COPYCMD", "/-Y"), start.input = "n\r\nn\r\nn\r\nn\r\n"; },
       nullptr},
      // Copied off a CD: a copy of one read-only part was read-only, and the
      // appends to it failed. Only a user who is not root sees it under Wine.
      {"read-only parts",
       [](Paths& p, BatchStart&) {
         for (const char* n : {"001", "002", "003"}) SetFileAttributesA((p.set + "x.bin." + n).c_str(), FILE_ATTRIBUTE_READONLY);
       },
       nullptr},
      {"a read-only x.bin.000 from an earlier try",
       [](Paths& p, BatchStart&) {
         WriteBytes(p.set + "x.bin.000", "earlier");
         SetFileAttributesA((p.set + "x.bin.000").c_str(), FILE_ATTRIBUTE_READONLY);
       },
       nullptr},
      {"part 001 held open",
       [&](Paths& p, BatchStart&) { ASSERT_TRUE(holder.Open(kDiskFileRead, (p.set + "x.bin.001").c_str())); },
       "x.bin is incomplete - the join failed at x.bin.001, x.bin is as it was"},
      {"x.bin held open",
       [&](Paths& p, BatchStart&) { ASSERT_TRUE(holder.Open(kDiskFileRead, (p.set + "x.bin").c_str())); },
       "x.bin cannot be replaced - the join failed, x.bin is as it was"},
      {"the parts' paths past 260 characters",
       [](Paths& p, BatchStart& start) {
         std::string deep = p.set.substr(0, p.set.size() - 2);  // the set's folder is ...\s
         deep += std::string(253 - deep.size(), 'd');  // parts 262, x.bin 258 characters
         ASSERT_TRUE(MoveFileA(p.set.c_str(), deep.c_str())) << GetLastError();
         p.set = deep + "\\";
         start = {p.set, true, ""};
       },
       "nothing was merged"},
      {"part 001 missing", [](Paths& p, BatchStart&) { DeleteFileA((p.set + "x.bin.001").c_str()); },
       "x.bin.001 is missing - nothing was merged"},
      {"part 003 missing", [](Paths& p, BatchStart&) { DeleteFileA((p.set + "x.bin.003").c_str()); },
       "x.bin.003 is missing - nothing was merged"},
      {"part 002 short", [](Paths& p, BatchStart&) { WriteBytes(p.set + "x.bin.002", std::string(99999, 'c')); },
       "x.bin.002 does not have the size it was split with - nothing was merged"},
      {"part 003 a byte long", [](Paths& p, BatchStart&) { WriteBytes(p.set + "x.bin.003", std::string(100001, 'c')); },
       "x.bin.003 does not have the size it was split with"},
      {"a folder in part 002's place",
       [](Paths& p, BatchStart&) {
         DeleteFileA((p.set + "x.bin.002").c_str());
         CreateDirectoryA((p.set + "x.bin.002").c_str(), nullptr);
       },
       "x.bin.002 does not have the size it was split with"},
      {"x.bin.000 a folder with a file",
       [](Paths& p, BatchStart&) {
         CreateDirectoryA((p.set + "x.bin.000").c_str(), nullptr);
         WriteBytes(p.set + "x.bin.000\\kept", "kept");
       },
       "x.bin.000 is a folder - nothing was merged"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder in, parts, other;
    Paths paths{parts.MakeFolder("s") + "\\", other.Path()};
    Split(in, paths.set, "x.bin", source, 100000);
    ASSERT_TRUE(WriteBytes(paths.set + "x.bin", old));
    BatchStart start;
    c.setUp(paths, start);
    std::string said;
    const int code = RunBatch(paths.set, "x.bin.bat", &said, start);
    holder.Close();
    SetEnvironmentVariableA("COPYCMD", nullptr);
    for (const char* n : {"001", "002", "003", "000"}) SetFileAttributesA((paths.set + "x.bin." + n).c_str(), FILE_ATTRIBUTE_NORMAL);

    EXPECT_EQ(code, c.said ? 1 : 0) << said;
    EXPECT_TRUE(ReadBytes(paths.set + "x.bin") == (c.said ? old : source)) << "x.bin is a mix of " << SizeOf(paths.set + "x.bin");
    EXPECT_EQ(said.find("Successfully Merged") != std::string::npos, c.said == nullptr) << said;
    EXPECT_NE(said.find(c.said ? c.said : "x.bin Successfully Merged !!!\r\nThank you for using PLYX"), std::string::npos) << said;
    EXPECT_FALSE(std::filesystem::is_regular_file(paths.set + "x.bin.000")) << "the join file was left behind";
    EXPECT_TRUE(!Exists(paths.set + "x.bin.000") || ReadBytes(paths.set + "x.bin.000\\kept") == "kept");
    EXPECT_TRUE(!Exists(paths.other + "x.bin") || ReadBytes(paths.other + "x.bin") == old) << "another set was joined";
  }
}

// Input handled unsafely: escaped byte by byte in a double-byte code page, the
// echo line ran the tail of such a name as a command (a batch named like it).
TEST(MergeBatchRun, JoinsNamesOfADoubleByteCodePage) {
  if (GetACP() != 932) GTEST_SKIP() << "code page " << GetACP() << ", not 932 (ctest runs it as win.ja.*)";
  const struct { const wchar_t *name, *tail; } cases[] = {
      {L"\u30ec\u30dd\u30fc\u30c8.doc", L"\u30fc\u30c8.doc"},  // the trail byte of po is |
      {L"\u30c7\u30fc\u30bf&\u8cc7\u6599.xls", L"\u8cc7\u6599.xls"},
  };
  for (const auto& c : cases) {
    const std::string name = Ansi(c.name);
    SCOPED_TRACE(name);
    TempFolder in, out;
    ASSERT_TRUE(WriteBytes(out / (Ansi(c.tail) + ".bat"), "@mkdir pwned\r\n"));
    const std::string data = PatternBytes(250000);
    Split(in, out.Path(), name, data, 100000);
    std::string said;
    EXPECT_EQ(RunBatch(out.Path(), name + ".bat", &said), 0) << said;
    EXPECT_TRUE(ReadBytes(out / name) == data) << "the join differs from the source";
    EXPECT_FALSE(Exists(out / "pwned")) << said;
    const std::string end = name + " Successfully Merged !!!\r\nThank you for using PLYX\r\n";
    EXPECT_TRUE(said.size() >= end.size() && said.compare(said.size() - end.size(), end.size(), end) == 0) << said;
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
