#include "tools/pack/EifPack.h"

#include <cryptopp/osrng.h>

#include "description/FormatTag.h"
#include "download/HttpRules.h"

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
    file.assign(kFormatTagBytes, kFormatTagLength);
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

std::size_t EncryptedSizeFor(std::size_t plainLength, const CryptoPP::RSA::PublicKey& key) {
  try {
    const std::size_t largest = LargestPieceFor(key);
    if (largest == 0) return kDescriptionHeaderLength;
    const std::size_t blocks = (plainLength + largest - 1) / largest;
    return kDescriptionHeaderLength + blocks * CryptoPP::RSAES_OAEP_SHA_Encryptor(key).FixedCiphertextLength();
  } catch (const CryptoPP::Exception&) {
    // A key the library cannot use: EncryptDescription refuses it with the library's reason.
    return kDescriptionHeaderLength;
  }
}

std::string PaddedForDefaultHosts(const std::string& plain, const CryptoPP::RSA::PublicKey& key,
                                  std::size_t& added) {
  added = 0;
  const auto minimum = static_cast<std::size_t>(http_rules::kDescriptionThreshold);
  // A key that carries no text makes no file longer; encryption refuses it afterwards.
  const bool usableKey = EncryptedSizeFor(1, key) > kDescriptionHeaderLength;
  if (!usableKey || EncryptedSizeFor(plain.size(), key) >= minimum) return plain;
  // The comment goes on a line of its own, with the line ends the text already uses.
  const bool crlf = plain.find("\r\n") != std::string::npos;
  const std::string lineEnd = crlf ? "\r\n" : "\n";
  std::string padded = plain;
  if (!padded.empty() && padded.back() != '\n') padded += lineEnd;
  padded += "// padding: an encrypted description under " + std::to_string(minimum) +
            " bytes is taken for an error page";
  padded += lineEnd;
  // Filler before the line end until the file is long enough; comments are never read.
  while (EncryptedSizeFor(padded.size(), key) < minimum) padded.insert(padded.size() - lineEnd.size(), 1, '.');
  added = padded.size() - plain.size();
  return padded;
}
