// The one way into SplitJob.sourcePath and SplitJob.destFolder: each name is
// judged by where it came from (JudgeName) and written whole, or not at all.
#pragma once

#include <windows.h>

#include "request_rules.h"

// A name from the system, in UTF-16: taken only in its exact ANSI form.
NameVerdict TakeSourceName(const wchar_t* name, NameEntry entry);
NameVerdict TakeDestinationName(const wchar_t* name, NameEntry entry);
// A name already in the ANSI code page (a hand-over, a path of PLYX's own).
NameVerdict TakeSourceName(const char* name, NameEntry entry);
NameVerdict TakeDestinationName(const char* name, NameEntry entry);

void ClearSourceName();
// From the outcome on, the destination ends in a backslash, if it fits.
void EndDestinationWithBackslash();

// Tells the user the refusal of a verdict, if it has one to tell; `name` as it came.
void ShowNameRefusal(HWND owner, const NameVerdict& verdict, const wchar_t* name);
