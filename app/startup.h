// The start of PLYX: one copy runs; a second start hands its command line to
// it and ends.
#pragma once

#include <windows.h>

// Runs PLYX from the entry point with its wide command-line text (after the
// program's name). instanceCount: the counter shared by every running copy
// (-1 when none runs). Returns the exit code, 0 on every path.
int RunPlyx(HINSTANCE instance, const wchar_t* commandLine, volatile LONG* instanceCount);

// Makes the command-line text the file to split if it names an existing path
// whose exact ANSI form fits a path buffer; otherwise empties the file to
// split (telling the user of an existing one that has no exact form).
void TakeCommandLineFile(const wchar_t* commandLine);

// Sends the text to the running copy's main window, waiting at most
// kHandOverTimeoutMs for it to be taken. False when none was found.
constexpr UINT kHandOverTimeoutMs = 5000;
bool HandOverCommandLine(const char* commandLine);
