#include "description/PrivateKeyDer.h"

#include <cstddef>

namespace {

constexpr unsigned char kSequence = 0x30;
constexpr unsigned char kInteger = 0x02;
constexpr unsigned char kOctetString = 0x04;
constexpr unsigned char kNull = 0x05;
constexpr unsigned char kObjectId = 0x06;
// 1.2.840.113549.1.1.1
constexpr unsigned char kRsaEncryption[] = {0x2A, 0x86, 0x48, 0x86, 0xF7, 0x0D, 0x01, 0x01, 0x01};

// A run of DER bytes read front to back.
struct DerReader {
  const unsigned char* at;
  const unsigned char* end;

  std::size_t Left() const { return static_cast<std::size_t>(end - at); }

  // The contents of the next element when it has `tag`; a definite length of at most four
  // bytes that fits in what is left.
  std::optional<DerReader> Element(unsigned char tag) {
    if (Left() < 2 || at[0] != tag) return std::nullopt;
    std::size_t length = at[1];
    const unsigned char* contents = at + 2;
    if (length >= 0x80) {
      const std::size_t lengthBytes = length - 0x80;
      if (lengthBytes == 0 || lengthBytes > 4 || lengthBytes > Left() - 2) return std::nullopt;
      length = 0;
      for (std::size_t i = 0; i < lengthBytes; ++i) length = (length << 8) | contents[i];
      contents += lengthBytes;
    }
    if (length > static_cast<std::size_t>(end - contents)) return std::nullopt;
    at = contents + length;
    return DerReader{contents, contents + length};
  }

  bool Holds(const unsigned char* bytes, std::size_t count) const {
    if (Left() != count) return false;
    for (std::size_t i = 0; i < count; ++i) {
      if (at[i] != bytes[i]) return false;
    }
    return true;
  }
};

bool IsRsaAlgorithm(DerReader algorithm) {
  const std::optional<DerReader> id = algorithm.Element(kObjectId);
  if (!id || !id->Holds(kRsaEncryption, sizeof(kRsaEncryption))) return false;
  const std::optional<DerReader> parameters = algorithm.Element(kNull);
  return parameters && parameters->Left() == 0 && algorithm.Left() == 0;
}

}  // namespace

std::optional<DerBytes> RsaKeyInsidePkcs8(const DerBytes& der) {
  DerReader whole{der.data(), der.data() + der.size()};
  std::optional<DerReader> info = whole.Element(kSequence);
  if (!info) return std::nullopt;
  const unsigned char versionZero[] = {0x00};
  const std::optional<DerReader> version = info->Element(kInteger);
  if (!version || !version->Holds(versionZero, 1)) return std::nullopt;
  const std::optional<DerReader> algorithm = info->Element(kSequence);
  if (!algorithm || !IsRsaAlgorithm(*algorithm)) return std::nullopt;
  const std::optional<DerReader> key = info->Element(kOctetString);
  if (!key) return std::nullopt;
  return DerBytes(key->at, key->end);
}
