// A drag from the shell as the file manager starts one: the shell's own data
// object for files, folders and shortcuts, dragged with OLE's DoDragDrop onto
// a point of the screen. The caller's thread must have called OleInitialize.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <string>
#include <vector>

#include "holders.h"

// A shell shortcut to `target`, saved as `shortcut`.
bool MakeShortcut(const std::string& shortcut, const std::string& target);

// What IShellFolder::GetUIObjectOf gives for `paths`, all in one folder; null
// when the shell cannot make it.
ComPtr<IDataObject> ShellDataObject(const std::vector<std::wstring>& paths);

// Drags `data` to `point` and drops it there, or with `drop` false cancels it
// there; the effect DoDragDrop reports. A second thread moves the mouse and
// ends the drag: under Wine the drag loop never sees the button pressed.
DWORD DragOnto(IDataObject* data, POINT point, bool drop);
