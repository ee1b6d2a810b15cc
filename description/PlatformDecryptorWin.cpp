#include "description/BlockDecryptor.h"
#include "description/CryptoApiDecryptor.h"

std::unique_ptr<BlockDecryptor> LoadPlatformDecryptor(const char* keyHex) { return LoadCryptoApiDecryptor(keyHex); }
