#include "bootstrap/BuiltInSigningKey.h"

#include "crypto/SigningPublicKey.h"

BuiltInSigning BuiltInSigningKeys() {
  BuiltInSigning signing;
  const SigningKeyBytes all[] = {{kSigningPublicKey, kSigningPublicKeyLength},
                                 {kSigningPublicKey2, kSigningPublicKey2Length},
                                 {kSigningPublicKey3, kSigningPublicKey3Length}};
  for (const SigningKeyBytes& key : all) {
    if (key.length > 0) signing.keys.push_back(key);
  }
  signing.requireValidUntil = kRequireValidUntil;
  signing.requireApplication = kRequireApplication;
  signing.requireSizes = kRequireSizes;
  return signing;
}
