// A fresh temporary folder, removed with its contents at the end, and whole-file helpers.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <system_error>

#include "path_text.h"

class TempFolder {
 public:
  TempFolder() {
    const auto base = std::filesystem::temp_directory_path() / "plyx-engine-";
    for (std::random_device seed; path_.empty();) {
      const std::string candidate = base.string() + std::to_string(seed());
      if (std::filesystem::create_directory(candidate)) path_ = candidate;
    }
  }
  ~TempFolder() {
    std::error_code error;
    std::filesystem::remove_all(path_, error);
  }
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + kPathSeparator + name; }
  std::string MakeFolder(const std::string& name) const {
    std::filesystem::create_directories(File(name));
    return File(name);
  }

 private:
  std::string path_;
};

// Bytes that differ from position to position, so a misplaced chunk shows.
inline std::string PatternBytes(std::size_t size, std::uint32_t seed = 1) {
  std::string bytes(size, '\0');
  std::uint32_t state = seed * 2654435761u + 1;
  for (auto& b : bytes) b = static_cast<char>((state = state * 1664525u + 1013904223u) >> 24);
  return bytes;
}

inline void WriteBytes(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool Exists(const std::string& path) { std::error_code error; return std::filesystem::exists(path, error); }
inline std::uintmax_t SizeOf(const std::string& path) { std::error_code error; return std::filesystem::file_size(path, error); }
