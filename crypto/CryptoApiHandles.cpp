#include "crypto/CryptoApiHandles.h"

#include <algorithm>

static_assert(sizeof(DWORD) == 4 && sizeof(std::size_t) >= sizeof(DWORD),
              "a piece of at most MAXDWORD bytes fits both the API's DWORD and size_t");

UniqueCryptProvider AcquireAesProvider() {
  HCRYPTPROV provider = 0;
  if (!::CryptAcquireContextW(&provider, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT)) {
    return UniqueCryptProvider();
  }
  return UniqueCryptProvider(provider);
}

UniqueCryptHash CreateSha256Hash(HCRYPTPROV provider) {
  HCRYPTHASH hash = 0;
  if (!::CryptCreateHash(provider, CALG_SHA_256, 0, 0, &hash)) return UniqueCryptHash();
  return UniqueCryptHash(hash);
}

bool HashBytes(HCRYPTHASH hash, const void* data, std::size_t length) {
  const auto* at = static_cast<const BYTE*>(data);
  do {
    const std::size_t piece = std::min<std::size_t>(length, MAXDWORD);
    if (!::CryptHashData(hash, at, static_cast<DWORD>(piece), 0)) return false;
    at += piece;
    length -= piece;
  } while (length > 0);
  return true;
}
