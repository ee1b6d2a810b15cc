#pragma once
// The CryptoAPI provider and SHA-256 hash objects the checks use.
#include <windows.h>
#include <wincrypt.h>

#include "base/CryptHandles.h"

// A key-less context of the provider that knows SHA-256 (every Windows since XP SP3); empty
// when the system has none.
UniqueCryptProvider AcquireAesProvider();

// A fresh SHA-256 hash object of `provider`; empty on failure.
UniqueCryptHash CreateSha256Hash(HCRYPTPROV provider);
// Feeds `length` bytes to `hash` in pieces of at most 4 GiB - 1 (the API takes a DWORD).
bool HashBytes(HCRYPTHASH hash, const void* data, std::size_t length);
