#include "description/BlockDecryptor.h"
#include "description/CryptoppDecryptor.h"

std::unique_ptr<BlockDecryptor> LoadPlatformDecryptor(const char* keyHex) { return LoadCryptoppDecryptor(keyHex); }
