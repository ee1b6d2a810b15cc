#pragma once
// RSASSA-PKCS1-v1_5 signatures with SHA-256 (RFC 8017) under one RSA public key: the
// platform's CryptoAPI in Setup.exe, Crypto++ elsewhere.
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Keys below this size are refused, whoever made them.
inline constexpr unsigned int kMinimumSigningKeyBits = 2048;

class SignatureVerifier {
 public:
  ~SignatureVerifier();
  SignatureVerifier(SignatureVerifier&&) noexcept;
  SignatureVerifier& operator=(SignatureVerifier&&) noexcept;
  SignatureVerifier(const SignatureVerifier&) = delete;
  SignatureVerifier& operator=(const SignatureVerifier&) = delete;

  // The key from its DER X.509 SubjectPublicKeyInfo; nothing when the bytes are no RSA public
  // key of at least kMinimumSigningKeyBits bits, or the platform cannot load it.
  static std::optional<SignatureVerifier> Load(const unsigned char* der, std::size_t length);

  // Bytes of every signature under this key (the modulus length; 384 for 3072 bits).
  std::size_t SignatureLength() const;
  // True only when `signature` (big-endian, as RFC 8017 writes it) signs exactly `message`.
  bool Verify(const std::string& message, const std::vector<unsigned char>& signature) const;

 private:
  struct State;
  explicit SignatureVerifier(std::unique_ptr<State> state);
  std::unique_ptr<State> state_;
};
