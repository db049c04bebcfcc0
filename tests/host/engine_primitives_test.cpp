// DiskFile, BufferHeap and the trailing separator on the platform's real files
// and memory. Short reads and missing sources are the split run's.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>

#include "buffer_heap.h"
#include "disk_file.h"
#include "path_text.h"
#include "split_job.h"
#include "support/temp_folder.h"

namespace {

TEST(PathText, TrailingSeparatorIsAddedOnceAndOnlyWhenItFits) {
  char folder[8] = "out";
  EXPECT_TRUE(AddTrailingSeparator(folder, sizeof folder));
  EXPECT_TRUE(AddTrailingSeparator(folder, sizeof folder));
  EXPECT_EQ(std::string(folder), std::string("out") + kPathSeparator);
  char full[8] = "1234567";  // no room for the separator and the terminator
  EXPECT_FALSE(AddTrailingSeparator(full, sizeof full));
  EXPECT_STREQ(full, "1234567");
}

class DiskFileTest : public ::testing::Test {
 protected:
  TempFolder temp;
  std::string path = temp.File("file.bin");
};

TEST_F(DiskFileTest, WritingEmptiesAnExistingFileAndCreatingNewRefusesIt) {
  WriteBytes(path, std::string(1000, 'o'));
  DiskFile file;
  EXPECT_FALSE(file.Open(4, path.c_str())) << "no such mode";
  EXPECT_FALSE(file.Open(kDiskFileRead, temp.Path().c_str())) << "a folder";
  EXPECT_FALSE(file.Open(kDiskFileCreateNew, path.c_str()));
  EXPECT_EQ(SizeOf(path), 1000u) << "a refused create-new leaves the file alone";
  ASSERT_TRUE(file.Open(kDiskFileWrite, path.c_str()));
  EXPECT_EQ(SizeOf(path), 0u) << "emptied before the first write";
  EXPECT_TRUE(file.Write("new", 3) && file.Close());
  EXPECT_EQ(ReadBytes(path), "new");
}

TEST_F(DiskFileTest, AFileOpenElsewhereCannotBeOpened) {
  WriteBytes(path, "held");
  for (std::uint32_t heldAs : {kDiskFileRead, kDiskFileWrite}) {
    DiskFile holder, other;
    ASSERT_TRUE(holder.Open(heldAs, path.c_str()));
    for (std::uint32_t mode : {kDiskFileRead, kDiskFileWrite}) {
      EXPECT_FALSE(other.Open(mode, path.c_str())) << "held as " << heldAs << " then " << mode;
      EXPECT_FALSE(other.IsOpen());
    }
  }
  EXPECT_EQ(ReadBytes(path), "") << "the write holder emptied it, no one else";
}

TEST(BufferHeapTest, BlocksAreZeroFilledEvenWhenMemoryIsReused) {
  BufferHeap heap;
  for (int round = 0; round < 3; ++round) {
    auto* block = static_cast<unsigned char*>(heap.Alloc(kChunkSize));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(std::count(block, block + kChunkSize, 0), std::ptrdiff_t{kChunkSize}) << round;
    std::memset(block, 0xAB, kChunkSize);
    EXPECT_TRUE(heap.Free(block));
  }
  heap.Alloc(100);  // left for the heap's destruction to take back
}

}  // namespace
