// The main window's checks and texts: part counts, typed folder names, and
// the size texts the user judges a split by (a wrong digit, a place holding
// "10" or an overlong text would mislead or overflow a label). The order of
// refusals is the split journey's.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "app_constants.h"
#include "folder_rules.h"
#include "request_rules.h"
#include "size_presets.h"
#include "size_text.h"
#include "support/code_pages.h"

namespace {

std::string Format(std::uint32_t bytes) {
  char out[20];
  FormatSizeText(bytes, out, sizeof out);
  return out;
}

}  // namespace

// Bound: rounding up must not overflow for 4 GB of one-byte parts. Division
// by zero: a run over an empty file leaves partSize at 0.
TEST(PartCount, RoundsUpWithoutOverflowAndGivesOnePartForAnEmptyFile) {
  const std::uint32_t cases[][3] = {{0, 1457664, 1}, {1457665, 1457664, 2}, {4294967295u, 1, 4294967295u}, {5, 0, 0}};
  for (const auto& c : cases) EXPECT_EQ(PartCount(c[0], c[1]), c[2]) << c[0] << " / " << c[1];
}

// Bound: a 259-character name must not write its probe's backslash past the buffer.
// Mended fault: by byte, the trail byte of ポ was a refused '|' and that of ソ
// a backslash (in 1252 the same bytes are still judged so).
TEST(CheckFolderName, JudgesTypedNamesByCharacterAndNeverOverrunsThePathBuffer) {
  const std::string a255(255, 'a'), report = "D:\\\x83\x8C" + kPo + "\x81\x5B\x83\x67\\";  // レポート
  const struct {
    std::string name;
    FolderNameVerdict verdict;
    std::string probe;  // what the folder is probed and created as
    const LeadBytes& leads = k1252;
  } cases[] = {
      {report, FolderNameVerdict::kWellFormed, report, k932},
      {report, FolderNameVerdict::kBadCharacters, ""},
      {"D:\\out" + kSo, FolderNameVerdict::kWellFormed, "D:\\out" + kSo + "\\", k932},
      {"D:\\out" + kSo, FolderNameVerdict::kWellFormed, "D:\\out" + kSo},
      {"D:\\" + kSo + "\\", FolderNameVerdict::kWellFormed, "D:\\" + kSo + "\\", k932},
      {"D:\\" + kSo + "\\", FolderNameVerdict::kInvalid, ""},
      {kSo + ":\\x", FolderNameVerdict::kBadCharacters, "", k932},  // no drive letter
      {kSo + "\\", FolderNameVerdict::kInvalid, "", k932},  // two characters
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
    SCOPED_TRACE(Shown(c.name, c.leads));
    EXPECT_EQ(CheckFolderName(c.name.c_str(), probe, 260, c.leads), c.verdict);
    EXPECT_EQ(probe, c.probe);
    EXPECT_EQ(probe[260], '#');
  }
}

// Mended fault: a tenth or hundredth that reaches ten must carry into the place
// above, or the text shows a two-digit place.
TEST(FormatSizeText, ShowsTheListedTextsAndCarriesAPlaceThatReachesTen) {
  const struct {
    std::uint32_t bytes;
    const char* text;
  } cases[] = {
      {0, "0 Bytes"}, {999, "999 Bytes"}, {1000, "0.98 KB"}, {1126, "1.10 KB"}, {1000000, "976.57 KB"},
      {1000001, "0.95 MB"}, {100000000, "95.37 MB"}, {100000001, "0.00 GB"}, {4294967295u, "4.00 GB"},
      // Carries (the sweep below checks every text's places): ten tenths, a 9 raised, ten hundredths.
      {1023, "1.00 KB"}, {1222, "1.20 KB"}, {1221, "1.19 KB"}, {10239, "10.00 KB"}, {1283121477, "1.20 GB"},
  };
  for (const auto& c : cases) EXPECT_EQ(Format(c.bytes), c.text) << c.bytes << " bytes";
}

TEST(FormatSizeText, EveryTextIsShortHasOneDigitPerPlaceAndNeverDecreases) {
  // Every count of the kilobyte texts and the first megabyte ones, then a
  // prime stride through the rest of the range.
  unsigned long long previous = 0;
  std::string previousText = "0 Bytes";
  for (unsigned long long bytes = 1000; bytes <= 0xFFFFFFFFull; bytes += bytes < 1100000 ? 1 : 65537) {
    const std::string text = Format(static_cast<std::uint32_t>(bytes));
    unsigned whole = 0, first = 0, second = 0;
    char unit[3] = {};
    int used = 0;
    ASSERT_EQ(std::sscanf(text.c_str(), "%u.%1u%1u %2s%n", &whole, &first, &second, unit, &used), 4)
        << bytes << ": " << text;
    ASSERT_EQ(static_cast<size_t>(used), text.size()) << bytes << ": " << text;
    ASSERT_LE(text.size(), 10u) << bytes << ": " << text;
    ASSERT_TRUE(first <= 9 && second <= 9) << bytes << ": " << text;
    const unsigned long long shown = whole * 100ull + first * 10 + second;
    if (previousText.substr(previousText.size() - 2) == unit) {
      ASSERT_GE(shown, previous) << bytes << ": " << text << " after " << previousText;
    }
    previous = shown;
    previousText = text;
  }
}
