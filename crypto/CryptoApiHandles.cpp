#include "crypto/CryptoApiHandles.h"

#include <algorithm>
#include <string>

#include "base/FailureLog.h"

static_assert(sizeof(DWORD) == 4 && sizeof(std::size_t) >= sizeof(DWORD),
              "a piece of at most MAXDWORD bytes fits both the API's DWORD and size_t");

UniqueCryptProvider AcquireVerifyContext(std::initializer_list<DWORD> types) {
  DWORD error = ERROR_INVALID_PARAMETER;
  for (const DWORD type : types) {
    HCRYPTPROV provider = 0;
    if (::CryptAcquireContextW(&provider, nullptr, nullptr, type, CRYPT_VERIFYCONTEXT)) {
      return UniqueCryptProvider(provider);
    }
    error = ::GetLastError();
  }
  // Only the last type's error: the earlier ones were tried in its place.
  LogFailure(L"no CryptoAPI provider of type " + std::to_wstring(*(types.end() - 1)) + ErrorSuffix(error));
  return UniqueCryptProvider();
}

UniqueCryptProvider AcquireSha256Provider() { return AcquireVerifyContext({PROV_RSA_AES}); }

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
