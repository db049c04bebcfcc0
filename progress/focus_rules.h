// Which window of PLYX is in front and has the keyboard while something waits
// for the user's answer: the worker's question, the progress window, the main
// window and the modal windows over it. The rules and their reasons live here.
#pragma once

#include <windows.h>

#include "messages.h"

// The worker's open question: a visible window of this process on another
// thread (the worker is the only other thread with windows). nullptr if none.
HWND WorkerQuestion();

// The worker's thread asks and gets the button pressed.
int AskOnWorkerThread(const char* text, MessageStyle style);

// From the progress window's thread: an open question goes in front of it,
// with the keyboard.
void FrontQuestion();

// While the progress window waits for the worker: the question is put in
// front again, unless the user has gone to another program.
void KeepQuestionInFront();

// The dialog or message box of this thread that `owner` holds open, if any.
HWND OwnedDialog(HWND owner);

// When the main window is called back (a second start): what the user must
// answer goes on top and gets the keyboard. False when nothing is open.
bool RaiseOpenWindows(HWND mainWindow);
