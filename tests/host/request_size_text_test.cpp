// Size texts are what the user reads to judge a split; a wrong digit, a
// two-digit "place" or an overlong text would mislead or overflow a label.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "size_text.h"

namespace {

std::string Format(std::uint32_t bytes) {
  char out[20];
  std::memset(out, 'x', sizeof out);
  FormatSizeText(bytes, out, sizeof out);
  return out;
}

struct Shown {
  unsigned whole = 0, first = 0, second = 0;
  char unit[8] = {};
};

// Reads "w.dd UNIT" back; false for any other shape.
bool Parse(const std::string& text, Shown* shown) {
  char tail = 0;
  int consumed = 0;
  if (std::sscanf(text.c_str(), "%u.%1u%1u %2s%n%c", &shown->whole, &shown->first,
                  &shown->second, shown->unit, &consumed, &tail) != 4) {
    return false;
  }
  return static_cast<std::size_t>(consumed) == text.size();
}

// Hundredths of the unit, for ordering texts of one unit.
unsigned long long Hundredths(const Shown& shown) {
  return shown.whole * 100ull + shown.first * 10ull + shown.second;
}

}  // namespace

TEST(FormatSizeText, ShowsEveryListedExample) {
  const struct {
    std::uint32_t bytes;
    const char* text;
  } cases[] = {
      {0, "0 Bytes"},           {999, "999 Bytes"},         {1000, "0.98 KB"},
      {1024, "1.00 KB"},        {1124, "1.00 KB"},          {1126, "1.10 KB"},
      {262144, "256.00 KB"},    {1000000, "976.57 KB"},     {1000001, "0.95 MB"},
      {1048576, "1.00 MB"},     {1457664, "1.39 MB"},       {3145728, "3.00 MB"},
      {100000000, "95.37 MB"},  {100000001, "0.00 GB"},     {200000000, "0.19 GB"},
      {1073741824, "1.00 GB"},  {4294967295u, "4.00 GB"},   {1500, "1.47 KB"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Format(c.bytes), c.text) << "bytes " << c.bytes;
  }
}

TEST(FormatSizeText, CarriesAPlaceThatReachesTen) {
  const struct {
    std::uint32_t bytes;
    const char* text;
  } cases[] = {
      {1023, "1.00 KB"},        // ten tenths
      {2047, "2.00 KB"},
      {2097151, "2.00 MB"},
      {10239, "10.00 KB"},      // into a two-digit whole part
      {1222, "1.20 KB"},        // rounding raises a 9
      {1221, "1.19 KB"},        //   one byte less does not round
      {1253042, "1.20 MB"},
      {1253041, "1.19 MB"},
      {1283121477, "1.20 GB"},
      {1226, "1.20 KB"},        // ten hundredths before rounding
      {2038, "2.00 KB"},        // a carried hundredth carries the tenths on
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Format(c.bytes), c.text) << "bytes " << c.bytes;
  }
}

TEST(FormatSizeText, EveryTextIsShortWellFormedAndOrdered) {
  // Every count up to 3 MB (all byte and KB texts, the KB-MB edge and the
  // 2097151 carry), then a prime stride over the rest of the range, plus
  // both sides of each unit edge.
  Shown previous;
  std::string previousText;
  auto check = [&](std::uint32_t bytes) {
    const std::string text = Format(bytes);
    ASSERT_LE(text.size(), 10u) << "bytes " << bytes << ": " << text;
    if (bytes < 1000) {
      ASSERT_EQ(text, std::to_string(bytes) + " Bytes");
      return;
    }
    Shown shown;
    ASSERT_TRUE(Parse(text, &shown)) << "bytes " << bytes << ": " << text;
    ASSERT_LE(shown.first, 9u) << text;
    ASSERT_LE(shown.second, 9u) << text;
    if (!previousText.empty() && std::strcmp(previous.unit, shown.unit) == 0) {
      ASSERT_GE(Hundredths(shown), Hundredths(previous))
          << "bytes " << bytes << ": " << text << " after " << previousText;
    }
    previous = shown;
    previousText = text;
  };
  for (std::uint32_t bytes = 0; bytes <= 3145728u; ++bytes) {
    check(bytes);
    if (HasFatalFailure()) return;
  }
  for (std::uint64_t bytes = 3145728u; bytes <= 0xFFFFFFFFull; bytes += 65537u) {
    check(static_cast<std::uint32_t>(bytes));
    if (HasFatalFailure()) return;
  }
  for (std::uint32_t edge : {999u, 1000000u, 100000000u, 0xFFFFFFFFu}) {
    previousText.clear();
    for (std::uint32_t bytes = edge - 300; bytes != edge + 300 && bytes != 0; ++bytes) {
      check(bytes);
      if (HasFatalFailure()) return;
    }
  }
}

TEST(FormatSizeText, StaysWithinASmallBuffer) {
  char out[12];
  std::memset(out, '#', sizeof out);
  FormatSizeText(999999, out, 6);
  EXPECT_EQ(std::string(out), "976.5");
  EXPECT_EQ(std::string(out + 6, 6), "######");
}

TEST(ParseByteCount, TakesDigitsUpToTheFirstOtherCharacter) {
  const struct {
    const char* text;
    std::uint32_t bytes;
  } cases[] = {
      {"", 0},
      {"0", 0},
      {"1", 1},
      {"1048576", 1048576},
      {"  524288", 524288},
      {"12ab", 12},
      {"abc", 0},
      {"-1", 0},
      {"4294967295", 4294967295u},
      {"4294967296", 0},
      {"00000000000000000007", 7},
      {"99999999999999999999999", 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseByteCount(c.text), c.bytes) << "text \"" << c.text << "\"";
  }
}
