// The main window's checks: part counts, the default destination of a chosen
// file, and typed folder names. The order of refusals is the split journey's.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app_constants.h"
#include "folder_rules.h"
#include "request_rules.h"
#include "size_presets.h"

// Bound: rounding up must not overflow for 4 GB of one-byte parts. Division
// by zero: a run over an empty file leaves partSize at 0.
TEST(PartCount, RoundsUpWithoutOverflowAndGivesOnePartForAnEmptyFile) {
  const std::uint32_t cases[][3] = {{0, 1457664, 1}, {1457665, 1457664, 2}, {4294967295u, 1, 4294967295u}, {5, 0, 0}};
  for (const auto& c : cases) EXPECT_EQ(PartCount(c[0], c[1]), c[2]) << c[0] << " / " << c[1];
}

// Bound: a folder that does not fit the buffer is refused, not cut.
TEST(SourceFolderOf, KeepsDriveAndFolderWithTheirSeparator) {
  const struct { const char *path, *folder; } cases[] = {{"D:\\data\\big.iso", "D:\\data\\"}, {"D:\\big.iso", "D:\\"},
               {"\\\\server\\share\\a.bin", "\\\\server\\share\\"}, {"big.iso", ""},
               {"d:big.iso", "d:"}, {"C:/mixed\\with/slash.txt", "C:/mixed\\with/"}};
  for (const auto& c : cases) {
    char out[kPathBufferSize];
    ASSERT_TRUE(SourceFolderOf(c.path, out, sizeof out)) << c.path;
    EXPECT_STREQ(out, c.folder) << c.path;
  }
  char small[8];
  EXPECT_FALSE(SourceFolderOf("C:\\longer\\name.bin", small, sizeof small));
  EXPECT_STREQ(small, "");
}

// Bound: a 259-character name must not write its probe's backslash past the buffer.
TEST(CheckFolderName, JudgesTypedNamesAndNeverOverrunsThePathBuffer) {
  const std::string a255(255, 'a');
  const struct {
    std::string name;
    FolderNameVerdict verdict;
    std::string probe;  // what the folder is probed and created as
  } cases[] = {
      {"", FolderNameVerdict::kEmpty, ""},
      {"X:", FolderNameVerdict::kInvalid, ""},
      {"D:\\parts\\\\", FolderNameVerdict::kInvalid, ""},
      {"D:\\parts\\", FolderNameVerdict::kWellFormed, "D:\\parts\\"},
      {"D:\\new\\parts", FolderNameVerdict::kWellFormed, "D:\\new\\parts\\"},
      {"D:\\parts?x", FolderNameVerdict::kBadCharacters, ""},
      {"\\\\server\\share\\new", FolderNameVerdict::kBadCharacters, ""},
      {"D:/a", FolderNameVerdict::kBadCharacters, ""},
      // 259 characters fill a 260-byte buffer: no room for the probe's backslash.
      {"D:\\" + a255 + "a", FolderNameVerdict::kInvalid, ""},
      {"D:\\" + a255 + "\\", FolderNameVerdict::kWellFormed, "D:\\" + a255 + "\\"},
      {"D:\\" + a255 + a255, FolderNameVerdict::kInvalid, ""},
  };
  for (const auto& c : cases) {
    char probe[261];
    probe[260] = '#';
    EXPECT_EQ(CheckFolderName(c.name.c_str(), probe, 260), c.verdict) << c.name;
    EXPECT_EQ(probe, c.probe) << c.name;
    EXPECT_EQ(probe[260], '#') << c.name;
  }
}
