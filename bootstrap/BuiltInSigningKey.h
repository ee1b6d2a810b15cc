#pragma once
// The signing public key this executable was built with (SETUP_SIGNING_PUBLIC_KEY), kept in an
// object of its own so that a test executable can link another key with the same code.
#include <cstddef>

struct SigningKeyBytes {
  const unsigned char* der;
  std::size_t length;  // 0: built without a key
};

SigningKeyBytes BuiltInSigningKey();
