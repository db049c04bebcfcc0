// A drag as the file manager starts one: the shell's own data object, dragged with DoDragDrop.
// The caller's thread must have called OleInitialize.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "files.h"
#include "holders.h"
#include "ui_driver.h"

// Lives on the caller's stack for one drag.
struct TestDropSource final : IDropSource {
  std::atomic<int> queries{0};
  std::atomic<HRESULT> end{S_OK};  // DRAGDROP_S_DROP or DRAGDROP_S_CANCEL ends the drag

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
    *object = IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDropSource) ? this : nullptr;
    return *object != nullptr ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL, DWORD) override { return ++queries, end.load(); }
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};

// A shell shortcut to `target`, saved as `shortcut`.
inline bool MakeShortcut(const std::string& shortcut, const std::string& target) {
  ComPtr<IShellLinkA> link;
  ComPtr<IPersistFile> file;
  return SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.OutVoid())) &&
         SUCCEEDED(link->SetPath(target.c_str())) &&
         SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.OutVoid())) &&
         SUCCEEDED(file->Save(Widen(shortcut).c_str(), TRUE));
}

// IShellFolder::GetUIObjectOf for `paths`, all in one folder; null when the shell cannot make it.
inline ComPtr<IDataObject> ShellDataObject(const std::vector<std::wstring>& paths) {
  std::vector<PIDLIST_ABSOLUTE> lists(paths.size());
  std::vector<PCUITEMID_CHILD> children(paths.size());
  ComPtr<IShellFolder> folder;
  ComPtr<IDataObject> data;
  bool parsed = true;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    parsed = parsed && SUCCEEDED(SHParseDisplayName(paths[i].c_str(), nullptr, &lists[i], 0, nullptr)) &&
             SUCCEEDED(SHBindToParent(lists[i], IID_IShellFolder, folder.OutVoid(), &children[i]));
  }
  if (parsed && folder.Get() != nullptr) {
    folder->GetUIObjectOf(nullptr, static_cast<UINT>(paths.size()), children.data(), IID_IDataObject, nullptr,
                          data.OutVoid());
  }
  for (PIDLIST_ABSOLUTE list : lists) CoTaskMemFree(list);  // the data object holds its own copies
  return data;
}

// Drops or cancels `data` at `point`: DoDragDrop's effect. A second thread moves the mouse and ends
// the drag (Wine's loop never sees the button pressed).
inline DWORD DragOnto(IDataObject* data, POINT point, bool drop) {
  TestDropSource source;
  std::thread mover([&] {
    WaitFor([&] { return source.queries > 0; });  // the drag loop runs
    SetCursorPos(point.x, point.y);
    INPUT input = {};  // a move to where the cursor is, as the mouse reports it
    input.type = INPUT_MOUSE, input.mi.dwFlags = MOUSEEVENTF_MOVE;
    SendInput(1, &input, sizeof input);
    // A few rounds of the loop at the point: the target has been entered.
    const int moved = source.queries;
    WaitFor([&] { return source.queries >= moved + 4; });
    source.end = drop ? DRAGDROP_S_DROP : DRAGDROP_S_CANCEL;
  });
  DWORD effect = DROPEFFECT_NONE;
  DoDragDrop(data, &source, DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK, &effect);
  mover.join();
  return effect;
}
