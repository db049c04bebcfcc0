// Owners of what Win32 hands out and must be given back: kernel handles, find
// handles, registry keys, loaded libraries, GDI objects, device contexts and
// COM pointers. Each releases its resource once, at the end of its scope; each
// can be moved, not copied. Get() lends the raw value, Out() receives one from
// a call that fills a pointer.
#pragma once

#include <windows.h>

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
template <typename T>
struct GdiObjectTraits {
  using Type = T;
  static bool IsValid(T object) { return object != nullptr; }
  static void Free(T object) { DeleteObject(object); }
};
struct MemoryDcTraits {
  using Type = HDC;
  static bool IsValid(HDC dc) { return dc != nullptr; }
  static void Free(HDC dc) { DeleteDC(dc); }
};

using UniqueHandle = Holder<KernelHandleTraits>;
using FindHandle = Holder<FindHandleTraits>;
using RegistryKey = Holder<RegistryKeyTraits>;
using Library = Holder<LibraryTraits>;
template <typename T>
using GdiObject = Holder<GdiObjectTraits<T>>;  // HBITMAP, HFONT, HBRUSH, HPEN, HRGN
using MemoryDc = Holder<MemoryDcTraits>;       // from CreateCompatibleDC

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
