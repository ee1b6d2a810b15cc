#pragma once
// Owners of CryptoAPI handles and of the memory its decoders allocate.
#include <windows.h>
#include <wincrypt.h>

#include "base/UniqueHandle.h"

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
using UniqueCryptProvider = UniqueHandle<CryptProviderTraits>;
using UniqueCryptHash = UniqueHandle<CryptHashTraits>;
using UniqueCryptKey = UniqueHandle<CryptKeyTraits>;
using UniqueLocalMemory = UniqueHandle<LocalMemoryTraits>;
