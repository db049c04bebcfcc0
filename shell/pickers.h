// The two Browse pickers of the main window: the system's file dialog for the
// file to split and its folder browser for the destination. Both are modal
// over their owner and give a path in a kPathBufferSize-byte ANSI buffer, or
// leave it untouched.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <cstddef>

// The open-file record's original form, without the Windows 2000 fields,
// which every Windows version accepts: 76 bytes in a 32-bit build, 136 in a
// 64-bit one (pointers and their padding).
constexpr DWORD kOpenFileRecordSize = offsetof(OPENFILENAMEW, lpTemplateName) + sizeof(LPCWSTR);

// True when the user chose a file: `path` holds its full path. False on
// Cancel, on a failure (a path too long for the buffer) or for a name with no
// exact ANSI form, which is refused with a message; `path` is then untouched.
bool PickSourceFile(HWND owner, char* path);

// Opens on the folder in SplitJob.destFolder, if any. True when the user chose
// a folder with a file-system path: `folder` holds it. False on Cancel or for
// a name with no exact ANSI form (refused with a message); `folder` is then
// untouched.
bool PickDestinationFolder(HWND owner, char* folder);

// The browser's callback: selects the current destination when it opens.
int CALLBACK FolderPickerCallback(HWND browser, UINT notification, LPARAM data, LPARAM callerData);
