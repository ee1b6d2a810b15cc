#pragma once
// Encrypted descriptions for the tests, packed as `eiftool pack` packs them, with the key that
// this build embeds (SETUP_PRIVATE_KEY_FILE): what the build's own code must decrypt.
#include <cryptopp/rsa.h>

#include <string>
#include <vector>

// The public half of the embedded key.
const CryptoPP::RSA::PublicKey& EmbeddedPublicKey();
// `plain` packed with the embedded key; fails the calling test when packing fails.
std::string PackWithEmbeddedKey(const std::string& plain);
// One block per piece, with the embedded key.
std::string PackPiecesWithEmbeddedKey(const std::vector<std::string>& pieces);
