#include "registry.h"

#include <cstdio>
#include <cstring>

#include "app_constants.h"

void DeletePlyxKey() {
  RegDeleteTreeA(HKEY_CURRENT_USER, kPlyxKey);
  RegDeleteTreeA(HKEY_CURRENT_USER, kPlyxVerbKey);
}

RawValue QueryRaw(const char* name) {
  RawValue value;
  char data[1024];
  DWORD size = sizeof data;
  value.result = RegGetValueA(HKEY_CURRENT_USER, kPlyxKey, name, RRF_RT_ANY | RRF_NOEXPAND, &value.type, data, &size);
  if (value.result == ERROR_SUCCESS) value.bytes.assign(data, size);
  return value;
}

DWORD RawDword(const char* name) {
  const RawValue value = QueryRaw(name);
  DWORD number = 0xBAD;
  if (value.type == REG_DWORD && value.bytes.size() == sizeof number) std::memcpy(&number, value.bytes.data(), 4);
  return number;
}

std::string RawPath(const char* name) { return QueryRaw(name).bytes.c_str(); }

bool SetRaw(const char* name, DWORD type, const void* data, DWORD size) {
  return RegSetKeyValueA(HKEY_CURRENT_USER, kPlyxKey, name, type, data, size) == ERROR_SUCCESS;
}

bool SetRawDword(const char* name, DWORD value) { return SetRaw(name, REG_DWORD, &value, sizeof value); }

bool SetRawPath(const char* name, const char* path) {
  char data[kPathBufferSize] = {};
  std::snprintf(data, sizeof data, "%s", path);
  return SetRaw(name, REG_SZ, data, sizeof data);
}
