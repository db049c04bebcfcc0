// A fresh folder under the system's temporary folder, removed with everything
// in it when the test ends.
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
    std::random_device seed;
    const auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
      const auto candidate = base / ("plyx-engine-" + std::to_string(seed()));
      std::error_code error;
      if (std::filesystem::create_directory(candidate, error)) {
        path_ = candidate.string();
        return;
      }
    }
  }
  ~TempFolder() {
    std::error_code error;
    if (!path_.empty()) std::filesystem::remove_all(path_, error);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return path_; }
  // The folder with its trailing separator, as the split run keeps it.
  std::string Slash() const { return path_ + kPathSeparator; }
  std::string File(const std::string& name) const { return Slash() + name; }
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
  for (std::size_t i = 0; i < size; ++i) {
    state = state * 1664525u + 1013904223u;
    bytes[i] = static_cast<char>(state >> 24);
  }
  return bytes;
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool Exists(const std::string& path) {
  std::error_code error;
  return std::filesystem::exists(path, error);
}

inline std::uintmax_t SizeOf(const std::string& path) {
  std::error_code error;
  return std::filesystem::file_size(path, error);
}
