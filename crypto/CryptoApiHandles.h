#pragma once
// The CryptoAPI provider and SHA-256 hash objects the checks use.
#include <windows.h>
#include <wincrypt.h>

#include <initializer_list>

#include "base/UniqueHandle.h"

// A key-less context (CRYPT_VERIFYCONTEXT) of the first of the provider `types` that the system
// has; empty, with one failure line, when it has none of them.
UniqueCryptProvider AcquireVerifyContext(std::initializer_list<DWORD> types);

// The provider that knows SHA-256 (every Windows since XP SP3), as AcquireVerifyContext gives it.
UniqueCryptProvider AcquireSha256Provider();

// A fresh SHA-256 hash object of `provider`; empty on failure.
UniqueCryptHash CreateSha256Hash(HCRYPTPROV provider);
// Feeds `length` bytes to `hash` in pieces of at most 4 GiB - 1 (the API takes a DWORD).
bool HashBytes(HCRYPTHASH hash, const void* data, std::size_t length);
