// Raw access to HKCU\Software\Plyx around the store under test; each test
// starts and ends with the key gone.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

constexpr char kPlyxKey[] = "Software\\Plyx";

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

inline DWORD RawDword(const char* name) {
  const RawValue value = QueryRaw(name);
  DWORD number = 0xBAD;
  if (value.type == REG_DWORD && value.bytes.size() == 4) std::memcpy(&number, value.bytes.data(), 4);
  return number;
}

// A slot's path, up to its terminator.
inline std::string RawPath(const char* name) { return QueryRaw(name).bytes.c_str(); }

inline void SetRaw(const char* name, DWORD type, const void* data, DWORD size) {
  EXPECT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, kPlyxKey, name, type, data, size), ERROR_SUCCESS) << name;
}
inline void SetRawDword(const char* name, DWORD value) { SetRaw(name, REG_DWORD, &value, sizeof value); }
inline void SetRawPath(const char* name, const char* path) {
  char data[260] = {};
  std::snprintf(data, sizeof data, "%s", path);
  SetRaw(name, REG_SZ, data, sizeof data);
}

inline void DeletePlyxKey() {
  const LONG result = RegDeleteTreeA(HKEY_CURRENT_USER, kPlyxKey);
  ASSERT_TRUE(result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND) << result;
}

class PlyxKeyTest : public ::testing::Test {
 protected:
  void SetUp() override { DeletePlyxKey(); }
  void TearDown() override { DeletePlyxKey(); }
};
