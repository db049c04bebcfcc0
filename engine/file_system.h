// Small file-system primitives of the split run, one implementation per platform.
#pragma once

#include <string>

#include "lead_bytes.h"

// True when a file or folder of that path exists.
bool FileExists(const char* path);
bool FolderExists(const char* path);
// False only when the system refuses to let this user create a file in the
// folder (access denied); any other trouble is left to the write that meets
// it. On Windows a hidden file is created and removed at once.
bool FolderTakesNewFiles(const char* folder);
// Removes a file (not a folder).
bool RemoveFile(const char* path);
// A name as the file system holds it, in UTF-16: from the ANSI code page on
// Windows, from UTF-8 on POSIX (a byte that is not UTF-8 counts as one unit).
// False when the text is not valid in the ANSI code page.
bool NameInUtf16(const char* name, std::u16string* wide);

// The lead bytes of the code page that paths are written in: the ANSI code
// page on Windows, whose file functions take it. None on POSIX: a UTF-8
// character holds no byte of '/'.
const LeadBytes& PathLeadBytes();
