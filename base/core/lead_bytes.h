// Which bytes of a code page lead a two-byte character. On Japanese, Chinese
// and Korean Windows the ANSI and OEM code pages (932, 936, 949, 950) are
// double-byte, and the trail byte after a lead byte may be the byte of '\',
// '|' or '^' (ソ is 83 5C in 932): their text is walked by character, never
// by byte. A default LeadBytes is a single-byte code page.
#pragma once

#include <cstdint>

class LeadBytes {
 public:
  constexpr LeadBytes() = default;

  // Makes the bytes from `first` to `last` lead bytes.
  constexpr LeadBytes& Add(unsigned char first, unsigned char last) {
    for (unsigned byte = first; byte <= last; ++byte) bits_[byte / 32] |= 1u << (byte % 32);
    return *this;
  }

  constexpr bool IsLead(char byte) const {
    const unsigned b = static_cast<unsigned char>(byte);
    return ((bits_[b / 32] >> (b % 32)) & 1u) != 0;
  }

  // The character after the one at `text`, which must not be the terminator.
  // A lead byte before the terminator is a character of its own, as
  // CharNextA takes it.
  constexpr const char* Next(const char* text) const {
    return IsLead(text[0]) && text[1] != '\0' ? text + 2 : text + 1;
  }

  // Where the last character of `text` begins; `text` itself when it is empty.
  constexpr const char* Last(const char* text) const {
    const char* last = text;
    for (const char* c = text; *c != '\0'; c = Next(c)) last = c;
    return last;
  }

 private:
  std::uint32_t bits_[8] = {};
};
