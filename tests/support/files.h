// Files for every tier, natively and under Wine.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <random>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <windows.h>

// ANSI text, as Windows reads it, in UTF-16.
inline std::wstring Widen(const std::string& ansi) {
  wchar_t wide[4096] = L"";
  MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, wide, 4096);
  return wide;
}

// The manifest asks for UTF-8; Windows before 10 1903 keeps the system's code page.
inline bool AnsiIsUtf8() { return GetACP() == CP_UTF8; }

// UTF-16 text in the ANSI code page; "" when a character has no exact form there.
inline std::string Narrow(const std::wstring& wide) {
  char ansi[4096] = "";
  BOOL defaulted = FALSE;
  const bool utf8 = AnsiIsUtf8();
  const int length = WideCharToMultiByte(CP_ACP, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, wide.c_str(), -1, ansi, sizeof ansi,
                                         nullptr, utf8 ? nullptr : &defaulted);
  return length > 0 && !defaulted && Widen(ansi) == wide ? ansi : "";
}
#endif

// The runtime would read a narrow path byte by byte; PLYX reads it in the ANSI code page.
inline std::filesystem::path PathOf(const std::string& text) {
#ifdef _WIN32
  return Widen(text);
#else
  return text;
#endif
}

class TempFolder {
 public:
  TempFolder() {
    const std::string base = (std::filesystem::temp_directory_path() / "plyx-test-").string();
    std::random_device seed;
    while (path.empty()) {
      const std::string candidate = base + std::to_string(seed());
      std::error_code error;
      if (std::filesystem::create_directory(candidate, error)) {
        path = candidate + static_cast<char>(std::filesystem::path::preferred_separator);
      }
    }
  }
  ~TempFolder() {
    std::error_code error;
    std::filesystem::remove_all(path, error);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder, with its trailing separator; `folder / "name"` is a path in it.
  const std::string& Path() const { return path; }
  std::string operator/(const std::string& name) const { return path + name; }
  // Creates a folder in it (and its parents); its path, without a trailing separator.
  std::string MakeFolder(const std::string& name) const {
    std::error_code error;
    std::filesystem::create_directories(PathOf(path + name), error);
    return path + name;
  }

 private:
  std::string path;
};

// Bytes that differ from place to place and seed to seed: a misplaced, lost or doubled chunk shows.
inline std::string PatternBytes(std::size_t size, std::uint32_t seed = 1) {
  std::string bytes(size, '\0');
  std::uint32_t state = seed * 2654435761u + 1;
  for (char& b : bytes) b = static_cast<char>((state = state * 1664525u + 1013904223u) >> 24);
  return bytes;
}

// The first of `names` that PLYX's code page (PLYX_CODE_PAGE, else ours) holds exactly, in
// ours; `plain` where none fits. Under 932 trail bytes may be '\', '|' and '^' (ソ is 83 5C).
inline std::string LocalName(std::initializer_list<const wchar_t*> names, const char* plain) {
#ifdef _WIN32
  const char* chosen = std::getenv("PLYX_CODE_PAGE");
  const UINT codePage = chosen != nullptr ? static_cast<UINT>(std::strtoul(chosen, nullptr, 10)) : GetACP();
  for (const wchar_t* name : names) {
    char bytes[4 * MAX_PATH];
    wchar_t back[MAX_PATH];
    if (WideCharToMultiByte(codePage, 0, name, -1, bytes, sizeof bytes, nullptr, nullptr) > 0 &&
        MultiByteToWideChar(codePage, 0, bytes, -1, back, MAX_PATH) > 0 && std::wcscmp(back, name) == 0 &&
        WideCharToMultiByte(CP_ACP, 0, name, -1, bytes, sizeof bytes, nullptr, nullptr) > 0) {
      return bytes;
    }
  }
#endif
  (void)names;
  return plain;
}

inline bool WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(PathOf(path), std::ios::binary | std::ios::trunc);
  return static_cast<bool>(out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())).flush());
}

// The whole file; "" when it cannot be read (missing, a folder, held elsewhere).
inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(PathOf(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool Exists(const std::string& path) {
  std::error_code error;
  return std::filesystem::exists(PathOf(path), error);
}

// 0 when missing.
inline std::uint64_t SizeOf(const std::string& path) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(PathOf(path), error);
  return error ? 0 : size;
}

// On a mismatch, its size and the first byte that differs, not the bytes.
inline ::testing::AssertionResult FileHolds(const std::string& path, const std::string& bytes) {
  if (!Exists(path)) return ::testing::AssertionFailure() << path << " is missing";
  const std::string seen = ReadBytes(path);
  if (seen == bytes) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << path << " holds " << seen.size() << " bytes, not " << bytes.size()
                                       << ", the first different at byte "
                                       << std::mismatch(seen.begin(), seen.end(), bytes.begin(), bytes.end()).first -
                                              seen.begin();
}

// A file of `size` bytes taking no room where the file system allows it (Wine's Unix ones do).
inline bool MakeSparseFile(const std::string& path, std::uint64_t size) {
  std::error_code error;
  if (!WriteBytes(path, "")) return false;
  std::filesystem::resize_file(PathOf(path), size, error);
  return !error && SizeOf(path) == size;
}

#ifdef _WIN32
// "Omega.bin" holding `bytes` and an empty "Ωmega.bin", whose best fit in ANSI
// names the other, in `folder`; the latter's wide path, "" when not made.
inline std::wstring MakeBestFitPair(const std::string& folder, const std::string& bytes = "") {
  const std::wstring omega = Widen(folder) + L"\u03a9mega.bin";
  const HANDLE file = CreateFileW(omega.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE || !CloseHandle(file) || !WriteBytes(folder + "Omega.bin", bytes)) return L"";
  return omega;
}
#endif
