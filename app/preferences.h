// "PLYX Preferences": the Directory and General pages over the settings store.
// Each page reads the store when it is first shown and writes all of its
// values on OK or Apply; Cancel writes nothing.
#pragma once

#include <windows.h>
#include <prsht.h>

#include <cstddef>

// The records in their second form (52 and 48 bytes in a 32-bit build), which
// every version of the common controls reads. The sheet steps through its
// pages by their size, so the pages are laid out at exactly this size.
constexpr UINT kSheetHeaderSize = offsetof(PROPSHEETHEADERA, hbmHeader) + sizeof(HBITMAP);
constexpr UINT kSheetPageSize = offsetof(PROPSHEETPAGEA, pszHeaderSubTitle) + sizeof(LPCSTR);

// Runs the sheet modally over the main dialog, on the Directory page.
INT_PTR ShowPreferences(HWND mainDialog);

INT_PTR CALLBACK DirectoryPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK GeneralPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
