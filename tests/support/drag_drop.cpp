#include "drag_drop.h"

#include <shlobj.h>

#include <atomic>
#include <thread>

#include "ui_driver.h"

namespace {

// Lives on the caller's stack for one drag.
class TestDropSource final : public IDropSource {
 public:
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

void MoveMouse(POINT point) {
  SetCursorPos(point.x, point.y);
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dx = point.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
  input.mi.dy = point.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &input, sizeof input);
}

}  // namespace

std::wstring Widen(const std::string& text) {
  std::wstring wide(text.size() + 1, L'\0');
  wide.resize(static_cast<std::size_t>(MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0],
                                                           static_cast<int>(wide.size())) - 1));
  return wide;
}

ComPtr<IDataObject> ShellDataObject(const std::vector<std::wstring>& paths) {
  std::vector<PIDLIST_ABSOLUTE> lists;
  std::vector<PCUITEMID_CHILD> children;
  ComPtr<IShellFolder> folder;
  for (const std::wstring& path : paths) {
    PIDLIST_ABSOLUTE list = nullptr;
    if (FAILED(SHParseDisplayName(path.c_str(), nullptr, &list, 0, nullptr))) break;
    lists.push_back(list);
    PCUITEMID_CHILD child = nullptr;
    if (FAILED(SHBindToParent(list, IID_IShellFolder, folder.OutVoid(), &child))) break;
    children.push_back(child);
  }
  ComPtr<IDataObject> data;
  if (!children.empty() && children.size() == paths.size()) {
    folder->GetUIObjectOf(nullptr, static_cast<UINT>(children.size()), children.data(), IID_IDataObject, nullptr,
                          data.OutVoid());
  }
  for (PIDLIST_ABSOLUTE list : lists) CoTaskMemFree(list);  // the data object holds its own copies
  return data;
}

DWORD DragOnto(IDataObject* data, POINT point, bool drop) {
  TestDropSource source;
  std::thread mover([&] {
    WaitFor([&] { return source.queries > 0; });  // the drag loop runs
    MoveMouse(point);
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
