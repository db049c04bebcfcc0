#include "drop_target.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <cstring>
#include <new>
#include <string>

#include "ansi_text.h"
#include "callback_guard.h"
#include "file_system.h"
#include "globals.h"
#include "holders.h"
#include "message_box.h"
#include "resource_ids.h"

DropTarget* MainDropTarget = nullptr;

namespace {

bool (*requestOpenNow)() = nullptr;
void (*takeDroppedFolder)(HWND main, const char* folder) = nullptr;
bool dropTargetLocked = false;
bool dropTargetRegistered = false;

bool RequestOpen() { return requestOpenNow == nullptr || requestOpenNow(); }

// The extension as _splitpath yields it, from the last dot of the file name.
// No double-byte code page has the dot as a trail byte.
bool IsShortcut(const char* path) {
  const char* dot = std::strrchr(PathFindFileNameA(path), '.');
  return dot != nullptr && lstrcmpiA(dot, ".lnk") == 0;
}

// The exact ANSI form of the first item's name, whole. DragQueryFileA gives
// the system's best fit ("Ωmega.bin" as "Omega.bin", another file) and cuts
// a name longer than its buffer, so the wide name is asked, as long as it is.
bool ExactItemName(HDROP items, std::string* name) {
  const UINT length = DragQueryFileW(items, 0, nullptr, 0);
  std::wstring wide(length + 1, L'\0');
  if (length == 0 || DragQueryFileW(items, 0, wide.data(), length + 1) != length) return false;
  return WideToExactAnsi(wide.c_str(), name);
}

// The shell link object loads the shortcut, resolves it and reads its target's
// path. Under COM of the caller's; the interfaces go first, the persist-file
// interface before the link.
bool LoadAndResolve(const char* shortcut, char* target) {
  ComPtr<IShellLinkA> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.OutVoid()))) {
    return false;
  }
  ComPtr<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_IPersistFile, file.OutVoid()))) return false;
  wchar_t widePath[kPathBufferSize] = L"";
  MultiByteToWideChar(CP_ACP, 0, shortcut, -1, widePath, kPathBufferSize);
  if (FAILED(file->Load(widePath, STGM_READ))) return false;
  // Without SLR_NO_UI: the system may show its own search for a moved target.
  if (FAILED(link->Resolve(nullptr, SLR_ANY_MATCH))) return false;
  WIN32_FIND_DATAA found;
  if (FAILED(link->GetPath(target, kPathBufferSize, &found, SLGP_RAWPATH))) return false;
  // The ANSI path is the system's best fit of the target's name, cut to the
  // buffer. The wide one, with room for one character more, tells both apart.
  ComPtr<IShellLinkW> wideLink;
  wchar_t wideTarget[kPathBufferSize + 1] = L"";
  std::string exact;
  return SUCCEEDED(link->QueryInterface(IID_IShellLinkW, wideLink.OutVoid())) &&
         SUCCEEDED(wideLink->GetPath(wideTarget, kPathBufferSize + 1, nullptr, SLGP_RAWPATH)) &&
         WideToExactAnsi(wideTarget, &exact) && exact == target;
}

}  // namespace

HRESULT DropTarget::QueryInterface(REFIID id, void** object) {
  if (object == nullptr) return E_POINTER;
  if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDropTarget)) {
    *object = static_cast<IDropTarget*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG DropTarget::AddRef() { return ++refCount; }

ULONG DropTarget::Release() {
  const ULONG count = --refCount;
  if (count == 0) delete this;
  return count;
}

HRESULT DropTarget::DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) {
  accepted = false;
  *effect = DROPEFFECT_NONE;
  // A drop must not change the request under a split or a modal window.
  if (data == nullptr || !RequestOpen()) return E_INVALIDARG;
  FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  STGMEDIUM medium = {};
  if (FAILED(data->GetData(&format, &medium))) return E_INVALIDARG;
  accepted = GuardCallback(
      false, [&] { return medium.tymed == TYMED_HGLOBAL && TakeItem(static_cast<HDROP>(medium.hGlobal)); });
  // The owner's Release if the medium names one, else GlobalFree.
  ReleaseStgMedium(&medium);
  if (!accepted) return E_INVALIDARG;
  *effect = DROPEFFECT_COPY;
  return S_OK;
}

