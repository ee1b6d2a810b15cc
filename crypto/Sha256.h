#pragma once
// SHA-256 of bytes that arrive in pieces, so that a transfer can hash what it writes without
// reading the file again. The platform's CryptoAPI in Setup.exe, Crypto++ elsewhere.
#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>

inline constexpr std::size_t kSha256Length = 32;
using Sha256Digest = std::array<unsigned char, kSha256Length>;

class Sha256 {
 public:
  // Check Ready(): the platform may refuse to make a hash object.
  Sha256();
  ~Sha256();
  Sha256(Sha256&&) noexcept;
  Sha256& operator=(Sha256&&) noexcept;
  Sha256(const Sha256&) = delete;
  Sha256& operator=(const Sha256&) = delete;

  // False when no hash object could be made, or after a failed Add or a Finish.
  bool Ready() const;
  // Hashes `length` bytes at `data`. False when the platform failed; the hasher is then spent.
  bool Add(const void* data, std::size_t length);
  // The digest of everything added. Once only: the hasher is spent afterwards.
  std::optional<Sha256Digest> Finish();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// The digest of `bytes` in one call.
std::optional<Sha256Digest> Sha256Of(const std::string& bytes);
// 64 lower-case hexadecimal digits.
std::string LowerHex(const Sha256Digest& digest);
