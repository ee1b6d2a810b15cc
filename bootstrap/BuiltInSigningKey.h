#pragma once
// The signing public keys this executable was built with (SETUP_SIGNING_PUBLIC_KEY) and what it
// requires of a signed description, kept in an object of its own so that a test executable can
// link other keys with the same code.
#include <cstddef>
#include <vector>

struct SigningKeyBytes {
  const unsigned char* der;
  std::size_t length;
};

struct BuiltInSigning {
  std::vector<SigningKeyBytes> keys;  // up to three; none: built without a key
  bool requireValidUntil = false;
  bool requireApplication = false;
  bool requireSizes = false;
};

BuiltInSigning BuiltInSigningKeys();
