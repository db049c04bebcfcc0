// The decisions behind the main window's checks: part counts, which refusal
// the user hears first, the default destination of a chosen file, and what a
// typed folder name leads to.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "folder_rules.h"
#include "request_rules.h"
#include "size_presets.h"

TEST(PartCount, RoundsUpAndNeverGivesZero) {
  const struct {
    std::uint32_t fileSize, partSize, parts;
  } cases[] = {
      {0, 1457664, 1},
      {1457664, 1457664, 1},
      {1457665, 1457664, 2},
      {2915328, 1457664, 2},
      {2915329, 1457664, 3},
      {300000000, 262144, 1145},
      {999, 1, 999},
      {1000, 1, 1000},
      {4294967295u, 1, 4294967295u},
      {4294967295u, 4294967295u, 1},
      {4294967295u, 2147483648u, 2},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PartCount(c.fileSize, c.partSize), c.parts)
        << c.fileSize << " bytes in parts of " << c.partSize;
  }
}

namespace {

bool Always(const char*) { return true; }
bool Never(const char*) { return false; }
// Only names starting with "ok" exist, so each predicate can fail on its own.
bool StartsOk(const char* path) { return std::strncmp(path, "ok", 2) == 0; }

}  // namespace

TEST(FirstRequestRefusal, ReportsOnlyTheFirstFailingCheck) {
  const struct {
    const char* source;
    const char* dest;
    std::uint32_t parts;
    PathPredicate exists;
    PathPredicate isFolder;
    RequestRefusal expected;
  } cases[] = {
      {"", "", 0, Never, Never, RequestRefusal::kNoSource},
      {"", "ok", 5, Always, Always, RequestRefusal::kNoSource},
      {"gone.bin", "", 0, Never, Never, RequestRefusal::kSourceMissing},
      {"ok.bin", "", 0, StartsOk, Never, RequestRefusal::kNoDestination},
      {"ok.bin", "nowhere", 0, StartsOk, StartsOk, RequestRefusal::kDestinationNotFolder},
      {"ok.bin", "ok\\", 0, StartsOk, StartsOk, RequestRefusal::kPartCountOutOfRange},
      {"ok.bin", "ok\\", 1000, StartsOk, StartsOk, RequestRefusal::kPartCountOutOfRange},
      {"ok.bin", "ok\\", 1145, StartsOk, StartsOk, RequestRefusal::kPartCountOutOfRange},
      {"ok.bin", "ok\\", 999, StartsOk, StartsOk, RequestRefusal::kNone},
      {"ok.bin", "ok\\", 1, StartsOk, StartsOk, RequestRefusal::kNone},
  };
  int index = 0;
  for (const auto& c : cases) {
    EXPECT_EQ(FirstRequestRefusal(c.source, c.dest, c.parts, c.exists, c.isFolder), c.expected)
        << "case " << index;
    ++index;
  }
}

TEST(FirstRequestRefusal, SendsEachRefusalToItsField) {
  const struct {
    RequestRefusal refusal;
    RequestField field;
    bool selectText;
  } cases[] = {
      {RequestRefusal::kNoSource, RequestField::kSourceFile, false},
      {RequestRefusal::kSourceMissing, RequestField::kSourceFile, true},
      {RequestRefusal::kNoDestination, RequestField::kDestination, false},
      {RequestRefusal::kDestinationNotFolder, RequestField::kDestination, true},
      {RequestRefusal::kPartCountOutOfRange, RequestField::kSizeList, false},
  };
  for (const auto& c : cases) {
    const RefusalReaction reaction = ReactionTo(c.refusal);
    ASSERT_NE(reaction.message, nullptr) << static_cast<int>(c.refusal);
    EXPECT_EQ(reaction.field, c.field) << reaction.message;
    EXPECT_EQ(reaction.selectText, c.selectText) << reaction.message;
  }
  EXPECT_EQ(ReactionTo(RequestRefusal::kNone).message, nullptr);
}

TEST(SourceFolderOf, KeepsDriveAndFolderWithTheirSeparator) {
  const struct {
    const char* path;
    const char* folder;
  } cases[] = {
      {"D:\\data\\big.iso", "D:\\data\\"},
      {"D:\\big.iso", "D:\\"},
      {"\\\\server\\share\\dir\\a.bin", "\\\\server\\share\\dir\\"},
      {"big.iso", ""},
      {"d:big.iso", "d:"},
      {"sub\\big.iso", "sub\\"},
      {"C:/mixed\\with/slashes.txt", "C:/mixed\\with/"},
      {"", ""},
      {"1:odd", ""},
  };
  for (const auto& c : cases) {
    char out[260];
    std::memset(out, 'x', sizeof out);
    ASSERT_TRUE(SourceFolderOf(c.path, out, sizeof out)) << c.path;
    EXPECT_STREQ(out, c.folder) << c.path;
  }
}

TEST(SourceFolderOf, RefusesAFolderThatDoesNotFit) {
  char out[8];
  std::memset(out, 'x', sizeof out);
  EXPECT_FALSE(SourceFolderOf("C:\\longer\\name.bin", out, sizeof out));
  EXPECT_STREQ(out, "");
  EXPECT_TRUE(SourceFolderOf("C:\\abc\\x", out, sizeof out));
  EXPECT_STREQ(out, "C:\\abc\\");
}

