#include "description/CryptoppDecryptor.h"

#include <cryptopp/filters.h>
#include <cryptopp/hex.h>
#include <cryptopp/osrng.h>
#include <cryptopp/rsa.h>

namespace {

class CryptoppDecryptor : public BlockDecryptor {
 public:
  // Throws CryptoPP::Exception when the key does not load.
  explicit CryptoppDecryptor(const char* keyHex) {
    CryptoPP::StringSource source(keyHex, true, new CryptoPP::HexDecoder);
    decryptor_.AccessKey().Load(source);
  }

  std::size_t CipherBlockLength() const override { return decryptor_.FixedCiphertextLength(); }
  std::size_t LargestPlaintext() const override { return decryptor_.FixedMaxPlaintextLength(); }

  Outcome Decrypt(const unsigned char* block, unsigned char* plain, std::size_t& length) override {
    try {
      const CryptoPP::DecodingResult result = decryptor_.Decrypt(random_, block, CipherBlockLength(), plain);
      if (!result.isValidCoding) return Outcome::kRefused;
      length = result.messageLength;
      return Outcome::kPlain;
    } catch (const CryptoPP::Exception&) {
      // A value not below the modulus fails the library's check of the private operation.
      return Outcome::kFailed;
    }
  }

 private:
  CryptoPP::RSAES_OAEP_SHA_Decryptor decryptor_;
  CryptoPP::AutoSeededRandomPool random_;
};

}  // namespace

std::unique_ptr<BlockDecryptor> LoadCryptoppDecryptor(const char* keyHex) {
  if (keyHex == nullptr) return nullptr;
  try {
    return std::make_unique<CryptoppDecryptor>(keyHex);
  } catch (const CryptoPP::Exception&) {
    return nullptr;
  }
}

std::string CryptoppKeyError(const char* keyHex) {
  if (keyHex == nullptr) return "no key";
  try {
    CryptoppDecryptor decryptor(keyHex);
  } catch (const CryptoPP::Exception& e) {
    return e.what();
  }
  return std::string();
}
