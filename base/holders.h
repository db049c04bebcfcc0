// Owners of what Win32 hands out and must be given back: kernel handles, find
// handles, registry keys, loaded libraries, device contexts and their
// selections, COM pointers and COM itself. Each releases its resource once, at
// the end of its scope, and is never copied; the handles and COM pointers can
// be moved. Get() lends the raw value, Out() receives one from a call that
// fills a pointer.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <utility>

template <typename Traits>
class Holder {
 public:
  using Type = typename Traits::Type;

  Holder() = default;
  explicit Holder(Type value) : value(value) {}
  ~Holder() { Reset(); }
  Holder(Holder&& other) noexcept : value(other.Release()) {}
  Holder& operator=(Holder&& other) noexcept {
    Reset(other.Release());
    return *this;
  }

  Type Get() const { return value; }
  bool IsValid() const { return Traits::IsValid(value); }
  Type* Out() {
    Reset();
    return &value;
  }
  Type Release() { return std::exchange(value, Type{}); }
  void Reset(Type next = Type{}) {
    if (Traits::IsValid(value)) Traits::Free(value);
    value = next;
  }

 private:
  Type value{};
};

// CreateFile gives INVALID_HANDLE_VALUE where other calls give null: both hold nothing.
struct KernelHandleTraits {
  using Type = HANDLE;
  static bool IsValid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Free(HANDLE h) { CloseHandle(h); }
};
struct FindHandleTraits {
  using Type = HANDLE;
  static bool IsValid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Free(HANDLE h) { FindClose(h); }
};
struct RegistryKeyTraits {
  using Type = HKEY;
  static bool IsValid(HKEY k) { return k != nullptr; }
  static void Free(HKEY k) { RegCloseKey(k); }
};
struct LibraryTraits {
  using Type = HMODULE;
  static bool IsValid(HMODULE m) { return m != nullptr; }
  static void Free(HMODULE m) { FreeLibrary(m); }
};

using UniqueHandle = Holder<KernelHandleTraits>;
using FindHandle = Holder<FindHandleTraits>;
using RegistryKey = Holder<RegistryKeyTraits>;
using Library = Holder<LibraryTraits>;

// A window's DC from GetDC, given back to that window.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window(window), dc(GetDC(window)) {}
  ~WindowDc() {
    if (dc != nullptr) ReleaseDC(window, dc);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC Get() const { return dc; }

 private:
  HWND window;
  HDC dc;
};

// A GDI object selected into a DC; the one it replaced goes back at the end.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc(dc), previous(SelectObject(dc, object)) {}
  ~SelectedObject() {
    if (previous != nullptr) SelectObject(dc, previous);
  }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC dc;
  HGDIOBJ previous;
};

// COM on this thread (with OLE, or alone), ended at the end of the scope when
// it was started: a success, S_FALSE included, is paired with its end.
class ComScope {
 public:
  enum class Kind { kCom, kOle };
  explicit ComScope(Kind kind)
      : kind(kind), result(kind == Kind::kOle ? OleInitialize(nullptr) : CoInitialize(nullptr)) {}
  ~ComScope() {
    if (FAILED(result)) return;
    if (kind == Kind::kOle) {
      OleUninitialize();
    } else {
      CoUninitialize();
    }
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
  HRESULT Result() const { return result; }

 private:
  Kind kind;
  HRESULT result;
};

// One reference to a COM object.
template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() { Reset(); }
  ComPtr(ComPtr&& other) noexcept : object(std::exchange(other.object, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    Reset();
    object = std::exchange(other.object, nullptr);
    return *this;
  }

  T* Get() const { return object; }
  T* operator->() const { return object; }
  T** Out() {
    Reset();
    return &object;
  }
  void** OutVoid() { return reinterpret_cast<void**>(Out()); }  // for QueryInterface and the like
  void Reset() {
    if (object != nullptr) object->Release();
    object = nullptr;
  }

 private:
  T* object = nullptr;
};
