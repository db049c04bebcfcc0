// Steps the main dialog runs on the split request held in SplitJob, keeping
// its size texts in line with what is stored.
#pragma once

#include <windows.h>

// Shows sourcePath in the file box, reads its size and part count and, unless
// the history default is on, makes the file's folder the destination.
void OnSourceFileChosen(HWND dialog);
// True when fileSize now holds the size of sourcePath; on false the size and
// count are cleared, so that a refused file cannot be split.
bool ReadSourceFileSize(HWND dialog);
void UpdatePartCount(HWND dialog);
// True when the split may start; otherwise tells the user and moves the focus.
bool CheckSplitRequest(HWND dialog);
void ResetSplitRequest(HWND dialog);
