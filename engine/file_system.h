// Small file-system primitives of the split run, one implementation per platform.
#pragma once

#include <string>

#include "lead_bytes.h"

// True when a file or folder of that path exists.
bool FileExists(const char* path);
bool FolderExists(const char* path);
// Removes a file (not a folder).
bool RemoveFile(const char* path);
// The text in the code page that the command interpreter reads batch files in
// (the OEM code page on Windows; unchanged on POSIX). False when a character
// has no exact equivalent there.
bool ConvertToOemCodePage(const char* text, std::string* oem);

// The lead bytes of the code page that paths are written in: the ANSI code
// page on Windows, whose file functions take it. None on POSIX: a UTF-8
// character holds no byte of '/'.
const LeadBytes& PathLeadBytes();
