#pragma once
// The Crypto++ decryptor: the project's reference implementation.
#include <memory>
#include <string>

#include "description/BlockDecryptor.h"

std::unique_ptr<BlockDecryptor> LoadCryptoppDecryptor(const char* keyHex);

// The library's own words for why `keyHex` does not load; empty when it loads.
std::string CryptoppKeyError(const char* keyHex);
