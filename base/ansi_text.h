// Names that come in as wide text (the command line, the shell) in the ANSI
// code page that every path of PLYX uses.
#pragma once

#include <windows.h>

#include <string>

#include "app_constants.h"
#include "lead_bytes.h"

// The text in `codePage` (CP_ACP, CP_OEMCP or a number) that converts back to
// exactly `wide`. False when a character has no exact form there: the system's
// best fit would name another file ("Ωmega.bin" becomes "Omega.bin", "日本"
// becomes "??").
bool WideToCodePageExactly(UINT codePage, const wchar_t* wide, std::string* text);

inline bool WideToExactAnsi(const wchar_t* wide, std::string* ansi) {
  return WideToCodePageExactly(CP_ACP, wide, ansi);
}

// The `size` bytes of `text` (zeros included) in UTF-16, when they are
// well-formed ANSI text that converts back to exactly the same bytes.
bool AnsiToWideExactly(const char* text, std::size_t size, std::wstring* wide);

// The running program's full path in ANSI, or false: a path with a character
// the code page lacks, or one that does not fit, would name another file.
// GetModuleFileNameA would hand over its best fit ("✓" as "?") or a cut.
bool ModulePathExactly(char (&path)[kPathBufferSize]);

// The lead bytes of `codePage` (CP_ACP, CP_OEMCP or a number), as the system
// tells them.
LeadBytes LeadBytesOf(UINT codePage);
