// Names that come in as wide text (the command line, the shell) in the ANSI
// code page that every path of PLYX uses.
#pragma once

#include <windows.h>

#include <string>

#include "lead_bytes.h"

// The text in `codePage` (CP_ACP, CP_OEMCP or a number) that converts back to
// exactly `wide`. False when a character has no exact form there: the system's
// best fit would name another file ("Ωmega.bin" becomes "Omega.bin", "日本"
// becomes "??").
bool WideToCodePageExactly(UINT codePage, const wchar_t* wide, std::string* text);

inline bool WideToExactAnsi(const wchar_t* wide, std::string* ansi) {
  return WideToCodePageExactly(CP_ACP, wide, ansi);
}

// The lead bytes of `codePage` (CP_ACP, CP_OEMCP or a number), as the system
// tells them.
LeadBytes LeadBytesOf(UINT codePage);
