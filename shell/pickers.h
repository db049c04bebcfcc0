// The two Browse pickers of the main window: the system's file dialog for the
// file to split and its folder browser for the destination. Both are modal
// over their owner and hand back the chosen path in UTF-16, as the system
// holds it: whether PLYX can take it is the request's to judge.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <cstddef>
#include <string>

// The open-file record's original form, without the Windows 2000 fields,
// which every Windows version accepts: 76 bytes in a 32-bit build, 136 in a
// 64-bit one (pointers and their padding).
constexpr DWORD kOpenFileRecordSize = offsetof(OPENFILENAMEW, lpTemplateName) + sizeof(LPCWSTR);

// True when the user chose a file: `path` holds its full path. False on
// Cancel or on a failure (a path too long for the dialog's buffer); `path` is
// then untouched.
bool PickSourceFile(HWND owner, std::wstring* path);

// Opens on the folder in SplitJob.destFolder, if any. True when the user chose
// a folder with a file-system path: `folder` holds it. False on Cancel;
// `folder` is then untouched.
bool PickDestinationFolder(HWND owner, std::wstring* folder);

// The browser's callback: selects the current destination when it opens.
int CALLBACK FolderPickerCallback(HWND browser, UINT notification, LPARAM data, LPARAM callerData);
