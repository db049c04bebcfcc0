// The one place PLYX shows a message box: a text of the catalogue
// (messages.h), under its caption and in its style.
#pragma once

#include <windows.h>

#include "messages.h"

// MB_ flags of a catalogued style.
UINT MessageBoxFlags(MessageStyle style);

// A catalogued text as it stands, with `extraFlags` of the moment
// (MB_SETFOREGROUND for the split run's questions on its own thread).
int ShowMessageText(HWND owner, const char* text, MessageCaption caption, MessageStyle style, UINT extraFlags = 0);

// Shows message `id`, owned by `owner` (or by no window), and returns the
// button pressed.
int ShowMessage(HWND owner, MessageId id);

// The same with its text filled in with the moment's values: a file name or
// a path each, and numbers.
template <typename... Values>
int ShowComposedMessage(HWND owner, MessageId id, Values... values) {
  char text[3 * kPathBufferSize];
  ComposeMessage(text, sizeof text, id, values...);
  const Message& message = MessageOf(id);
  return ShowMessageText(owner, text, message.caption, message.style);
}

// Tells the user that `name` is not taken because it has no exact ANSI form:
// PLYX would reach another file by it (kInexactName, the name in wide text).
void ShowInexactNameRefusal(HWND owner, const wchar_t* name);
