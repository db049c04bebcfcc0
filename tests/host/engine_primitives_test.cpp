// DiskFile, BufferHeap, FileExists and the path-text rules on the platform's
// real files and memory.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "buffer_heap.h"
#include "disk_file.h"
#include "file_system.h"
#include "path_text.h"
#include "split_job.h"
#include "support/temp_folder.h"

namespace {

TEST(PathText, FileNamePartIsWhatFollowsTheLastSeparator) {
  const struct {
    const char* path;
    const char* name;
  } cases[] = {
#ifdef _WIN32
      {"E:\\data\\movie.avi", "movie.avi"},
      {"E:movie.avi", "movie.avi"},
      {"E:/data/x.bin", "x.bin"},
      {"\\\\server\\share\\a b.c.d", "a b.c.d"},
#else
      {"/data/movie.avi", "movie.avi"},
      {"/data/back\\slash.avi", "back\\slash.avi"},
#endif
      {"movie.avi", "movie.avi"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_STREQ(FileNamePart(c.path), c.name) << c.path;
}

TEST(PathText, TrailingSeparatorIsAddedOnceAndOnlyWhenItFits) {
  char folder[8] = "out";
  EXPECT_TRUE(AddTrailingSeparator(folder, sizeof folder));
  EXPECT_EQ(std::string(folder), std::string("out") + kPathSeparator);
  EXPECT_TRUE(AddTrailingSeparator(folder, sizeof folder));
  EXPECT_EQ(std::strlen(folder), 4u);

  char full[8] = "1234567";  // no room for the separator and the terminator
  EXPECT_FALSE(AddTrailingSeparator(full, sizeof full));
  EXPECT_STREQ(full, "1234567");
  char empty[4] = "";
  EXPECT_TRUE(AddTrailingSeparator(empty, sizeof empty));
  EXPECT_STREQ(empty, "");
}

class DiskFileTest : public ::testing::Test {
 protected:
  TempFolder temp;
  std::string path = temp.File("file.bin");
};

TEST_F(DiskFileTest, ReadingGivesExactlyTheBytesAskedOrFails) {
  WriteBytes(path, "0123456789");
  DiskFile file;
  ASSERT_TRUE(file.Open(kDiskFileRead, path.c_str()));
  EXPECT_TRUE(file.ReadOnly());
  EXPECT_EQ(file.Size(), 10u);
  EXPECT_EQ(file.FullSize(), 10u);
  char buffer[16] = {};
  EXPECT_TRUE(file.Read(buffer, 0));
  EXPECT_TRUE(file.Read(buffer, 4));
  EXPECT_EQ(std::string(buffer, 4), "0123");
  EXPECT_FALSE(file.Read(buffer, 7)) << "only 6 bytes remain";
  EXPECT_TRUE(file.Close());
  EXPECT_TRUE(file.Close()) << "closing twice is harmless";
}

TEST_F(DiskFileTest, WritingReplacesTheFileAndCloseLeavesExactlyTheBytesWritten) {
  WriteBytes(path, std::string(1000, 'o'));
  DiskFile file;
  ASSERT_TRUE(file.Open(kDiskFileWrite, path.c_str()));
  EXPECT_EQ(file.OpenState(), 2u) << "the file existed";
  EXPECT_FALSE(file.ReadOnly());
  EXPECT_EQ(SizeOf(path), 0u) << "emptied before the first write";
  EXPECT_TRUE(file.Write("new", 3));
  EXPECT_TRUE(file.Close());
  EXPECT_EQ(ReadBytes(path), "new");

  DiskFile fresh;
  ASSERT_TRUE(fresh.Open(kDiskFileWrite, temp.File("fresh.bin").c_str()));
  EXPECT_EQ(fresh.OpenState(), 1u);
}

TEST_F(DiskFileTest, CreatingNewRefusesAnExistingNameAndLeavesItAlone) {
  WriteBytes(path, "keep");
  DiskFile file;
  EXPECT_FALSE(file.Open(kDiskFileCreateNew, path.c_str()));
  EXPECT_FALSE(file.Open(kDiskFileCreateNew, temp.Path().c_str())) << "a folder";
  EXPECT_EQ(ReadBytes(path), "keep");
  const std::string fresh = temp.File("new.bin");
  ASSERT_TRUE(file.Open(kDiskFileCreateNew, fresh.c_str()));
  EXPECT_EQ(file.OpenState(), 1u);
  EXPECT_TRUE(file.Write("abc", 3));
  EXPECT_TRUE(file.Close());
  EXPECT_EQ(ReadBytes(fresh), "abc");
}

TEST_F(DiskFileTest, AFileOpenElsewhereCannotBeOpened) {
  WriteBytes(path, "held");
  for (std::uint32_t heldAs : {kDiskFileRead, kDiskFileWrite}) {
    DiskFile holder;
    ASSERT_TRUE(holder.Open(heldAs, path.c_str()));
    for (std::uint32_t mode : {kDiskFileRead, kDiskFileWrite}) {
      DiskFile other;
      EXPECT_FALSE(other.Open(mode, path.c_str())) << "held as " << heldAs << ", opened as " << mode;
      EXPECT_FALSE(other.IsOpen());
      EXPECT_TRUE(other.Close());
    }
    holder.Close();
  }
  EXPECT_EQ(ReadBytes(path), "") << "the write holder emptied it, no one else";
}

TEST_F(DiskFileTest, FoldersAndMissingFilesDoNotOpenForReading) {
  DiskFile file;
  EXPECT_FALSE(file.Open(kDiskFileRead, temp.Path().c_str()));
  EXPECT_FALSE(file.Open(kDiskFileRead, path.c_str()));
  EXPECT_FALSE(file.Open(4, path.c_str()));
  EXPECT_FALSE(Exists(path));
}

TEST_F(DiskFileTest, FileExistsForFilesAndFolders) {
  EXPECT_FALSE(FileExists(path.c_str()));
  WriteBytes(path, "x");
  EXPECT_TRUE(FileExists(path.c_str()));
  EXPECT_TRUE(FileExists(temp.Path().c_str()));
  EXPECT_TRUE(FolderExists(temp.Path().c_str()));
  EXPECT_FALSE(FolderExists(path.c_str()));
  EXPECT_TRUE(RemoveFile(path.c_str()));
  EXPECT_FALSE(FileExists(path.c_str()));
}

TEST(BufferHeapTest, BlocksAreZeroFilledEvenWhenMemoryIsReused) {
  BufferHeap heap;
  ASSERT_TRUE(heap.HasHeap());
  for (int round = 0; round < 3; ++round) {
    auto* block = static_cast<unsigned char*>(heap.Alloc(kChunkSize));
    ASSERT_NE(block, nullptr);
    std::size_t nonZero = 0;
    for (std::size_t i = 0; i < kChunkSize; ++i) nonZero += block[i] != 0 ? 1 : 0;
    EXPECT_EQ(nonZero, 0u) << "round " << round;
    std::memset(block, 0xAB, kChunkSize);
    EXPECT_TRUE(heap.Free(block));
  }
  EXPECT_EQ(heap.Alloc(0), nullptr);
  EXPECT_TRUE(heap.Free(nullptr));
  heap.Alloc(100);  // left for the heap's destruction to take back
}

TEST(BufferHeapTest, AHeapWithALimitRefusesLargerBlocks) {
  BufferHeap heap(4096);
  EXPECT_EQ(heap.Alloc(kChunkSize), nullptr);
}

}  // namespace
