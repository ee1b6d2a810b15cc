#pragma once
// What a build requires of signed descriptions: the keys that may sign them and the sections a
// signed description must carry. A build makes it once from its settings (BuiltInSigningPolicy);
// the publisher's tool judges with the same rules under the policies it reports on.
#include <cstddef>
#include <vector>

struct SigningKeyBytes {
  const unsigned char* der;  // DER SubjectPublicKeyInfo of an RSA key
  std::size_t length;
};

struct SigningPolicy {
  std::vector<SigningKeyBytes> keys;  // up to three; none: descriptions are read unsigned
  // A section that is present is honoured even when it is not required.
  bool requireValidUntil = false;   // a [Valid Until] section
  bool requireApplication = false;  // an [Application] section
  bool requireSizes = false;        // a size on every hash line
};
