// Byte counts as the short texts shown beside the size controls, and the
// custom size typed as digits.
#pragma once

#include <cstddef>
#include <cstdint>

// "%u Bytes" below 1000, else "w.dd KB|MB|GB". out must hold 20 bytes; the
// text never exceeds 10 characters.
void FormatSizeText(std::uint32_t bytes, char* out, std::size_t outSize);

// Leading blanks, then decimal digits up to the first other character. Gives 0
// when there are no digits or the number does not fit 32 bits.
std::uint32_t ParseByteCount(const char* text);
