// The decisions behind the main window's checks: part counts, which refusal
// the user hears first, the default destination of a chosen file, and what a
// typed folder name leads to.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "folder_rules.h"
#include "request_rules.h"
#include "size_presets.h"

TEST(PartCount, RoundsUpAndGivesOnePartForAFileThatFits) {
  const std::uint32_t cases[][3] = {{0, 1457664, 1},       {1457664, 1457664, 1},     {1457665, 1457664, 2},
                                    {2915328, 1457664, 2}, {300000000, 262144, 1145}, {4294967295u, 1, 4294967295u}};
  for (const auto& c : cases) EXPECT_EQ(PartCount(c[0], c[1]), c[2]) << c[0] << " / " << c[1];
}

namespace {
bool Never(const char*) { return false; }
// Only names starting with "ok" exist, so each check can fail on its own.
bool StartsOk(const char* path) { return std::strncmp(path, "ok", 2) == 0; }
}  // namespace

TEST(FirstRequestRefusal, ReportsOnlyTheFirstFailingCheck) {
  const struct {
    const char *source, *dest;
    std::uint32_t parts;
    RequestRefusal expected;
  } cases[] = {
      {"", "", 0, RequestRefusal::kNoSource},
      {"", "ok", 5, RequestRefusal::kNoSource},
      {"gone", "", 0, RequestRefusal::kSourceMissing},
      {"ok.bin", "", 0, RequestRefusal::kNoDestination},
      {"ok.bin", "nowhere", 0, RequestRefusal::kDestinationNotFolder},
      {"ok.bin", "ok\\", 0, RequestRefusal::kPartCountOutOfRange},
      {"ok.bin", "ok\\", 1000, RequestRefusal::kPartCountOutOfRange},
      {"ok.bin", "ok\\", 999, RequestRefusal::kNone},
      {"ok.bin", "ok\\", 1, RequestRefusal::kNone},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FirstRequestRefusal(c.source, c.dest, c.parts, StartsOk, StartsOk), c.expected)
        << c.source << " | " << c.dest << " | " << c.parts;
  }
  EXPECT_EQ(FirstRequestRefusal("", "", 0, Never, Never), RequestRefusal::kNoSource);
}

TEST(SourceFolderOf, KeepsDriveAndFolderWithTheirSeparator) {
  const struct {
    const char *path, *folder;
  } cases[] = {{"D:\\data\\big.iso", "D:\\data\\"}, {"D:\\big.iso", "D:\\"},
               {"\\\\server\\share\\a.bin", "\\\\server\\share\\"}, {"big.iso", ""},
               {"d:big.iso", "d:"}, {"C:/mixed\\with/slash.txt", "C:/mixed\\with/"},
               {"1:odd", ""}};
  for (const auto& c : cases) {
    char out[260];
    ASSERT_TRUE(SourceFolderOf(c.path, out, sizeof out)) << c.path;
    EXPECT_STREQ(out, c.folder) << c.path;
  }
  char small[8];
  EXPECT_FALSE(SourceFolderOf("C:\\longer\\name.bin", small, sizeof small));
  EXPECT_STREQ(small, "");
}

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
      {"D:\\", FolderNameVerdict::kWellFormed, "D:\\"},
      {"D:\\parts?x", FolderNameVerdict::kBadCharacters, ""},
      {"parts\\x", FolderNameVerdict::kBadCharacters, ""},
      {"\\\\server\\share\\new", FolderNameVerdict::kBadCharacters, ""},
      {"D:\\a:b", FolderNameVerdict::kBadCharacters, ""},
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

TEST(NoticeForProbeError, MapsEachErrorToItsReaction) {
  const struct {
    std::uint32_t error;
    FolderNotice notice;
  } cases[] = {{2, FolderNotice::kAskToCreate},   {3, FolderNotice::kAskToCreate},
               {5, FolderNotice::kAccessDenied},  {21, FolderNotice::kInsertDisk},
               {53, FolderNotice::kNetworkNotFound}, {0, FolderNotice::kDiskAccess},
               {4, FolderNotice::kDiskAccess},    {123, FolderNotice::kDiskAccess}};
  for (const auto& c : cases) EXPECT_EQ(NoticeForProbeError(c.error), c.notice) << c.error;
}
