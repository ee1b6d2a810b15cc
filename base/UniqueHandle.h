#pragma once
// One owner for every kind of Windows handle: copy deleted, move allowed, closed on destruction.
// A Traits type names the handle type, its empty value and how to close it. Every owner is here
// except WinINet's, whose close function is loaded on first use: it sits beside that function
// table in download/, which this layer cannot include.
#include <windows.h>
#include <wincrypt.h>

#include <utility>

template <typename Traits>
class UniqueHandle {
 public:
  using Type = typename Traits::Type;

  UniqueHandle() = default;
  explicit UniqueHandle(Type value) : value_(value) {}
  ~UniqueHandle() { reset(); }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : value_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }

  Type get() const { return value_; }
  bool valid() const { return value_ != Traits::Empty(); }
  explicit operator bool() const { return valid(); }

  // Closes the held handle (if any) and takes `value`.
  void reset(Type value = Traits::Empty()) {
    if (valid()) Traits::Close(value_);
    value_ = value;
  }
  // Gives up ownership without closing.
  Type release() { return std::exchange(value_, Traits::Empty()); }

 private:
  Type value_ = Traits::Empty();
};

struct KernelHandleTraits {
  using Type = HANDLE;
  static Type Empty() { return nullptr; }
  static void Close(Type h) { ::CloseHandle(h); }
};
struct FileHandleTraits {
  using Type = HANDLE;
  static Type Empty() { return INVALID_HANDLE_VALUE; }
  static void Close(Type h) { ::CloseHandle(h); }
};
struct FindHandleTraits {
  using Type = HANDLE;
  static Type Empty() { return INVALID_HANDLE_VALUE; }
  static void Close(Type h) { ::FindClose(h); }
};
struct GlobalMemoryTraits {
  using Type = HGLOBAL;
  static Type Empty() { return nullptr; }
  static void Close(Type h) { ::GlobalFree(h); }
};
struct RegistryKeyTraits {
  using Type = HKEY;
  static Type Empty() { return nullptr; }
  static void Close(Type h) { ::RegCloseKey(h); }
};
// A GDI bitmap, as the picture's and the drawings' canvases are.
struct BitmapTraits {
  using Type = HBITMAP;
  static Type Empty() { return nullptr; }
  static void Close(Type h) { ::DeleteObject(h); }
};
// A memory device context, to draw into.
struct MemoryDcTraits {
  using Type = HDC;
  static Type Empty() { return nullptr; }
  static void Close(Type h) { ::DeleteDC(h); }
};
// A window made with CreateWindowEx.
struct WindowTraits {
  using Type = HWND;
  static Type Empty() { return nullptr; }
  static void Close(Type h) { ::DestroyWindow(h); }
};
struct MappedViewTraits {
  using Type = const void*;
  static Type Empty() { return nullptr; }
  static void Close(Type view) { ::UnmapViewOfFile(view); }
};
// CryptoAPI's provider, hash and key objects, and the memory its decoders allocate.
struct CryptProviderTraits {
  using Type = HCRYPTPROV;
  static Type Empty() { return 0; }
  static void Close(Type h) { ::CryptReleaseContext(h, 0); }
};
struct CryptHashTraits {
  using Type = HCRYPTHASH;
  static Type Empty() { return 0; }
  static void Close(Type h) { ::CryptDestroyHash(h); }
};
struct CryptKeyTraits {
  using Type = HCRYPTKEY;
  static Type Empty() { return 0; }
  static void Close(Type h) { ::CryptDestroyKey(h); }
};
struct LocalMemoryTraits {
  using Type = HLOCAL;
  static Type Empty() { return nullptr; }
  static void Close(Type h) { ::LocalFree(h); }
};

using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueFileHandle = UniqueHandle<FileHandleTraits>;
using UniqueFindHandle = UniqueHandle<FindHandleTraits>;
using UniqueGlobalMemory = UniqueHandle<GlobalMemoryTraits>;
using UniqueRegistryKey = UniqueHandle<RegistryKeyTraits>;
using UniqueBitmap = UniqueHandle<BitmapTraits>;
using UniqueMemoryDc = UniqueHandle<MemoryDcTraits>;
using UniqueWindow = UniqueHandle<WindowTraits>;
using UniqueMappedView = UniqueHandle<MappedViewTraits>;
using UniqueCryptProvider = UniqueHandle<CryptProviderTraits>;
using UniqueCryptHash = UniqueHandle<CryptHashTraits>;
using UniqueCryptKey = UniqueHandle<CryptKeyTraits>;
using UniqueLocalMemory = UniqueHandle<LocalMemoryTraits>;
