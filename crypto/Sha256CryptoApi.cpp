#include "crypto/Sha256.h"

#include "crypto/CryptoApiHandles.h"

// Declared in this order so the hash object goes before the provider that made it.
struct Sha256::State {
  UniqueCryptProvider provider;
  UniqueCryptHash hash;
};

Sha256::Sha256() : state_(std::make_unique<State>()) {
  state_->provider = AcquireSha256Provider();
  if (state_->provider) state_->hash = CreateSha256Hash(state_->provider.get());
}

Sha256::~Sha256() = default;
Sha256::Sha256(Sha256&&) noexcept = default;
Sha256& Sha256::operator=(Sha256&&) noexcept = default;

bool Sha256::Ready() const { return state_ && state_->hash.valid(); }

bool Sha256::Add(const void* data, std::size_t length) {
  if (!Ready()) return false;
  if (HashBytes(state_->hash.get(), data, length)) return true;
  state_->hash.reset();
  return false;
}

std::optional<Sha256Digest> Sha256::Finish() {
  if (!Ready()) return std::nullopt;
  Sha256Digest digest{};
  DWORD size = static_cast<DWORD>(digest.size());
  const bool done = ::CryptGetHashParam(state_->hash.get(), HP_HASHVAL, digest.data(), &size, 0) &&
                    size == digest.size();
  state_->hash.reset();
  if (!done) return std::nullopt;
  return digest;
}