bool DropTarget::TakeItem(HDROP items) {
  std::string name;
  if (DragQueryFileW(items, 0xFFFFFFFF, nullptr, 0) != 1 || !ExactItemName(items, &name)) return false;
  // Refused, not cut: a cut name names another file.
  if (name.size() >= sizeof heldPath) return false;
  std::memcpy(heldPath, name.c_str(), name.size() + 1);
  if (PathIsDirectoryA(heldPath)) {
    isFile = false;
    return true;
  }
  isFile = true;
  if (!IsShortcut(heldPath)) return true;
  char target[kPathBufferSize];
  // Wine's Resolve succeeds for a target that has gone, and a shortcut to a
  // shell item gives an empty path: either would deliver nothing.
  if (!ResolveShortcut(heldPath, target) || !FileExists(target)) return false;
  std::memcpy(heldPath, target, sizeof heldPath);
  return true;
}

HRESULT DropTarget::DragOver(DWORD, POINTL, DWORD* effect) {
  *effect = accepted && RequestOpen() ? DROPEFFECT_COPY : DROPEFFECT_NONE;
  return S_OK;
}

HRESULT DropTarget::DragLeave() {
  heldPath[0] = '\0';
  return S_OK;
}

HRESULT DropTarget::Drop(IDataObject*, DWORD, POINTL, DWORD* effect) {
  *effect = accepted && RequestOpen() ? DROPEFFECT_COPY : DROPEFFECT_NONE;
  HWND main = *effect == DROPEFFECT_COPY ? FindPlyxMainWindow() : nullptr;
  if (main == nullptr) return S_OK;
  GuardCallback([&] {
    if (isFile) {
      // Sent: the main window takes the file before the drag source goes on.
      COPYDATASTRUCT handOver{PLYX_HANDOVER_TAG, static_cast<DWORD>(std::strlen(heldPath)), heldPath};
      SendMessageA(main, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&handOver));
    } else if (takeDroppedFolder != nullptr) {
      takeDroppedFolder(main, heldPath);
    }
  });
  return S_OK;
}

bool DropTarget::ResolveShortcut(const char* shortcut, char* target) {
  target[0] = '\0';
  bool resolved = false;
  {
    // Whatever the start gives: on this thread OLE may run already.
    const ComScope com(ComScope::Kind::kCom);
    resolved = LoadAndResolve(shortcut, target);
  }
  if (!resolved) target[0] = '\0';
  return resolved;
}

void InstallDropTarget(HWND dialog, bool (*requestOpen)(), void (*takeFolder)(HWND main, const char* folder)) {
  requestOpenNow = requestOpen;
  takeDroppedFolder = takeFolder;
  MainDropTarget = new (std::nothrow) DropTarget;
  dropTargetLocked = MainDropTarget != nullptr && CoLockObjectExternal(MainDropTarget, TRUE, TRUE) == S_OK;
  if (!dropTargetLocked) {
    ShowMessage(nullptr, MessageId::kOleObjectFailure);
    PostMessageA(dialog, WM_DESTROY, 0, 0);
    return;
  }
  dropTargetRegistered = RegisterDragDrop(dialog, MainDropTarget) == S_OK;
  if (!dropTargetRegistered) {
    ShowMessage(dialog, MessageId::kOleRegistrationFailure);
    PostMessageA(dialog, WM_DESTROY, 0, 0);
  }
}

void RemoveDropTarget(HWND dialog) {
  if (dropTargetRegistered) RevokeDragDrop(dialog);
  DropTarget* target = MainDropTarget;
  MainDropTarget = nullptr;
  // The lock holds its own reference, so the object outlives the creator's release.
  if (target != nullptr) target->Release();
  if (dropTargetLocked) CoLockObjectExternal(target, FALSE, TRUE);
  dropTargetRegistered = dropTargetLocked = false;
}
