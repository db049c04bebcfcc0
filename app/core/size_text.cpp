#include "size_text.h"

#include <cstdio>

namespace {

struct SizeUnit {
  std::uint32_t divisor;  // the unit in bytes
  std::uint32_t d1;       // a tenth of the unit
  std::uint32_t d2;       // a hundredth of the unit
  std::uint32_t half;     // rounding bound of the second place
  const char* name;
};

// Decimal bounds choose the unit; the units are powers of two, except the
// gigabyte, which is one byte short of 2^30 in every stored text.
const SizeUnit kKilo = {1024u, 102u, 10u, 5u, "KB"};
const SizeUnit kMega = {1048576u, 104857u, 10485u, 5243u, "MB"};
const SizeUnit kGiga = {1073741823u, 107374182u, 10737418u, 5368709u, "GB"};

const SizeUnit& UnitFor(std::uint32_t bytes) {
  if (bytes <= 1000000u) return kKilo;
  if (bytes <= 100000000u) return kMega;
  return kGiga;
}

}  // namespace

void FormatSizeText(std::uint32_t bytes, char* out, std::size_t outSize) {
  if (out == nullptr || outSize == 0) return;
  if (bytes < 1000u) {
    std::snprintf(out, outSize, "%u Bytes", static_cast<unsigned>(bytes));
    return;
  }
  const SizeUnit& unit = UnitFor(bytes);
  std::uint32_t whole = bytes / unit.divisor;
  const std::uint32_t rest = bytes % unit.divisor;
  std::uint32_t first = 0;
  std::uint32_t second = 0;
  std::uint32_t leftover = 0;
  if (rest >= unit.d1) {
    first = rest / unit.d1;
    const std::uint32_t rest2 = rest % unit.d1;
    if (rest2 >= unit.d2) {
      second = rest2 / unit.d2;
      leftover = rest2 % unit.d2;
    }
  }
  if (leftover > unit.half) ++second;
  // The truncated tenth and hundredth can reach 10 (1023 bytes gives ten
  // tenths); carry so that each place holds one digit.
  first += second / 10;
  second %= 10;
  whole += first / 10;
  first %= 10;
  std::snprintf(out, outSize, "%u.%u%u %s", static_cast<unsigned>(whole), static_cast<unsigned>(first),
                static_cast<unsigned>(second), unit.name);
}

std::uint32_t ParseByteCount(const char* text) {
  if (text == nullptr) return 0;
  while (*text == ' ' || *text == '\t') ++text;
  if (*text < '0' || *text > '9') return 0;
  std::uint64_t value = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    value = value * 10 + static_cast<std::uint64_t>(*text - '0');
    if (value > 0xFFFFFFFFull) return 0;
  }
  return static_cast<std::uint32_t>(value);
}
