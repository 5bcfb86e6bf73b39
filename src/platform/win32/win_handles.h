#pragma once
// Owners for the Win32 handles the program uses, built on UniqueHandle.

#include <windows.h>
#include <objbase.h>
#include <winsvc.h>

#include "base/unique_handle.h"

namespace tftpcfg {

struct RegKeyTraits {
  using type = HKEY;
  static constexpr type invalid() noexcept { return nullptr; }
  static void close(type h) noexcept { RegCloseKey(h); }
};
using UniqueHKey = UniqueHandle<RegKeyTraits>;

struct ScHandleTraits {
  using type = SC_HANDLE;
  static constexpr type invalid() noexcept { return nullptr; }
  static void close(type h) noexcept { CloseServiceHandle(h); }
};
using UniqueScHandle = UniqueHandle<ScHandleTraits>;

struct ModuleTraits {
  using type = HMODULE;
  static constexpr type invalid() noexcept { return nullptr; }
  static void close(type h) noexcept { FreeLibrary(h); }
};
using UniqueModule = UniqueHandle<ModuleTraits>;

template <typename T>
struct GdiTraits {
  using type = T;
  static constexpr type invalid() noexcept { return nullptr; }
  static void close(type h) noexcept { DeleteObject(h); }
};
using UniqueFont = UniqueHandle<GdiTraits<HFONT>>;
using UniqueBrush = UniqueHandle<GdiTraits<HBRUSH>>;
using UniqueBitmap = UniqueHandle<GdiTraits<HBITMAP>>;

struct IconTraits {
  using type = HICON;
  static constexpr type invalid() noexcept { return nullptr; }
  static void close(type h) noexcept { DestroyIcon(h); }
};
using UniqueIcon = UniqueHandle<IconTraits>;

struct WindowTraits {
  using type = HWND;
  static constexpr type invalid() noexcept { return nullptr; }
  static void close(type h) noexcept { DestroyWindow(h); }
};
using UniqueWindow = UniqueHandle<WindowTraits>;

struct KernelHandleTraits {
  using type = HANDLE;
  static type invalid() noexcept { return nullptr; }
  static void close(type h) noexcept { CloseHandle(h); }
};
using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;

// Releases a COM interface pointer.
template <typename I>
struct ComTraits {
  using type = I*;
  static constexpr type invalid() noexcept { return nullptr; }
  static void close(type p) noexcept { p->Release(); }
};
template <typename I>
using ComPtr = UniqueHandle<ComTraits<I>>;

// Initialises COM for the calling thread for the lifetime of the object.
class ComApartment {
 public:
  explicit ComApartment(DWORD model = COINIT_APARTMENTTHREADED)
      : ok_(SUCCEEDED(CoInitializeEx(nullptr, model))) {}
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  ~ComApartment() {
    if (ok_) CoUninitialize();
  }
  bool ok() const { return ok_; }

 private:
  bool ok_;
};

}  // namespace tftpcfg
