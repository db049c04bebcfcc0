// The main window's OLE drop target: one file, folder or shortcut dragged from
// the shell. A file (or a shortcut's target) becomes the file to split through
// the hand-over message; a folder becomes the destination. Everything is
// decided when the drag enters; the drop delivers what was decided then.
#pragma once

#include <windows.h>
#include <ole2.h>

#include "app_constants.h"

// Called by OLE on the user-interface thread only, so the count is plain. It
// frees itself at the last Release; it has no virtual destructor.
class DropTarget final : public IDropTarget {
 public:
  DropTarget() = default;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // S_OK and the copy effect for exactly one usable item; else E_INVALIDARG
  // and no effect.
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragLeave() override;
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;

  // The target of the shortcut file into `target` (kPathBufferSize bytes).
  // False when it cannot be loaded or resolved, or its target has no exact
  // ANSI form; true with an empty target when it names no file-system path.
  static bool ResolveShortcut(const char* shortcut, char* target);

  const char* HeldPath() const { return heldPath; }

 private:
  ~DropTarget() = default;
  // The drag's item list holds exactly one item with an exact ANSI name that
  // fits: a folder, a file, or a shortcut whose target file exists (then held).
  // The request's gate judges the name again as it is delivered.
  bool TakeItem(HDROP items);

  bool isFile = false;                  // heldPath names a file, not a folder; only while accepted
  bool accepted = false;                // the current drag carries exactly one usable item
  char heldPath[kPathBufferSize] = {};  // the item, or a shortcut's target
  ULONG refCount = 1;                   // the creator's reference
};

// The main window's drop target while it is registered; null otherwise.
extern DropTarget* MainDropTarget;

// Creates the drop target, locks it and registers it on the main window. On a
// failure it reports kOleObjectFailure or kOleRegistrationFailure and posts
// WM_DESTROY, which ends PLYX. `requestOpen` says whether the request
// may change now; while it says no, every drag is refused. A dropped folder
// is handed to `takeFolder` with the main window.
void InstallDropTarget(HWND dialog, bool (*requestOpen)(), void (*takeFolder)(HWND main, const char* folder));
// Revokes, releases and unlocks what InstallDropTarget set up, each only when
// its set-up succeeded; the last release frees the object. Once only.
void RemoveDropTarget(HWND dialog);