TEST(CheckFolderName, JudgesTypedNames) {
  const struct {
    const char* name;
    FolderNameVerdict verdict;
    const char* probe;  // on kWellFormed
  } cases[] = {
      {"", FolderNameVerdict::kEmpty, ""},
      {"X", FolderNameVerdict::kInvalid, ""},
      {"X:", FolderNameVerdict::kInvalid, ""},
      {"D:\\parts\\\\", FolderNameVerdict::kInvalid, ""},
      {"D:\\\\", FolderNameVerdict::kInvalid, ""},
      {"D:\\parts\\", FolderNameVerdict::kWellFormed, "D:\\parts\\"},
      {"D:\\parts", FolderNameVerdict::kWellFormed, "D:\\parts\\"},
      {"D:\\", FolderNameVerdict::kWellFormed, "D:\\"},
      {"D:\\new\\parts", FolderNameVerdict::kWellFormed, "D:\\new\\parts\\"},
      {"D:\\parts?x", FolderNameVerdict::kBadCharacters, ""},
      {"parts\\x", FolderNameVerdict::kBadCharacters, ""},
      {"\\\\server\\share\\new", FolderNameVerdict::kBadCharacters, ""},
      {":D\\x", FolderNameVerdict::kBadCharacters, ""},
      {"D:\\a:b", FolderNameVerdict::kBadCharacters, ""},
      {"D:/parts", FolderNameVerdict::kBadCharacters, ""},
      {"D:\\p\"s", FolderNameVerdict::kBadCharacters, ""},
      {"D:\\p<s", FolderNameVerdict::kBadCharacters, ""},
      {"D:\\p>s", FolderNameVerdict::kBadCharacters, ""},
      {"D:\\p|s", FolderNameVerdict::kBadCharacters, ""},
      {"D:\\p*s", FolderNameVerdict::kBadCharacters, ""},
      {"D:\\with space.and-dots", FolderNameVerdict::kWellFormed, "D:\\with space.and-dots\\"},
  };
  for (const auto& c : cases) {
    char probe[260];
    std::memset(probe, 'x', sizeof probe);
    EXPECT_EQ(CheckFolderName(c.name, probe, sizeof probe), c.verdict) << c.name;
    EXPECT_STREQ(probe, c.probe) << c.name;
  }
}

TEST(CheckFolderName, NeverWritesPastThePathBuffer) {
  // 259 characters is the longest name a 260-byte buffer holds; it has no
  // room for the backslash the probe needs, so it is refused, not overrun.
  const std::string longest = "D:\\" + std::string(256, 'a');
  const std::string withSlash = "D:\\" + std::string(255, 'a') + "\\";
  const std::string tooLong = "D:\\" + std::string(300, 'a');
  char probe[260];
  EXPECT_EQ(CheckFolderName(longest.c_str(), probe, sizeof probe), FolderNameVerdict::kInvalid);
  EXPECT_EQ(CheckFolderName(tooLong.c_str(), probe, sizeof probe), FolderNameVerdict::kInvalid);
  ASSERT_EQ(CheckFolderName(withSlash.c_str(), probe, sizeof probe),
            FolderNameVerdict::kWellFormed);
  EXPECT_EQ(std::string(probe), withSlash);
  const std::string fits = "D:\\" + std::string(255, 'a');
  ASSERT_EQ(CheckFolderName(fits.c_str(), probe, sizeof probe), FolderNameVerdict::kWellFormed);
  EXPECT_EQ(std::string(probe), fits + "\\");
}

TEST(FolderNotices, ProbeErrorsLeadToTheirReaction) {
  const struct {
    std::uint32_t error;
    FolderNotice notice;
  } cases[] = {
      {2, FolderNotice::kAskToCreate},      {3, FolderNotice::kAskToCreate},
      {5, FolderNotice::kAccessDenied},     {21, FolderNotice::kInsertDisk},
      {53, FolderNotice::kNetworkNotFound}, {0, FolderNotice::kDiskAccess},
      {1, FolderNotice::kDiskAccess},       {4, FolderNotice::kDiskAccess},
      {67, FolderNotice::kDiskAccess},      {123, FolderNotice::kDiskAccess},
      {206, FolderNotice::kDiskAccess},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NoticeForProbeError(c.error), c.notice) << "error " << c.error;
  }
}

TEST(FolderNotices, NameVerdictsPickTheirMessageAndStyle) {
  const FolderNoticeText invalid = NoticeText(NoticeFor(FolderNameVerdict::kInvalid));
  EXPECT_STREQ(invalid.message, "Directory Name is invalid Please Correct");
  EXPECT_EQ(invalid.style, NoticeStyle::kStop);
  const FolderNoticeText characters = NoticeText(NoticeFor(FolderNameVerdict::kBadCharacters));
  EXPECT_STREQ(characters.message,
               "Directory Name cannot contain any of the following characters:\n"
               "              / : * ? \" < > | ");
  EXPECT_EQ(characters.style, NoticeStyle::kStop);
  EXPECT_EQ(NoticeText(FolderNotice::kAskToCreate).style, NoticeStyle::kYesNoQuestion);
  EXPECT_EQ(NoticeText(FolderNotice::kCreated).style, NoticeStyle::kPlain);
  EXPECT_EQ(NoticeText(FolderNotice::kNotCorrected).style, NoticeStyle::kInformation);
}
