// DiskFile, FileExists, BufferHeap and the OEM conversion over the real Win32 calls.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "buffer_heap.h"
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

TEST(Win32DiskFile, WritingReplacesTheFileAndCloseCutsItAtTheLastByte) {
  TempDir temp;
  const std::string path = temp / "replace.bin";
  ASSERT_TRUE(WriteWholeFile(path, std::string(70000, 'o')));
  DiskFile file;
  ASSERT_TRUE(file.Open(kDiskFileWrite, path.c_str()));
  EXPECT_EQ(file.OpenState(), 2u);
  EXPECT_EQ(file.LastError(), static_cast<std::uint32_t>(ERROR_ALREADY_EXISTS));
  EXPECT_TRUE(file.Write("abc", 3));
  EXPECT_TRUE(file.Close());
  std::string bytes;
  ASSERT_TRUE(ReadWholeFile(path, &bytes));
  EXPECT_EQ(bytes, "abc");
}

TEST(Win32DiskFile, AShortReadFails) {
  TempDir temp;
  const std::string path = temp / "short.bin";
  ASSERT_TRUE(WriteWholeFile(path, "12345"));
  DiskFile file;
  ASSERT_TRUE(file.Open(kDiskFileRead, path.c_str()));
  char buffer[8];
  EXPECT_FALSE(file.Read(buffer, 6));
  EXPECT_FALSE(file.Read(buffer, 1)) << "at the end nothing is left";
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

TEST(Win32FileExists, FindsFilesAndFoldersButNotMissingPaths) {
  TempDir temp;
  std::string folder = temp.path();
  folder.pop_back();
  EXPECT_TRUE(FileExists(folder.c_str()));
  EXPECT_TRUE(FolderExists(folder.c_str()));
  ASSERT_TRUE(WriteWholeFile(temp / "f.txt", "x"));
  EXPECT_TRUE(FileExists((temp / "f.txt").c_str()));
  EXPECT_FALSE(FolderExists((temp / "f.txt").c_str()));
  EXPECT_FALSE(FileExists((temp / "g.txt").c_str()));
}

TEST(Win32BufferHeap, GivesZeroFilledBlocksFromAPrivateHeap) {
  BufferHeap heap;
  ASSERT_TRUE(heap.HasHeap());
  auto* first = static_cast<unsigned char*>(heap.Alloc(65536));
  ASSERT_NE(first, nullptr);
  std::memset(first, 0xCD, 65536);
  ASSERT_TRUE(heap.Free(first));
  auto* second = static_cast<unsigned char*>(heap.Alloc(65536));
  ASSERT_NE(second, nullptr);
  for (std::size_t i = 0; i < 65536; ++i) ASSERT_EQ(second[i], 0) << "byte " << i;
  EXPECT_EQ(heap.Alloc(0), nullptr);
  EXPECT_TRUE(heap.Free(nullptr));
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
