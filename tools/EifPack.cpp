#include "tools/EifPack.h"

#include <cryptopp/osrng.h>

#include "description/FileSignature.h"

std::size_t LargestPieceFor(const CryptoPP::RSA::PublicKey& key) {
  return CryptoPP::RSAES_OAEP_SHA_Encryptor(key).FixedMaxPlaintextLength();
}

bool EncryptPieces(const std::vector<std::string>& pieces, const CryptoPP::RSA::PublicKey& key,
                   std::string& file, std::string& error) {
  using namespace CryptoPP;
  try {
    const RSAES_OAEP_SHA_Encryptor encryptor(key);
    const std::size_t blockLength = encryptor.FixedCiphertextLength();
    AutoSeededRandomPool random;
    file.assign(kFileSignatureBytes, kFileSignatureLength);
    file.push_back('\0');
    std::string block(blockLength, '\0');
    for (const std::string& piece : pieces) {
      if (piece.size() > encryptor.FixedMaxPlaintextLength()) {
        error = "a piece of " + std::to_string(piece.size()) + " bytes does not fit one block";
        return false;
      }
      encryptor.Encrypt(random, reinterpret_cast<const byte*>(piece.data()), piece.size(),
                        reinterpret_cast<byte*>(&block[0]));
      file += block;
    }
    return true;
  } catch (const Exception& e) {
    error = e.what();
    return false;
  }
}

bool EncryptDescription(const std::string& plain, const CryptoPP::RSA::PublicKey& key,
                        std::string& file, std::string& error) {
  std::size_t largest = 0;
  try {
    largest = LargestPieceFor(key);
  } catch (const CryptoPP::Exception& e) {
    error = e.what();
    return false;
  }
  if (largest == 0) {
    error = "the key is too short to carry any text";
    return false;
  }
  std::vector<std::string> pieces;
  for (std::size_t at = 0; at < plain.size(); at += largest) pieces.push_back(plain.substr(at, largest));
  return EncryptPieces(pieces, key, file, error);
}
