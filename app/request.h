// Steps the main dialog runs on the split request held in SplitJob, keeping
// its size texts in line with what is stored.
#pragma once

#include <windows.h>

#include <string>

// The whole text of a field of the dialog, however long, never cut.
std::wstring FieldText(HWND dialog, int control);

// The file box as it was left becomes the file to split: its size and part
// count when it exists. A text that does not fit a path buffer names no file
// PLYX can reach (cut, it would name another): refused as a missing file; one
// without an exact ANSI form is refused by name. False when the file was refused.
bool TakeTypedSourceFile(HWND dialog);
// Shows sourcePath in the file box, reads its size and part count and, unless
// the history default is on, makes the file's folder the destination.
void OnSourceFileChosen(HWND dialog);
// True when fileSize now holds the size of sourcePath; on false the file is
// no longer chosen and the size and count are cleared, so that it cannot be split.
bool ReadSourceFileSize(HWND dialog);
// A refusal of ReadSourceFileSize is open: the file box, which still shows
// the refused name, must not be read again under it.
bool SourceRefusalOpen();
// The part count of the chosen file, and the split size.
void UpdatePartCount(HWND dialog);
// The split size alone, for a size chosen with no file.
void ShowSplitSize(HWND dialog);
// True when the split may start; otherwise tells the user and moves the focus.
bool CheckSplitRequest(HWND dialog);
void ResetSplitRequest(HWND dialog);
