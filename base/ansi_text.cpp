#include "ansi_text.h"

#include <cwchar>
#include <vector>

bool WideToCodePageExactly(UINT codePage, const wchar_t* wide, std::string* text) {
  text->clear();
  if (wide[0] == L'\0') return true;
  if (codePage == CP_ACP) codePage = GetACP();
  if (codePage == CP_OEMCP) codePage = GetOEMCP();
  // UTF-8 takes neither the no-best-fit flag nor the default-character report.
  const bool utf8 = codePage == CP_UTF8;
  const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* defaulted = utf8 ? nullptr : &usedDefault;
  const int length = WideCharToMultiByte(codePage, flags, wide, -1, nullptr, 0, nullptr, defaulted);
  if (length <= 0 || usedDefault) return false;
  std::vector<char> bytes(static_cast<std::size_t>(length));
  if (WideCharToMultiByte(codePage, flags, wide, -1, bytes.data(), length, nullptr, defaulted) != length ||
      usedDefault) {
    return false;
  }
  // The way back settles it, also for double-byte code pages.
  const int wideLength = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), -1, nullptr, 0);
  if (wideLength <= 0) return false;
  std::vector<wchar_t> back(static_cast<std::size_t>(wideLength));
  MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), -1, back.data(), wideLength);
  if (std::wcscmp(back.data(), wide) != 0) return false;
  text->assign(bytes.data());
  return true;
}

LeadBytes LeadBytesOf(UINT codePage) {
  LeadBytes leads;
  for (unsigned byte = 0x80; byte <= 0xFF; ++byte) {
    if (IsDBCSLeadByteEx(codePage, static_cast<BYTE>(byte))) {
      leads.Add(static_cast<unsigned char>(byte), static_cast<unsigned char>(byte));
    }
  }
  return leads;
}
