#include "tests/support/BuildKey.h"

#include <gtest/gtest.h>

#include "description/EmbeddedKey.h"
#include "tools/pack/EifKeys.h"
#include "tools/pack/EifPack.h"

const CryptoPP::RSA::PublicKey& EmbeddedPublicKey() {
  static const CryptoPP::RSA::PublicKey key = [] {
    CryptoPP::RSA::PublicKey loaded;
    std::string error;
    if (!LoadEncryptionKey(kEmbeddedPrivateKey, loaded, error)) ADD_FAILURE() << error;
    return loaded;
  }();
  return key;
}

std::string PackWithEmbeddedKey(const std::string& plain) {
  std::string file;
  std::string error;
  EXPECT_TRUE(EncryptDescription(plain, EmbeddedPublicKey(), file, error)) << error;
  return file;
}

std::string PackPiecesWithEmbeddedKey(const std::vector<std::string>& pieces) {
  std::string file;
  std::string error;
  EXPECT_TRUE(EncryptPieces(pieces, EmbeddedPublicKey(), file, error)) << error;
  return file;
}
