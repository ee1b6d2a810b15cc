#pragma once
// The certificate library's functions as the program calls them: from the system folder's
// crypt32.dll, loaded on first use and never imported (base/SystemLibrary.h says why).
#include <windows.h>
#include <wincrypt.h>

#include "base/SystemLibrary.h"

namespace crypt32 {
inline constexpr wchar_t kLibrary[] = L"crypt32.dll";

SETUP_SYSTEM_FUNCTION(kLibrary, CertGetPublicKeyLength)
SETUP_SYSTEM_FUNCTION(kLibrary, CryptDecodeObjectEx)
SETUP_SYSTEM_FUNCTION(kLibrary, CryptImportPublicKeyInfo)
}  // namespace crypt32
