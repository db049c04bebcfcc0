// HKEY_CURRENT_USER\Software\Plyx for the tests: a PlyxKey deletes it (and
// the Explorer verb) when made and when gone, so that each test starts and
// ends without it; raw reads and writes go around the store under test.
#pragma once

#include <windows.h>

#include <string>

constexpr char kPlyxKey[] = "Software\\Plyx";
// PLYX's verb on Explorer's menu of every file, written out here so that a
// changed name is caught; deleted with the key.
constexpr char kPlyxVerbKey[] = "Software\\Classes\\*\\shell\\SplitWithPlyx";

void DeletePlyxKey();

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

RawValue QueryRaw(const char* name);
DWORD RawDword(const char* name);       // 0xBAD when not a four-byte REG_DWORD
std::string RawPath(const char* name);  // up to its terminator
bool SetRaw(const char* name, DWORD type, const void* data, DWORD size);
bool SetRawDword(const char* name, DWORD value);
bool SetRawPath(const char* name, const char* path);  // 260 bytes, as PLYX writes them
