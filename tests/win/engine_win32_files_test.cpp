// What the Win32 primitives add to the host tier (which also runs on them
// under Wine): sharing with other handles, sizes past 4 GB, OEM names.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "disk_file.h"
#include "engine_win_helpers.h"
#include "file_system.h"

namespace {

TEST(Win32DiskFile, AFileHeldOpenByAnotherHandleCannotBeOpened) {
  TempDir temp;
  const std::string path = temp / "held.bin";
  ASSERT_TRUE(WriteWholeFile(path, "0123456789"));
  for (DWORD share : {DWORD{0}, DWORD{FILE_SHARE_READ}}) {
    HANDLE other = CreateFileA(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    DiskFile reader, writer;
    EXPECT_FALSE(reader.Open(kDiskFileRead, path.c_str())) << "share " << share;
    EXPECT_FALSE(writer.Open(kDiskFileWrite, path.c_str())) << "share " << share;
    CloseHandle(other);
  }
  EXPECT_EQ(FileSizeOf(path), 10u) << "a refused write open must not cut the file";
}

TEST(Win32DiskFile, ASourceOfFourGigabytesShowsItsFullSize) {
  TempDir temp;
  const std::string path = temp / "big.bin";
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  LARGE_INTEGER end;
  end.QuadPart = 0x100000005LL;  // a sparse 4 GiB + 5 bytes
  const bool sized = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
  CloseHandle(file);
  if (!sized) GTEST_SKIP() << "the temporary folder's disk cannot hold a sparse 4 GiB file";
  DiskFile big;
  ASSERT_TRUE(big.Open(kDiskFileRead, path.c_str()));
  EXPECT_EQ(big.Size(), 5u);
  EXPECT_EQ(big.FullSize(), 0x100000005ULL);
}

TEST(Win32OemNames, AnsiNamesBecomeTheOemBytesCmdReads) {
  if (GetACP() != 1252 || GetOEMCP() != 437) {
    GTEST_SKIP() << "code pages " << GetACP() << "/" << GetOEMCP() << ", not 1252/437";
  }
  const struct {
    const char* ansi;
    const char* oem;  // nullptr: no exact OEM form
  } cases[] = {
      {"movie.avi", "movie.avi"},
      {"caf\xe9", "caf\x82"},
      {"\xc4pfel", "\x8epfel"},
      {"price \x80", nullptr},  // the euro sign is not in code page 437
  };
  for (const auto& c : cases) {
    std::string oem;
    EXPECT_EQ(ConvertToOemCodePage(c.ansi, &oem), c.oem != nullptr) << c.ansi;
    if (c.oem) {
      EXPECT_EQ(oem, c.oem) << c.ansi;
    }
  }
}

}  // namespace
