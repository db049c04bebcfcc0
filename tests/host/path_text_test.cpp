// Paths walked by character: in double-byte code pages a trail byte may be that of '\', '|' or '^'
// (the same rows in 1252, where every byte is a character, keep their old results).
#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "app_constants.h"
#include "folder_rules.h"
#include "path_text.h"
#include "request_rules.h"

namespace {

constexpr LeadBytes k932 = LeadBytes().Add(0x81, 0x9F).Add(0xE0, 0xFC), k936 = LeadBytes().Add(0x81, 0xFE), k1252;
// ソ, 表, ポ, タ and デ in 932; 乗 (81 5C) in 936.
const std::string kSo = "\x83\x5C", kHyo = "\x95\x5C", kPo = "\x83\x7C", kTa = "\x83\x5E", kDe = "\x83\x66",
                  kGb = "\x81\x5C";

// Mended fault: the trail byte of ソ was taken for a separator ("ソフト.txt" gave "フト.txt.001").
TEST(PathText, ANameBeginsAfterTheLastSeparatorCharacter) {
  const std::string file = "C:\\" + kDe + kSo + "\\" + kSo + "x" + kHyo + ".txt";
  const std::tuple<std::string, const LeadBytes&, std::string> cases[] = {
      {file, k932, "C:\\" + kDe + kSo + "\\"},
      {file, k1252, file.substr(0, file.size() - 4)},
      {"d:" + kSo, k932, "d:"},
      {"d:" + kSo, k1252, "d:" + kSo},
      {"\\\\srv\\" + kPo + kTa + "\\" + kPo, k932, "\\\\srv\\" + kPo + kTa + "\\"},
      {"D:\\" + kGb + "\\" + kGb + ".bin", k936, "D:\\" + kGb + "\\"},
      {"D:\\" + kGb + "\\" + kGb + ".bin", k1252, "D:\\" + kGb + "\\" + kGb},
      {"D:\\data\\big.iso", k1252, "D:\\data\\"},
      {"\\\\server\\share\\a.bin", k1252, "\\\\server\\share\\"},
      {"big.iso", k1252, ""},
      {"d:big.iso", k1252, "d:"},
      {"C:/mixed\\with/slash.txt", k1252, "C:/mixed\\with/"},
  };
  for (const auto& c : cases) {
    const auto& [path, leads, folder] = c;
    SCOPED_TRACE("row " + std::to_string(&c - cases));
    EXPECT_EQ(std::string(FileNamePart(path.c_str(), leads, PathStyle::kWindows)), path.substr(folder.size()));
    char out[kPathBufferSize];
    ASSERT_TRUE(SourceFolderOf(path.c_str(), out, sizeof out, leads));
    EXPECT_EQ(out, folder);
  }
  // Bound: a folder that does not fit the buffer is refused, not cut.
  char small[8];
  EXPECT_FALSE(SourceFolderOf("C:\\longer\\name.bin", small, sizeof small));
  EXPECT_STREQ(small, "");
}

// Mended fault: a folder ending in ソ or 表 was taken as ending in a backslash (parts went into
// its parent). Bound: the separator is added only when it and the terminator fit.
TEST(PathText, AFolderEndsInASeparatorCharacterOrGetsOneThatFits) {
  const std::string out = "C:\\out" + kSo, share = "\\\\srv\\share" + kHyo;
  const std::tuple<std::string, const LeadBytes&, std::size_t, bool, std::string, std::string> cases[] = {
      {out, k932, 260, true, out + "\\", "C:\\"},
      {out, k1252, 260, true, out, "C:\\"},
      {out + "\\", k932, 260, true, out + "\\", "C:\\"},
      {share, k932, 260, true, share + "\\", share + "\\"},
      {share, k1252, 260, true, share, share},
      {"relative\\out", k1252, 260, true, "relative\\out\\", "relative\\out\\"},
      {"abcd" + kSo, k932, 8, true, "abcd" + kSo + "\\", "abcd" + kSo + "\\"},
      {"abcde" + kSo, k932, 8, false, "abcde" + kSo, ""},
      {"1234567", k1252, 8, false, "1234567", ""},
  };
  for (const auto& c : cases) {
    const auto& [typed, leads, size, fits, after, expectedRoot] = c;
    SCOPED_TRACE("row " + std::to_string(&c - cases));
    char folder[kPathBufferSize], root[kPathBufferSize] = "";
    std::snprintf(folder, sizeof folder, "%s", typed.c_str());
    EXPECT_EQ(AddTrailingSeparator(folder, size, leads, PathStyle::kWindows), fits);
    EXPECT_EQ(folder, after);
    EXPECT_EQ(VolumeRootOf(typed.c_str(), root, size, leads, PathStyle::kWindows), fits);
    EXPECT_EQ(fits ? root : "", expectedRoot);
  }
}

// Bound: a 259-character name must not write its probe's backslash past the buffer.
// Mended fault: by byte, the trail byte of ポ was a refused '|' and that of ソ a backslash.
TEST(CheckFolderName, JudgesTypedNamesByCharacterAndNeverOverrunsThePathBuffer) {
  using V = FolderNameVerdict;
  const std::string a255(255, 'a'), report = "D:\\\x83\x8C" + kPo + "\x81\x5B\x83\x67\\";  // レポート
  // probe: what the folder is probed and created as
  std::vector<std::tuple<std::string, V, std::string, const LeadBytes&>> cases = {
      {report, V::kWellFormed, report, k932},
      {report, V::kBadCharacters, "", k1252},
      {"D:\\out" + kSo, V::kWellFormed, "D:\\out" + kSo + "\\", k932},
      {"D:\\out" + kSo, V::kWellFormed, "D:\\out" + kSo, k1252},
      {"D:\\" + kSo + "\\", V::kWellFormed, "D:\\" + kSo + "\\", k932},
      {"D:\\" + kSo + "\\", V::kInvalid, "", k1252},
      {kSo + ":\\x", V::kBadCharacters, "", k932},
      {kSo + "\\", V::kInvalid, "", k932},  // no drive; two characters
      {"", V::kEmpty, "", k1252},
      {"X:", V::kInvalid, "", k1252},
      {"D:\\parts\\\\", V::kInvalid, "", k1252},
      {"D:\\new\\parts", V::kWellFormed, "D:\\new\\parts\\", k1252},
      {"\\\\server\\share\\new", V::kBadCharacters, "", k1252},
      // 259 characters fill a 260-byte buffer: no room for the probe's backslash.
      {"D:\\" + a255 + "a", V::kInvalid, "", k1252},
      {"D:\\" + a255 + "ab", V::kInvalid, "", k1252},  // 260: the name itself would not fit
      {"D:\\" + a255 + "\\", V::kWellFormed, "D:\\" + a255 + "\\", k1252},
      {"D:\\" + a255 + a255, V::kInvalid, "", k1252},
  };
  // Each character a folder name cannot hold (a colon only after the drive letter).
  for (char bad : std::string("?/*|\"<>:"))
    cases.emplace_back(std::string("D:\\a") + bad + "b", V::kBadCharacters, "", k1252);
  for (const auto& c : cases) {
    const auto& [name, verdict, expected, leads] = c;
    SCOPED_TRACE("row " + std::to_string(&c - cases.data()));
    char probe[261];
    probe[260] = '#';
    EXPECT_EQ(CheckFolderName(name.c_str(), probe, 260, leads), verdict);
    EXPECT_EQ(probe, expected);
    EXPECT_EQ(probe[260], '#');
  }
}

// Mended faults: a typed name had no exact-name check (its best fit named another file); a
// name too long for the path buffer is refused, never cut.
TEST(JudgeName, TakesANameWholeOrRefusesItAsItsWayIn) {
  using E = NameEntry;
  const NameField src = NameField::kSource, dst = NameField::kDestination;
  const auto inexact = MessageId::kInexactName, missing = MessageId::kSourceMissing;
  constexpr std::size_t kFits = 259, kLong = 260;
  // field, entry, exact, bytes, exists; taken, clears, what the user is told (none: nothing)
  const std::tuple<NameField, E, bool, std::size_t, bool, bool, bool, std::optional<MessageId>> cases[] = {
      {src, E::kCommandLine, true, kFits, true, true, false, {}},
      {src, E::kCommandLine, true, kFits, false, false, true, {}},
      {src, E::kCommandLine, true, kLong, true, false, true, {}},
      {src, E::kCommandLine, false, 0, true, false, true, inexact},
      {src, E::kCommandLine, false, 0, false, false, true, {}},
      {src, E::kHandOver, true, kFits, false, false, false, {}},
      {src, E::kHandOver, true, kLong, true, false, false, {}},
      {src, E::kTyped, true, kFits, false, true, false, {}},  // Split says it is missing
      {src, E::kTyped, true, kLong, true, false, true, missing},
      {src, E::kTyped, false, 0, true, false, true, inexact},
      {src, E::kPicker, false, 0, true, false, false, inexact},
      {src, E::kPicker, true, kLong, true, false, false, {}},
      {src, E::kDrop, false, 0, true, false, false, {}},
      {dst, E::kTyped, true, kLong, true, false, true, {}},  // the field's check refuses it
      {dst, E::kTyped, false, 0, true, false, true, inexact},
      {dst, E::kHistory, false, 0, true, false, false, {}},
      {dst, E::kSourceFolder, true, kFits, true, true, false, {}},
      {dst, E::kPicker, true, kFits, false, true, false, {}},
  };
  for (const auto& c : cases) {
    const auto& [field, entry, exact, bytes, exists, taken, clears, told] = c;
    SCOPED_TRACE("row " + std::to_string(&c - cases));
    const NameVerdict verdict = JudgeName(field, entry, {exact, bytes, exists});
    EXPECT_EQ(verdict.taken, taken);
    EXPECT_EQ(verdict.clears, clears);
    EXPECT_EQ(verdict.refusal, told);
  }
}

}  // namespace
