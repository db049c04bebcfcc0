// The HTML Help viewer, reached at run time so that PLYX starts where the
// viewer is missing.
#pragma once

#include <windows.h>

#include "help_path.h"
#include "holders.h"

using HtmlHelpFn = HWND(WINAPI*)(HWND owner, const char* file, UINT command, DWORD_PTR data);

// Registry key under HKEY_CLASSES_ROOT whose default value names the viewer's library.
constexpr char kHtmlHelpServerKey[] = "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";
constexpr char kHtmlHelpLibrary[] = "hhctrl.ocx";
constexpr WORD kHtmlHelpOrdinal = 14;

class HtmlHelpLoader {
 public:
  // The viewer's window, or nullptr when the viewer or the file is missing.
  HWND Show(HWND owner, const char* file, UINT command, DWORD_PTR data);

  // True once no library could be loaded: it is never tried again.
  bool LoadFailed() const { return loadFailed; }

 private:
  bool Load();

  Library library;
  HtmlHelpFn entry = nullptr;
  bool loadFailed = false;
};

// The process's viewer, loaded on the Help button's first use.
HWND WINAPI HtmlHelpA(HWND owner, const char* file, UINT command, DWORD_PTR data);

// Opens the help file; when no viewer window appears, tells the user where
// the file was looked for.
void ShowHelp(HWND dialog);
