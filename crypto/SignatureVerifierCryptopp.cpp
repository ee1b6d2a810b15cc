#include <cryptopp/cryptlib.h>
#include <cryptopp/filters.h>
#include <cryptopp/rsa.h>
#include <cryptopp/sha.h>

#include "crypto/SignatureVerifier.h"

struct SignatureVerifier::State {
  CryptoPP::RSASS<CryptoPP::PKCS1v15, CryptoPP::SHA256>::Verifier verifier;
};

SignatureVerifier::SignatureVerifier(std::unique_ptr<State> state) : state_(std::move(state)) {}
SignatureVerifier::~SignatureVerifier() = default;
SignatureVerifier::SignatureVerifier(SignatureVerifier&&) noexcept = default;
SignatureVerifier& SignatureVerifier::operator=(SignatureVerifier&&) noexcept = default;

std::optional<SignatureVerifier> SignatureVerifier::Load(const unsigned char* der, std::size_t length) {
  using namespace CryptoPP;
  if (der == nullptr || length == 0) return std::nullopt;
  try {
    StringSource source(der, length, true);
    RSA::PublicKey key;
    key.BERDecode(source);
    // Bytes after the key would be ignored by a decoder that stops at its end; refuse them.
    if (source.MaxRetrievable() != 0) return std::nullopt;
    if (key.GetModulus().BitCount() < kMinimumSigningKeyBits || !key.Validate(NullRNG(), 0)) return std::nullopt;
    auto state = std::make_unique<State>();
    state->verifier.AccessKey() = key;
    return SignatureVerifier(std::move(state));
  } catch (const Exception&) {
    return std::nullopt;  // not a DER RSA public key
  }
}

std::size_t SignatureVerifier::SignatureLength() const { return state_->verifier.SignatureLength(); }

bool SignatureVerifier::Verify(const std::string& message, const std::vector<unsigned char>& signature) const {
  if (signature.size() != SignatureLength()) return false;
  return state_->verifier.VerifyMessage(reinterpret_cast<const CryptoPP::byte*>(message.data()), message.size(),
                                        signature.data(), signature.size());
}
