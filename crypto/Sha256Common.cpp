#include "crypto/Sha256.h"

std::optional<Sha256Digest> Sha256Of(const std::string& bytes) {
  Sha256 hasher;
  if (!hasher.Add(bytes.data(), bytes.size())) return std::nullopt;
  return hasher.Finish();
}

std::string LowerHex(const Sha256Digest& digest) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(2 * digest.size());
  for (const unsigned char byte : digest) {
    text.push_back(kDigits[byte >> 4]);
    text.push_back(kDigits[byte & 0x0F]);
  }
  return text;
}
