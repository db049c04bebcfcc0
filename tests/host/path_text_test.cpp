// Where a path's name begins and whether it ends in a separator, on every
// Windows: in the double-byte code pages of Japanese and Chinese Windows a
// trail byte may be the byte of '\', '|' or '^'. Each row of such bytes also
// runs in code page 1252, where every byte is a character and the results
// stay what they always were.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app_constants.h"
#include "path_text.h"
#include "request_rules.h"
#include "support/code_pages.h"

namespace {

// Mended fault: the trail byte of ソ was taken for a separator: "ソフト.txt"
// gave parts named "フト.txt.001", and a file in "データソ" whose name holds 表
// got the folder "…\データソ\ソフト表" as its destination.
TEST(PathText, ANameBeginsAfterTheLastSeparatorCharacter) {
  const std::string file = "C:\\" + kDe + kSo + "\\" + kSo + "x" + kHyo + ".txt";
  const struct { std::string path; const LeadBytes& leads; std::string folder; } cases[] = {
      {file, k932, "C:\\" + kDe + kSo + "\\"}, {file, k1252, file.substr(0, file.size() - 4)},
      {"d:" + kSo, k932, "d:"}, {"d:" + kSo, k1252, "d:" + kSo},
      {"\\\\srv\\" + kPo + kTa + "\\" + kPo, k932, "\\\\srv\\" + kPo + kTa + "\\"},
      {"D:\\" + kGb + "\\" + kGb + ".bin", k936, "D:\\" + kGb + "\\"},
      {"D:\\" + kGb + "\\" + kGb + ".bin", k1252, "D:\\" + kGb + "\\" + kGb},
      {"D:\\data\\big.iso", k1252, "D:\\data\\"}, {"\\\\server\\share\\a.bin", k1252, "\\\\server\\share\\"},
      {"big.iso", k1252, ""}, {"d:big.iso", k1252, "d:"}, {"C:/mixed\\with/slash.txt", k1252, "C:/mixed\\with/"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Shown(c.path, c.leads));
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
  const struct { std::string folder; const LeadBytes& leads; std::size_t size; bool fits; std::string after, root; } cases[] = {
      {out, k932, 260, true, out + "\\", "C:\\"}, {out, k1252, 260, true, out, "C:\\"},
      {out + "\\", k932, 260, true, out + "\\", "C:\\"}, {share, k932, 260, true, share + "\\", share + "\\"},
      {share, k1252, 260, true, share, share}, {"out", k1252, 260, true, "out\\", "out\\"},
      {"abcd" + kSo, k932, 8, true, "abcd" + kSo + "\\", "abcd" + kSo + "\\"},
      {"abcde" + kSo, k932, 8, false, "abcde" + kSo, ""}, {"1234567", k1252, 8, false, "1234567", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Shown(c.folder, c.leads));
    char folder[kPathBufferSize], root[kPathBufferSize] = "";
    std::snprintf(folder, sizeof folder, "%s", c.folder.c_str());
    EXPECT_EQ(AddTrailingSeparator(folder, c.size, c.leads, PathStyle::kWindows), c.fits);
    EXPECT_EQ(folder, c.after);
    EXPECT_EQ(VolumeRootOf(c.folder.c_str(), root, c.size, c.leads, PathStyle::kWindows), c.fits);
    EXPECT_EQ(c.fits ? root : "", c.root);
  }
}

}  // namespace
