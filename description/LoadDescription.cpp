#include "description/LoadDescription.h"

#include "description/DescriptionConstants.h"
#include "description/DescriptionSignature.h"
#include "description/EmbeddedKey.h"

namespace {

using Kind = DescriptionRefusal::Kind;

std::optional<DescriptionRefusal> Refused(Kind kind) {
  DescriptionRefusal refusal;
  refusal.kind = kind;
  return refusal;
}

// Checked on the bytes as signed, before anything of the text is read or expanded.
std::optional<DescriptionRefusal> SignatureRefusal(const std::string& plain, const DescriptionPlatform& platform) {
  if (!platform.verifySignature) return std::nullopt;
  const DescriptionSignature found = FindDescriptionSignature(plain);
  if (found.form != DescriptionSignature::Form::kWellFormed) return Refused(Kind::kSignatureMissing);
  if (!platform.verifySignature(found.signedText, found.signature)) return Refused(Kind::kSignatureMismatch);
  return std::nullopt;
}

// The checks of a text once read, in the order a load makes them.
std::optional<DescriptionRefusal> ReadTextRefusal(const SetupDescription& description,
                                                  const DescriptionPlatform& platform) {
  if (!description.PlaceholdersExpanded()) return Refused(Kind::kPlaceholders);
  if (description.GetValue(kEndSection) != kEndValue) return Refused(Kind::kNoEndMarker);
  if (!platform.verifySignature) return std::nullopt;
  const FileHashList hashes = FileHashesOf(description);
  const std::vector<DescriptionRefusal> refusals =
      SignedRuleRefusals(SignedSectionsOf(description, hashes), platform.signing, platform.signedContext);
  if (refusals.empty()) return std::nullopt;
  return refusals.front();
}

}  // namespace

LoadedDescription LoadPlainDescription(const std::string& plain, const DescriptionPlatform& platform) {
  if (std::optional<DescriptionRefusal> refusal = SignatureRefusal(plain, platform)) return std::move(*refusal);
  SetupDescription description = SetupDescription::Read(plain, platform);
  if (std::optional<DescriptionRefusal> refusal = ReadTextRefusal(description, platform)) return std::move(*refusal);
  return description;
}

LoadedDescription LoadDescription(const std::wstring& path, const DescriptionPlatform& platform) {
  DecryptedDescription decrypted = DecryptDescription(path, kEmbeddedPrivateKey, platform.ansiToWide);
  if (!decrypted.HasText()) {
    DescriptionRefusal refusal;
    refusal.kind = Kind::kNotDecrypted;
    refusal.decryption = decrypted.failure;
    refusal.failedBlock = decrypted.failedBlock;
    return refusal;
  }
  return LoadPlainDescription(std::string(decrypted.text.data()), platform);
}
