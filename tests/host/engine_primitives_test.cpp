// DiskFile and the trailing separator on the platform's real files. Short
// reads and missing sources are the split run's.
#include <gtest/gtest.h>

#include <string>

#include "disk_file.h"
#include "path_text.h"
#include "support/files.h"

namespace {

// Bound: the separator is added only when it and the terminator fit.
TEST(PathText, TrailingSeparatorIsAddedOnceAndOnlyWhenItFits) {
  char folder[8] = "out";
  EXPECT_TRUE(AddTrailingSeparator(folder, sizeof folder) && AddTrailingSeparator(folder, sizeof folder));
  EXPECT_EQ(std::string(folder), std::string("out") + kPathSeparator);
  char full[8] = "1234567";
  EXPECT_FALSE(AddTrailingSeparator(full, sizeof full));
  EXPECT_STREQ(full, "1234567");
}

class DiskFileTest : public ::testing::Test {
 protected:
  TempFolder temp;
  std::string path = temp / "file.bin";
};

// Lost data: a refused create-new leaves the file as it was.
TEST_F(DiskFileTest, WritingEmptiesAnExistingFileAndCreatingNewRefusesIt) {
  WriteBytes(path, std::string(1000, 'o'));
  DiskFile file;
  EXPECT_FALSE(file.Open(4, path.c_str())) << "no such mode";
  EXPECT_FALSE(file.Open(kDiskFileRead, temp.Path().c_str())) << "a folder";
  EXPECT_FALSE(file.Open(kDiskFileCreateNew, path.c_str()));
  EXPECT_EQ(SizeOf(path), 1000u);
  ASSERT_TRUE(file.Open(kDiskFileWrite, path.c_str()));
  EXPECT_EQ(SizeOf(path), 0u) << "emptied before the first write";
  EXPECT_TRUE(file.Write("new", 3) && file.Close());
  EXPECT_EQ(ReadBytes(path), "new");
}

// Lost data: a refused write open must not cut the file another program holds.
TEST_F(DiskFileTest, AFileOpenElsewhereCannotBeOpenedAndKeepsItsContent) {
  WriteBytes(path, "held");
  for (std::uint32_t heldAs : {kDiskFileRead, kDiskFileWrite}) {
    SCOPED_TRACE(heldAs);
    {
      DiskFile holder, other;
      ASSERT_TRUE(holder.Open(heldAs, path.c_str()));
      ASSERT_TRUE(heldAs == kDiskFileRead || holder.Write("held", 4));
      for (std::uint32_t mode : {kDiskFileRead, kDiskFileWrite}) {
        EXPECT_FALSE(other.Open(mode, path.c_str())) << "then opened as " << mode;
        EXPECT_FALSE(other.IsOpen());
      }
    }
    EXPECT_EQ(ReadBytes(path), "held");
  }
}

}  // namespace
