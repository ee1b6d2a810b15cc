#include "crypto/SignatureCheck.h"

#include <memory>
#include <optional>

#include "crypto/SignatureVerifier.h"

SignatureCheck SignatureCheckFor(const unsigned char* der, std::size_t length) {
  // Shared: the check is copied with the description's platform.
  auto verifier = std::make_shared<const std::optional<SignatureVerifier>>(SignatureVerifier::Load(der, length));
  return [verifier](const std::string& signedText, const std::vector<unsigned char>& signature) {
    return verifier->has_value() && (*verifier)->Verify(signedText, signature);
  };
}
