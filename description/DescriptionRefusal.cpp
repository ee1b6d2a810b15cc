#include "description/DescriptionRefusal.h"

#include "description/ValidUntil.h"

namespace {

std::wstring DecryptionReason(DecryptionFailure failure, std::size_t failedBlock) {
  const std::wstring block = L"block " + std::to_wstring(failedBlock);
  switch (failure) {
    case DecryptionFailure::kUnreadableFile:
      return L"missing, unreadable or empty";
    case DecryptionFailure::kFileTooLarge:
      return L"larger than " + std::to_wstring(kMaxDescriptionFileBytes) + L" bytes";
    case DecryptionFailure::kNoFormatTag:
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

std::wstring DescribeRefusal(const DescriptionRefusal& refusal) {
  using Kind = DescriptionRefusal::Kind;
  switch (refusal.kind) {
    case Kind::kNotDecrypted:
      return L"not decrypted: " + DecryptionReason(refusal.decryption, refusal.failedBlock);
    case Kind::kSignatureMissing:
      return L"no well-formed [Signature] at its end";
    case Kind::kSignatureMismatch:
      return L"signature does not match";
    case Kind::kPlaceholders:
      return L"its placeholders nest too deep or grow too long";
    case Kind::kNoEndMarker:
      return L"no [End] holding End";
    case Kind::kFileNotHashed:
      return L"a listed file has no hash line, or a hash line is malformed";
    case Kind::kNoValidUntil:
      return L"it has no [Valid Until]";
    case Kind::kBadValidUntil:
      return L"its [Valid Until] is not YYYY-MM-DD or YYYY-MM-DD HH:MM:SS";
    case Kind::kNoClock:
      return L"no clock to compare its [Valid Until] with";
    case Kind::kExpired: {
      const std::string when = FormatValidUntil(refusal.validUntil);
      return L"it expired at " + std::wstring(when.begin(), when.end()) + L" UTC";
    }
    case Kind::kNoApplication:
      return L"it has no [Application]";
    case Kind::kOtherApplication:
      return L"its [Application] " + refusal.name + L" is not " + refusal.expected;
    case Kind::kUnsized:
      return L"the hash line of " + refusal.name + L" has no size";
  }
  return L"refused";
}
