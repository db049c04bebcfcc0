// Part counts and the size texts a user judges a split by.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>

#include "size_presets.h"
#include "size_text.h"

namespace {

std::string Format(std::uint32_t bytes) {
  char out[20];
  FormatSizeText(bytes, out, sizeof out);
  return out;
}

}  // namespace

// Bound: no overflow for 4 GB of one-byte parts. Division by zero: an empty file leaves partSize 0.
TEST(PartCount, RoundsUpWithoutOverflowAndGivesOnePartForAnEmptyFile) {
  const std::uint32_t cases[][3] = {{0, 1457664, 1}, {1457665, 1457664, 2}, {4294967295u, 1, 4294967295u}, {5, 0, 0}};
  for (const auto& c : cases) EXPECT_EQ(PartCount(c[0], c[1]), c[2]) << c[0] << " / " << c[1];
}

// Mended fault: a tenth or hundredth that reaches ten showed a two-digit place (the last five rows).
TEST(FormatSizeText, ShowsTheListedTextsAndCarriesAPlaceThatReachesTen) {
  const std::pair<std::uint32_t, const char*> cases[] = {
      {0, "0 Bytes"},           {999, "999 Bytes"},     {1000, "0.98 KB"},       {1126, "1.10 KB"},
      {1000000, "976.57 KB"},   {1000001, "0.95 MB"},   {100000000, "95.37 MB"}, {100000001, "0.00 GB"},
      {4294967295u, "4.00 GB"}, {1023, "1.00 KB"},      {1222, "1.20 KB"},       {1221, "1.19 KB"},
      {10239, "10.00 KB"},      {1283121477, "1.20 GB"}};
  for (const auto& [bytes, text] : cases) EXPECT_EQ(Format(bytes), text) << bytes << " bytes";
}

TEST(FormatSizeText, EveryTextIsShortHasOneDigitPerPlaceAndNeverDecreases) {
  // Every count of the kilobyte texts and the first megabyte ones, then a prime stride.
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
    const unsigned long long shown = whole * 100ull + first * 10 + second;
    if (previousText.substr(previousText.size() - 2) == unit) {
      ASSERT_GE(shown, previous) << bytes << ": " << text << " after " << previousText;
    }
    previous = shown;
    previousText = text;
  }
}
