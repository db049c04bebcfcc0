#include "help.h"

#include <shlwapi.h>

#include "message_box.h"

namespace {

// The library named by the viewer's class registration, or "" when none is.
void RegisteredLibrary(char* name, DWORD nameSize) {
  name[0] = '\0';
  RegistryKey key;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, kHtmlHelpServerKey, 0, KEY_READ, key.Out()) != ERROR_SUCCESS) { return; }
  DWORD type = 0;
  DWORD size = nameSize;
  if (RegQueryValueExA(key.Get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(name), &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ) || size == 0) {
    name[0] = '\0';
    return;
  }
  // A stored value need not carry its terminator.
  name[size < nameSize ? size : nameSize - 1] = '\0';
}

}  // namespace

bool HtmlHelpLoader::Load() {
  if (library.IsValid()) return true;
  if (loadFailed) return false;
  char name[kPathBufferSize];
  RegisteredLibrary(name, sizeof name);
  if (name[0] != '\0') library.Reset(LoadLibraryA(name));
  if (!library.IsValid()) library.Reset(LoadLibraryA(kHtmlHelpLibrary));
  if (!library.IsValid()) loadFailed = true;
  return library.IsValid();
}

HWND HtmlHelpLoader::Show(HWND owner, const char* file, UINT command, DWORD_PTR data) {
  if (!Load()) return nullptr;
  if (entry == nullptr) {
    entry = reinterpret_cast<HtmlHelpFn>(
        reinterpret_cast<void*>(GetProcAddress(library.Get(), MAKEINTRESOURCEA(kHtmlHelpOrdinal))));
    if (entry == nullptr) return nullptr;
  }
  return entry(owner, file, command, data);
}

HWND WINAPI HtmlHelpA(HWND owner, const char* file, UINT command, DWORD_PTR data) {
  static HtmlHelpLoader viewer;
  return viewer.Show(owner, file, command, data);
}

void ShowHelp(HWND dialog) {
  char path[kPathBufferSize];
  const bool fits = HelpFilePath(path, sizeof path);
  if (fits && HtmlHelpA(dialog, path, 0 /* HH_DISPLAY_TOPIC */, 0) != nullptr) return;
  ShowComposedMessage(dialog, MessageId::kHelpMissing, path);
}
