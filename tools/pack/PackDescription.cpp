#include "tools/pack/PackDescription.h"

#include "tools/pack/EifPack.h"
#include "tools/pack/EifSigning.h"
#include "tools/pack/ToolFiles.h"

namespace {

// `text` with its [Signature] section appended; empty with `problem` set when it cannot be signed.
std::string Signed(const std::string& text, const std::string& keyPath, std::string& problem) {
  std::string keyDer;
  if (!ReadFileBytes(keyPath, keyDer)) {
    problem = "cannot read signing key " + keyPath;
    return {};
  }
  std::string signedText;
  std::string why;
  if (!AppendSignature(text, keyDer, signedText, why)) problem = "cannot sign: " + why;
  return signedText;
}

// The text that is encrypted: signed when asked, and long enough for a default host.
std::string TextToEncrypt(const std::string& plain, const CryptoPP::RSA::PublicKey& key, const PackSigning& sign,
                          PackedDescription& packed) {
  std::size_t added = 0;
  const std::string padded = PaddedForDefaultHosts(plain, key, added);
  if (sign.keyPath.empty()) {
    packed.padding = added;
    return padded;
  }
  // A signature section alone takes a text past the default hosts' floor, so a signed text
  // needs no padding; were it ever needed, it goes first.
  const std::string signedPlain = Signed(plain, sign.keyPath, packed.problem);
  if (!packed.problem.empty()) return {};
  std::size_t signedNeeds = 0;
  PaddedForDefaultHosts(signedPlain, key, signedNeeds);
  if (signedNeeds == 0) return signedPlain;
  const std::string signedPadded = Signed(padded, sign.keyPath, packed.problem);
  if (packed.problem.empty()) packed.padding = added;
  return signedPadded;
}

}  // namespace

PackedDescription PackDescription(const std::string& plain, const CryptoPP::RSA::PublicKey& key,
                                  const PackSigning& sign, std::int64_t now) {
  PackedDescription packed;
  std::string text = plain;
  if (!sign.keyPath.empty()) {
    const std::int64_t until = now + std::int64_t{sign.validDays} * 86400;
    text = WithSignedSections(plain, until, sign.application, packed.kept);
  }
  const std::string encrypted = TextToEncrypt(text, key, sign, packed);
  if (!packed.problem.empty()) return packed;
  packed.unpaddedSize = EncryptedSizeFor(text.size(), key);
  std::string why;
  if (!EncryptDescription(encrypted, key, packed.file, why)) {
    packed.file.clear();
    packed.problem = "encryption failed: " + why;
  }
  return packed;
}
