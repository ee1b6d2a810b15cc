#include <climits>

#include "crypto/Crypt32Functions.h"
#include "crypto/CryptoApiHandles.h"
#include "crypto/SignatureVerifier.h"

// The key goes before the provider it was imported into.
struct SignatureVerifier::State {
  UniqueCryptProvider provider;
  UniqueCryptKey key;
  std::size_t modulusLength = 0;
};

SignatureVerifier::SignatureVerifier(std::unique_ptr<State> state) : state_(std::move(state)) {}
SignatureVerifier::~SignatureVerifier() = default;
SignatureVerifier::SignatureVerifier(SignatureVerifier&&) noexcept = default;
SignatureVerifier& SignatureVerifier::operator=(SignatureVerifier&&) noexcept = default;

std::optional<SignatureVerifier> SignatureVerifier::Load(const unsigned char* der, std::size_t length) {
  if (der == nullptr || length == 0 || length > MAXDWORD) return std::nullopt;
  void* decoded = nullptr;
  DWORD size = 0;
  if (!crypt32::CryptDecodeObjectEx(X509_ASN_ENCODING, X509_PUBLIC_KEY_INFO, der, static_cast<DWORD>(length),
                             CRYPT_DECODE_ALLOC_FLAG, nullptr, &decoded, &size)) {
    return std::nullopt;
  }
  const UniqueLocalMemory owner(decoded);
  auto* info = static_cast<CERT_PUBLIC_KEY_INFO*>(decoded);
  const char* algorithm = info->Algorithm.pszObjId;
  if (algorithm == nullptr || std::string(algorithm) != szOID_RSA_RSA) return std::nullopt;
  const DWORD bits = crypt32::CertGetPublicKeyLength(X509_ASN_ENCODING, info);
  if (bits < kMinimumSigningKeyBits) return std::nullopt;

  auto state = std::make_unique<State>();
  state->provider = AcquireSha256Provider();
  if (!state->provider) return std::nullopt;
  HCRYPTKEY key = 0;
  if (!crypt32::CryptImportPublicKeyInfo(state->provider.get(), X509_ASN_ENCODING, info, &key)) return std::nullopt;
  state->key.reset(key);
  state->modulusLength = (bits + CHAR_BIT - 1) / CHAR_BIT;
  return SignatureVerifier(std::move(state));
}

std::size_t SignatureVerifier::SignatureLength() const { return state_->modulusLength; }

bool SignatureVerifier::Verify(const std::string& message, const std::vector<unsigned char>& signature) const {
  if (signature.size() != state_->modulusLength) return false;
  const UniqueCryptHash hash = CreateSha256Hash(state_->provider.get());
  if (!hash || !HashBytes(hash.get(), message.data(), message.size())) return false;
  // CryptoAPI reads the signature as a little-endian number.
  std::vector<BYTE> reversed(signature.rbegin(), signature.rend());
  return ::CryptVerifySignatureW(hash.get(), reversed.data(), static_cast<DWORD>(reversed.size()),
                                 state_->key.get(), nullptr, 0) != FALSE;
}
