#include "bootstrap/RefusalReason.h"

namespace {

std::wstring DecryptionReason(const DecryptedDescription& decryption) {
  const std::wstring block = L"block " + std::to_wstring(decryption.failedBlock);
  switch (decryption.failure) {
    case DecryptionFailure::kUnreadableFile:
      return L"missing, unreadable or empty";
    case DecryptionFailure::kFileTooLarge:
      return L"larger than " + std::to_wstring(kMaxDescriptionFileBytes) + L" bytes";
    case DecryptionFailure::kNoSignature:
      return L"not an encrypted description (its first bytes do not match)";
    case DecryptionFailure::kKeyDoesNotLoad:
      return L"the built-in key does not load";
    case DecryptionFailure::kNotWholeBlocks:
      return L"not whole blocks of the built-in key (another key, or the file was cut)";
    case DecryptionFailure::kTooLong:
      return L"too long to hold";
    case DecryptionFailure::kBlockRefused:
      return block + L" does not decrypt with the built-in key";
    case DecryptionFailure::kBlockFailed:
      return block + L" is no ciphertext of the built-in key";
    case DecryptionFailure::kNone:
      break;
  }
  return L"no text";
}

}  // namespace

std::wstring RefusalReason(const SetupDescription& description) {
  switch (description.Refusal()) {
    case LoadRefusal::kNoText:
      return L"not decrypted: " + DecryptionReason(description.Decryption());
    case LoadRefusal::kSignatureMissing:
      return L"no well-formed [Signature] at its end";
    case LoadRefusal::kSignatureMismatch:
      return L"signature does not match";
    case LoadRefusal::kPlaceholders:
      return L"its placeholders nest too deep or grow too long";
    case LoadRefusal::kNoEndMarker:
      return L"no [End] holding End";
    case LoadRefusal::kSignedRule:
      return description.SignedRefusal();
    case LoadRefusal::kNone:
      break;
  }
  return L"refused";
}
