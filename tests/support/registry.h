// HKCU\Software\Plyx, deleted (with the Explorer verb) before and after each test by a PlyxKey;
// raw reads and writes go around the store under test.
#pragma once

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "app_constants.h"

constexpr char kPlyxKey[] = "Software\\Plyx";
// Explorer's verb for every file, written out here so that a changed name is caught.
constexpr char kPlyxVerbKey[] = "Software\\Classes\\*\\shell\\SplitWithPlyx";

inline void DeletePlyxKey() {
  RegDeleteTreeA(HKEY_CURRENT_USER, kPlyxKey);
  RegDeleteTreeA(HKEY_CURRENT_USER, kPlyxVerbKey);
}

class PlyxKey {
 public:
  PlyxKey() { DeletePlyxKey(); }
  ~PlyxKey() { DeletePlyxKey(); }
  PlyxKey(const PlyxKey&) = delete;
  PlyxKey& operator=(const PlyxKey&) = delete;
};

struct RawValue {
  LONG result = ERROR_FILE_NOT_FOUND;
  DWORD type = REG_NONE;
  std::string bytes;
};

inline RawValue QueryRaw(const char* name) {
  RawValue value;
  char data[1024];
  DWORD size = sizeof data;
  value.result = RegGetValueA(HKEY_CURRENT_USER, kPlyxKey, name, RRF_RT_ANY | RRF_NOEXPAND, &value.type, data, &size);
  if (value.result == ERROR_SUCCESS) value.bytes.assign(data, size);
  return value;
}

// 0xBAD when not a four-byte REG_DWORD.
inline DWORD RawDword(const char* name) {
  const RawValue value = QueryRaw(name);
  DWORD number = 0xBAD;
  if (value.type == REG_DWORD && value.bytes.size() == sizeof number) std::memcpy(&number, value.bytes.data(), 4);
  return number;
}

// Up to its terminator.
inline std::string RawPath(const char* name) { return QueryRaw(name).bytes.c_str(); }

inline bool SetRaw(const char* name, DWORD type, const void* data, DWORD size) {
  return RegSetKeyValueA(HKEY_CURRENT_USER, kPlyxKey, name, type, data, size) == ERROR_SUCCESS;
}

inline bool SetRawDword(const char* name, DWORD value) { return SetRaw(name, REG_DWORD, &value, sizeof value); }

// 260 bytes, as PLYX writes them.
inline bool SetRawPath(const char* name, const char* path) {
  char data[kPathBufferSize] = {};
  std::snprintf(data, sizeof data, "%s", path);
  return SetRaw(name, REG_SZ, data, sizeof data);
}
