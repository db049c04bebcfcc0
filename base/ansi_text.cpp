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

bool AnsiToWideExactly(const char* text, std::size_t size, std::wstring* wide) {
  wide->clear();
  if (size == 0) return true;
  const int byteCount = static_cast<int>(size);
  const int length = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, byteCount, nullptr, 0);
  if (length <= 0) return false;
  wide->resize(static_cast<std::size_t>(length));
  MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, byteCount, &(*wide)[0], length);
  // Some double-byte characters have two forms (932's NEC and IBM rows) that
  // share one UTF-16 form; only the one that comes back is exact.
  const int backLength = WideCharToMultiByte(CP_ACP, 0, wide->data(), length, nullptr, 0, nullptr, nullptr);
  std::string back(static_cast<std::size_t>(backLength > 0 ? backLength : 0), '\0');
  if (backLength <= 0 ||
      WideCharToMultiByte(CP_ACP, 0, wide->data(), length, &back[0], backLength, nullptr, nullptr) != backLength ||
      back.compare(0, std::string::npos, text, size) != 0) {
    wide->clear();
    return false;
  }
  return true;
}

bool ModulePathExactly(char (&path)[kPathBufferSize]) {
  path[0] = '\0';
  // The longest path Windows gives a module, terminator included.
  std::vector<wchar_t> wide(32768);
  const DWORD length = GetModuleFileNameW(nullptr, wide.data(), static_cast<DWORD>(wide.size()));
  std::string ansi;
  if (length == 0 || length >= wide.size() || !WideToExactAnsi(wide.data(), &ansi) || ansi.size() >= sizeof path) {
    return false;
  }
  ansi.copy(path, ansi.size());
  path[ansi.size()] = '\0';
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
