#include "files.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace {

// The runtime reads a narrow path as if each byte were a character; Windows
// reads it in the ANSI code page, as PLYX does.
fs::path PathOf(const std::string& text) {
#ifdef _WIN32
  return Widen(text);
#else
  return text;
#endif
}

}  // namespace

#ifdef _WIN32
std::wstring Widen(const std::string& ansi) {
  wchar_t wide[4096] = L"";
  MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, wide, 4096);
  return wide;
}

std::wstring MakeBestFitPair(const std::string& folder, const std::string& bytes) {
  const std::wstring omega = Widen(folder) + L"\u03a9mega.bin";
  const HANDLE file = CreateFileW(omega.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE || !CloseHandle(file) || !WriteBytes(folder + "Omega.bin", bytes)) return L"";
  return omega;
}
#endif

std::string LocalName(const wchar_t* japanese, const char* plain) {
#ifdef _WIN32
  char name[MAX_PATH];
  if (GetACP() == 932 && WideCharToMultiByte(CP_ACP, 0, japanese, -1, name, MAX_PATH, nullptr, nullptr) > 0) return name;
#endif
  (void)japanese;
  return plain;
}

TempFolder::TempFolder() {
  const std::string base = (fs::temp_directory_path() / "plyx-test-").string();
  std::random_device seed;
  while (path.empty()) {
    const std::string candidate = base + std::to_string(seed());
    std::error_code error;
    if (fs::create_directory(candidate, error)) path = candidate + static_cast<char>(fs::path::preferred_separator);
  }
}

TempFolder::~TempFolder() {
  std::error_code error;
  fs::remove_all(path, error);
}

std::string TempFolder::MakeFolder(const std::string& name) const {
  std::error_code error;
  fs::create_directories(PathOf(path + name), error);
  return path + name;
}

std::string PatternBytes(std::size_t size, std::uint32_t seed) {
  std::string bytes(size, '\0');
  std::uint32_t state = seed * 2654435761u + 1;
  for (char& b : bytes) b = static_cast<char>((state = state * 1664525u + 1013904223u) >> 24);
  return bytes;
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(PathOf(path), std::ios::binary | std::ios::trunc);
  return static_cast<bool>(out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())).flush());
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(PathOf(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

::testing::AssertionResult SameBytes(const std::string& seen, const std::string& wanted) {
  if (seen == wanted) return ::testing::AssertionSuccess();
  const auto differ = std::mismatch(seen.begin(), seen.end(), wanted.begin(), wanted.end()).first - seen.begin();
  return ::testing::AssertionFailure() << seen.size() << " bytes where " << wanted.size()
                                       << " were wanted, the first different at byte " << differ;
}

::testing::AssertionResult FileHolds(const std::string& path, const std::string& bytes) {
  if (!Exists(path)) return ::testing::AssertionFailure() << path << " is missing";
  return SameBytes(ReadBytes(path), bytes) << " in " << path;
}

bool Exists(const std::string& path) {
  std::error_code error;
  return fs::exists(PathOf(path), error);
}

std::uint64_t SizeOf(const std::string& path) {
  std::error_code error;
  const std::uintmax_t size = fs::file_size(PathOf(path), error);
  return error ? 0 : size;
}

bool MakeSparseFile(const std::string& path, std::uint64_t size) {
  std::error_code error;
  if (!WriteBytes(path, "")) return false;
  fs::resize_file(PathOf(path), size, error);
  return !error && SizeOf(path) == size;
}
