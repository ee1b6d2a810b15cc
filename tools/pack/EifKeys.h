#pragma once
// Key pairs in the project's format: the private key as upper-case hex of its PKCS #8 DER
// encoding, the public key as DER X.509 SubjectPublicKeyInfo.
#include <cryptopp/rsa.h>

#include <string>

constexpr unsigned int kDescriptionKeyBits = 1024;

struct KeyPairText {
  std::string privateHex;
  std::string publicDer;
};

// A new RSA private key of `bits` bits that passed the library's full validation. False (with
// `error` set) when the library fails.
bool GenerateRsaKey(unsigned int bits, CryptoPP::RSA::PrivateKey& key, std::string& error);

// A new key pair of `bits` bits. False (with `error` set) when the library fails.
bool GenerateKeyPair(unsigned int bits, KeyPairText& pair, std::string& error);

// True when `contents` is hex digits only (white space around them allowed): a private key file.
bool LooksLikeHexKey(const std::string& contents);
// Hex digits of `contents` without surrounding white space.
std::string TrimmedKeyText(const std::string& contents);
// The hex text of the private key file at `path`; false (with `error` set) when it cannot be
// read or is not such a file.
bool ReadPrivateKeyFile(const std::string& path, std::string& keyHex, std::string& error);

// The encrypting key from a public key (DER) or a private key hex file's contents.
bool LoadEncryptionKey(const std::string& contents, CryptoPP::RSA::PublicKey& key, std::string& error);
