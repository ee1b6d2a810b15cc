#include <cryptopp/sha.h>

#include "crypto/Sha256.h"

static_assert(CryptoPP::SHA256::DIGESTSIZE == kSha256Length, "SHA-256 digests are 32 bytes");

struct Sha256::State {
  CryptoPP::SHA256 hash;
  bool spent = false;
};

Sha256::Sha256() : state_(std::make_unique<State>()) {}
Sha256::~Sha256() = default;
Sha256::Sha256(Sha256&&) noexcept = default;
Sha256& Sha256::operator=(Sha256&&) noexcept = default;

bool Sha256::Ready() const { return state_ && !state_->spent; }

bool Sha256::Add(const void* data, std::size_t length) {
  if (!Ready()) return false;
  state_->hash.Update(static_cast<const CryptoPP::byte*>(data), length);
  return true;
}

std::optional<Sha256Digest> Sha256::Finish() {
  if (!Ready()) return std::nullopt;
  Sha256Digest digest{};
  state_->hash.Final(digest.data());
  state_->spent = true;
  return digest;
}
