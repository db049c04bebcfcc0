// Files for the tests of every tier, natively and under Wine: a fresh
// temporary folder removed with all it holds, bytes that differ from place to
// place, whole-file reads and writes, existence and size, and sparse files.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder, with its trailing separator; `folder / "name"` is a path in it.
  const std::string& Path() const { return path; }
  std::string operator/(const std::string& name) const { return path + name; }
  // Creates a folder in it (and its parents); its path, without a trailing separator.
  std::string MakeFolder(const std::string& name) const;

 private:
  std::string path;
};

// Bytes that differ from place to place and from seed to seed, so that a
// misplaced, lost or doubled chunk shows.
std::string PatternBytes(std::size_t size, std::uint32_t seed = 1);

// A name for a test's file or folder: `japanese` where the ANSI code page is
// 932, as in the runs under a ja_JP locale; `plain` elsewhere. Japanese names
// can hold trail bytes of '\', '|' and '^' (ソ is 83 5C).
std::string LocalName(const wchar_t* japanese, const char* plain);

bool WriteBytes(const std::string& path, const std::string& bytes);
// The whole file; "" when it cannot be read (missing, a folder, held elsewhere).
std::string ReadBytes(const std::string& path);
// Fails with the sizes and the first byte that differs, not with the bytes.
::testing::AssertionResult SameBytes(const std::string& seen, const std::string& wanted);
// The file exists and holds exactly `bytes`.
::testing::AssertionResult FileHolds(const std::string& path, const std::string& bytes);
// A file or a folder.
bool Exists(const std::string& path);
// 0 when missing.
std::uint64_t SizeOf(const std::string& path);
// A file of `size` bytes that takes no room on disk where the file system
// allows it (Wine's Unix file systems do). False when it cannot be made.
bool MakeSparseFile(const std::string& path, std::uint64_t size);

#ifdef _WIN32
// ANSI text, as Windows reads it, in UTF-16.
std::wstring Widen(const std::string& ansi);
// A name without an exact ANSI form whose best fit names another file: makes
// "Omega.bin" holding `bytes` and an empty "Ωmega.bin" in `folder` and
// gives the latter's wide path, or "" when it cannot be made.
std::wstring MakeBestFitPair(const std::string& folder, const std::string& bytes = "");
#endif
