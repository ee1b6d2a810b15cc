#pragma once
// One RSA-OAEP (SHA-1) private key that decrypts a description block by block. Two
// implementations give the same results: the platform's CryptoAPI (Setup.exe) and Crypto++
// (the publisher's tool, the native build and the fuzzers; also the reference in tests).
#include <cstddef>
#include <memory>

class BlockDecryptor {
 public:
  enum class Outcome {
    kPlain,    // `plain` holds the block's message
    kRefused,  // OAEP decoding failed: another key, or a changed block
    kFailed,   // the RSA operation itself failed: the block is no ciphertext of this key
  };

  virtual ~BlockDecryptor() = default;

  // Bytes of every cipher block (the modulus length).
  virtual std::size_t CipherBlockLength() const = 0;
  // The longest message one block can hold.
  virtual std::size_t LargestPlaintext() const = 0;
  // Decrypts the CipherBlockLength() bytes at `block` into `plain`, which has room for
  // LargestPlaintext() bytes; `length` is the message length when the outcome is kPlain.
  virtual Outcome Decrypt(const unsigned char* block, unsigned char* plain, std::size_t& length) = 0;
};

// Loads `keyHex` (hex of a PKCS #8 DER RSA private key); nullptr when it does not load.
using BlockDecryptorLoader = std::unique_ptr<BlockDecryptor> (*)(const char* keyHex);

// The decryptor of this build: CryptoAPI on Windows, Crypto++ elsewhere.
std::unique_ptr<BlockDecryptor> LoadPlatformDecryptor(const char* keyHex);
