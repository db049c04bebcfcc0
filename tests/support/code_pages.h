// Lead bytes of code pages 932 (Japanese) and 936 (Chinese), as the tests hand
// them to the path rules, and characters whose trail byte is '\', '|' or '^'.
#pragma once

#include <cstdio>
#include <string>

#include "lead_bytes.h"

inline constexpr LeadBytes k932 = LeadBytes().Add(0x81, 0x9F).Add(0xE0, 0xFC);
inline constexpr LeadBytes k936 = LeadBytes().Add(0x81, 0xFE);
inline constexpr LeadBytes k1252;

// ソ, 表, ポ, タ and デ in 932; 乗 (81 5C) in 936.
const std::string kSo = "\x83\x5C", kHyo = "\x95\x5C", kPo = "\x83\x7C", kTa = "\x83\x5E", kDe = "\x83\x66";
const std::string kGb = "\x81\x5C";

// A row of bytes as a trace prints it: those above 0x7E as \xNN, then the
// code page.
inline std::string Shown(const std::string& bytes, const LeadBytes& leads) {
  std::string shown;
  for (unsigned char c : bytes) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "\\x%02X", c);
    shown += c > 0x7E ? std::string(hex) : std::string(1, static_cast<char>(c));
  }
  return shown + (&leads == &k932 ? " in 932" : &leads == &k936 ? " in 936" : " in 1252");
}
