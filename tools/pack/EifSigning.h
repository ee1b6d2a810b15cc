#pragma once
// The signing side of descriptions: signing key pairs and the [Signature] section that `pack
// --sign` appends and `check --verify` checks.
#include <string>

constexpr unsigned int kSigningKeyBits = 3072;

struct SigningKeyPair {
  std::string privateDer;  // PKCS #8 PrivateKeyInfo
  std::string publicDer;   // X.509 SubjectPublicKeyInfo
};

// A new RSA key pair of `bits` bits. False (with `error` set) when the library fails.
bool GenerateSigningKeyPair(unsigned int bits, SigningKeyPair& pair, std::string& error);

// `plain` followed by a [Signature] section that signs it with `privateKeyDer` (PKCS #8). A text
// that does not end with a line end gets one first (it is signed too), so the header stands on
// a line of its own. Refuses a text that already has a [Signature] header, and keys below the
// size Setup.exe accepts.
bool AppendSignature(const std::string& plain, const std::string& privateKeyDer, std::string& signedText,
                     std::string& error);

// Empty when `plain` ends with a well-formed [Signature] that `publicKeyDer` verifies;
// otherwise what is wrong, in one sentence.
std::string SignatureProblem(const std::string& plain, const std::string& publicKeyDer);
