#include "tests/support/RootStore.h"

#include <windows.h>
#include <wincrypt.h>

#include <cstdio>

namespace {
const BYTE* Bytes(const std::string& der) { return reinterpret_cast<const BYTE*>(der.data()); }

// Where the current user's Root store keeps a certificate: a key named by its SHA-1 thumbprint.
// Wine's store reports a deletion as done but keeps the key, so the key itself is removed.
std::wstring RegistryKey(const std::string& der) {
  BYTE hash[20] = {};
  DWORD size = sizeof(hash);
  if (!::CryptHashCertificate(0, CALG_SHA1, 0, Bytes(der), static_cast<DWORD>(der.size()), hash, &size)) {
    return std::wstring();
  }
  std::wstring key = L"Software\\Microsoft\\SystemCertificates\\Root\\Certificates\\";
  for (BYTE b : hash) {
    wchar_t digits[3] = {};
    std::swprintf(digits, 3, L"%02X", b);
    key += digits;
  }
  return key;
}
}  // namespace

bool TrustRootCertificate(const std::string& der) {
  return ::CertAddEncodedCertificateToSystemStoreW(L"Root", Bytes(der), static_cast<DWORD>(der.size())) != FALSE;
}

bool DistrustRootCertificate(const std::string& der) {
  const std::wstring key = RegistryKey(der);
  if (key.empty()) return false;
  const LSTATUS status = ::RegDeleteKeyW(HKEY_CURRENT_USER, key.c_str());
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}
