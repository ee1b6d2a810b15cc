#pragma once
// The Windows CryptoAPI decryptor (advapi32 and crypt32 only): what Setup.exe decrypts with.
#include <memory>

#include "description/BlockDecryptor.h"

std::unique_ptr<BlockDecryptor> LoadCryptoApiDecryptor(const char* keyHex);
