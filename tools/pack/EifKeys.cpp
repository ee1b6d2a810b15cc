#include "tools/pack/EifKeys.h"

#include <cryptopp/filters.h>
#include <cryptopp/hex.h>
#include <cryptopp/osrng.h>

#include <cctype>

#include "tools/pack/ToolFiles.h"

bool GenerateRsaKey(unsigned int bits, CryptoPP::RSA::PrivateKey& key, std::string& error) {
  using namespace CryptoPP;
  try {
    AutoSeededRandomPool random;
    key.GenerateRandomWithKeySize(random, bits);
    if (key.Validate(random, 3)) return true;
    error = "the new private key failed validation";
  } catch (const Exception& e) {
    error = e.what();
  }
  return false;
}

bool GenerateKeyPair(unsigned int bits, KeyPairText& pair, std::string& error) {
  using namespace CryptoPP;
  RSA::PrivateKey privateKey;
  if (!GenerateRsaKey(bits, privateKey, error)) return false;
  try {
    pair.privateHex.clear();
    pair.publicDer.clear();
    HexEncoder hex(new StringSink(pair.privateHex), true);
    privateKey.DEREncode(hex);
    hex.MessageEnd();
    const RSA::PublicKey publicKey(privateKey);
    StringSink der(pair.publicDer);
    publicKey.DEREncode(der);
    return true;
  } catch (const Exception& e) {
    error = e.what();
    return false;
  }
}

std::string TrimmedKeyText(const std::string& contents) {
  const char* space = " \t\r\n\v\f";
  const std::size_t begin = contents.find_first_not_of(space);
  if (begin == std::string::npos) return std::string();
  return contents.substr(begin, contents.find_last_not_of(space) - begin + 1);
}

bool LooksLikeHexKey(const std::string& contents) {
  const std::string text = TrimmedKeyText(contents);
  if (text.empty()) return false;
  for (const char c : text) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

bool LoadEncryptionKey(const std::string& contents, CryptoPP::RSA::PublicKey& key, std::string& error) {
  using namespace CryptoPP;
  try {
    if (LooksLikeHexKey(contents)) {
      StringSource source(TrimmedKeyText(contents), true, new HexDecoder);
      RSA::PrivateKey privateKey;
      privateKey.BERDecode(source);
      key = RSA::PublicKey(privateKey);
    } else {
      StringSource source(contents, true);
      key.BERDecode(source);
    }
    AutoSeededRandomPool random;
    if (!key.Validate(random, 1)) {
      error = "the key is not a valid RSA key";
      return false;
    }
    return true;
  } catch (const Exception& e) {
    error = std::string("the key does not load (") + e.what() + ")";
    return false;
  }
}

bool ReadPrivateKeyFile(const std::string& path, std::string& keyHex, std::string& error) {
  std::string contents;
  if (!ReadFileBytes(path, contents)) {
    error = "cannot read key " + path;
    return false;
  }
  if (!LooksLikeHexKey(contents)) {
    error = path + " is not a private key hex file";
    return false;
  }
  keyHex = TrimmedKeyText(contents);
  return true;
}
