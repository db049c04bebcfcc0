#include "shell_verb.h"

#include <windows.h>

#include <cwchar>

#include "holders.h"

namespace {

bool SetDefaultValue(const char* keyPath, const void* data, DWORD size, bool wide) {
  RegistryKey key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                      key.Out(), nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const auto* bytes = static_cast<const BYTE*>(data);
  return (wide ? RegSetValueExW(key.Get(), nullptr, 0, REG_SZ, bytes, size)
               : RegSetValueExA(key.Get(), nullptr, 0, REG_SZ, bytes, size)) == ERROR_SUCCESS;
}

}  // namespace

bool RegisterShellVerb() {
  // Wide, so that a program folder outside the ANSI code page is still named exactly.
  wchar_t program[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, program, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;
  wchar_t command[MAX_PATH + 8];
  const int written = std::swprintf(command, MAX_PATH + 8, L"\"%ls\" %%1", program);
  if (written < 0) return false;
  return SetDefaultValue(kShellVerbKey, kShellVerbText, sizeof kShellVerbText, false) &&
         SetDefaultValue(kShellVerbCommandKey, command, static_cast<DWORD>((written + 1) * sizeof(wchar_t)), true);
}

bool RemoveShellVerb() {
  RegDeleteKeyA(HKEY_CURRENT_USER, kShellVerbCommandKey);
  const LSTATUS result = RegDeleteKeyA(HKEY_CURRENT_USER, kShellVerbKey);
  return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}
