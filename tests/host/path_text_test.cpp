// Where a path's name begins, whether it ends in a separator, whether a typed
// folder name is well formed: in the double-byte code pages a trail byte may be
// the byte of '\', '|' or '^'. Such rows also run in code page 1252, where
// every byte is a character and the results stay what they always were.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "app_constants.h"
#include "folder_rules.h"
#include "path_text.h"
#include "request_rules.h"

namespace {

// Lead bytes of code pages 932 (Japanese) and 936 (Chinese); 1252 has none.
constexpr LeadBytes k932 = LeadBytes().Add(0x81, 0x9F).Add(0xE0, 0xFC), k936 = LeadBytes().Add(0x81, 0xFE), k1252;
// ソ, 表, ポ, タ and デ in 932; 乗 (81 5C) in 936.
const std::string kSo = "\x83\x5C", kHyo = "\x95\x5C", kPo = "\x83\x7C", kTa = "\x83\x5E", kDe = "\x83\x66",
                  kGb = "\x81\x5C";

// Mended fault: the trail byte of ソ was taken for a separator: "ソフト.txt"
// gave parts named "フト.txt.001", and a file in "データソ" whose name holds 表
// got the folder "…\データソ\ソフト表" as its destination.
TEST(PathText, ANameBeginsAfterTheLastSeparatorCharacter) {
  const std::string file = "C:\\" + kDe + kSo + "\\" + kSo + "x" + kHyo + ".txt";
  const struct {
    std::string path;
    const LeadBytes& leads;
    std::string folder;
  } cases[] = {
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
    SCOPED_TRACE("row " + std::to_string(&c - cases));
    EXPECT_EQ(std::string(FileNamePart(c.path.c_str(), c.leads, PathStyle::kWindows)), c.path.substr(c.folder.size()));
    char out[kPathBufferSize];
    ASSERT_TRUE(SourceFolderOf(c.path.c_str(), out, sizeof out, c.leads));
    EXPECT_EQ(out, c.folder);
  }
  // Bound: a folder that does not fit the buffer is refused, not cut.
  char small[8];
  EXPECT_FALSE(SourceFolderOf("C:\\longer\\name.bin", small, sizeof small));
  EXPECT_STREQ(small, "");
}

// Mended fault: a folder ending in ソ or 表 was taken as ending in a
// backslash, and the parts went beside it into its parent. Bound: the
// separator is added only when it and the terminator fit.
TEST(PathText, AFolderEndsInASeparatorCharacterOrGetsOneThatFits) {
  const std::string out = "C:\\out" + kSo, share = "\\\\srv\\share" + kHyo;
  const struct {
    std::string folder;
    const LeadBytes& leads;
    std::size_t size;
    bool fits;
    std::string after, root;
  } cases[] = {
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
    SCOPED_TRACE("row " + std::to_string(&c - cases));
    char folder[kPathBufferSize], root[kPathBufferSize] = "";
    std::snprintf(folder, sizeof folder, "%s", c.folder.c_str());
    EXPECT_EQ(AddTrailingSeparator(folder, c.size, c.leads, PathStyle::kWindows), c.fits);
    EXPECT_EQ(folder, c.after);
    EXPECT_EQ(VolumeRootOf(c.folder.c_str(), root, c.size, c.leads, PathStyle::kWindows), c.fits);
    EXPECT_EQ(c.fits ? root : "", c.root);
  }
}

// Bound: a 259-character name must not write its probe's backslash past the buffer.
// Mended fault: by byte, the trail byte of ポ was a refused '|' and that of ソ
// a backslash (in 1252 the same bytes are still judged so).
TEST(CheckFolderName, JudgesTypedNamesByCharacterAndNeverOverrunsThePathBuffer) {
  using V = FolderNameVerdict;
  const std::string a255(255, 'a'), report = "D:\\\x83\x8C" + kPo + "\x81\x5B\x83\x67\\";  // レポート
  // probe: what the folder is probed and created as
  const struct {
    std::string name;
    V verdict;
    std::string probe;
    const LeadBytes& leads = k1252;
  } cases[] = {
      {report, V::kWellFormed, report, k932},
      {report, V::kBadCharacters, ""},
      {"D:\\out" + kSo, V::kWellFormed, "D:\\out" + kSo + "\\", k932},
      {"D:\\out" + kSo, V::kWellFormed, "D:\\out" + kSo},
      {"D:\\" + kSo + "\\", V::kWellFormed, "D:\\" + kSo + "\\", k932},
      {"D:\\" + kSo + "\\", V::kInvalid, ""},
      {kSo + ":\\x", V::kBadCharacters, "", k932},
      {kSo + "\\", V::kInvalid, "", k932},  // no drive; two characters
      {"", V::kEmpty, ""},
      {"X:", V::kInvalid, ""},
      {"D:\\parts\\\\", V::kInvalid, ""},
      {"D:\\parts\\", V::kWellFormed, "D:\\parts\\"},
      {"D:\\new\\parts", V::kWellFormed, "D:\\new\\parts\\"},
      {"D:\\parts?x", V::kBadCharacters, ""},
      {"\\\\server\\share\\new", V::kBadCharacters, ""},
      {"D:/a", V::kBadCharacters, ""},
      // 259 characters fill a 260-byte buffer: no room for the probe's backslash.
      {"D:\\" + a255 + "a", V::kInvalid, ""},
      {"D:\\" + a255 + "\\", V::kWellFormed, "D:\\" + a255 + "\\"},
      {"D:\\" + a255 + a255, V::kInvalid, ""},
  };
  for (const auto& c : cases) {
    char probe[261];
    probe[260] = '#';
    SCOPED_TRACE("row " + std::to_string(&c - cases));
    EXPECT_EQ(CheckFolderName(c.name.c_str(), probe, 260, c.leads), c.verdict);
    EXPECT_EQ(probe, c.probe);
    EXPECT_EQ(probe[260], '#');
  }
}

}  // namespace
