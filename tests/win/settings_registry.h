// Raw access to HKCU\Software\Plyx for the settings tests, around the store
// under test: each test starts and ends with the key gone.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

constexpr char kPlyxKey[] = "Software\\Plyx";

struct RawValue {
  LONG result = ERROR_FILE_NOT_FOUND;
  DWORD type = REG_NONE;
  std::string bytes;
};

inline void DeletePlyxKey() {
  const LONG result = RegDeleteTreeA(HKEY_CURRENT_USER, kPlyxKey);
  ASSERT_TRUE(result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND) << result;
}

inline RawValue QueryRaw(const char* name) {
  RawValue value;
  char data[1024];
  DWORD size = sizeof data;
  value.result = RegGetValueA(HKEY_CURRENT_USER, kPlyxKey, name, RRF_RT_ANY | RRF_NOEXPAND, &value.type,
                              data, &size);
  if (value.result == ERROR_SUCCESS) value.bytes.assign(data, size);
  return value;
}

inline void SetRaw(const char* name, DWORD type, const void* data, DWORD size) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kPlyxKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS) << name;
  RegCloseKey(key);
}

inline void SetRawDword(const char* name, DWORD value) { SetRaw(name, REG_DWORD, &value, sizeof value); }

// A 260-byte REG_SZ as the store writes it.
inline void SetRawPath(const char* name, const char* path) {
  char data[260] = {};
  snprintf(data, sizeof data, "%s", path);
  SetRaw(name, REG_SZ, data, sizeof data);
}

inline void DeleteRaw(const char* name) {
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kPlyxKey, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValueA(key, name), ERROR_SUCCESS) << name;
  RegCloseKey(key);
}

inline DWORD RawDword(const char* name) {
  const RawValue value = QueryRaw(name);
  EXPECT_EQ(value.result, ERROR_SUCCESS) << name;
  EXPECT_EQ(value.type, static_cast<DWORD>(REG_DWORD)) << name;
  DWORD number = 0;
  if (value.bytes.size() == sizeof number) memcpy(&number, value.bytes.data(), sizeof number);
  return number;
}

// The path a slot holds, up to its terminator.
inline std::string RawPath(const char* name) {
  const RawValue value = QueryRaw(name);
  EXPECT_EQ(value.result, ERROR_SUCCESS) << name;
  return std::string(value.bytes.c_str());
}

class PlyxKeyTest : public ::testing::Test {
 protected:
  void SetUp() override { DeletePlyxKey(); }
  void TearDown() override { DeletePlyxKey(); }
};
