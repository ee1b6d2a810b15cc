#include "description/BuiltInSigningPolicy.h"

#include "description/SigningSettings.h"

SigningPolicy BuiltInSigningPolicy() {
  SigningPolicy policy;
  const SigningKeyBytes all[] = {{kSigningPublicKey, kSigningPublicKeyLength},
                                 {kSigningPublicKey2, kSigningPublicKey2Length},
                                 {kSigningPublicKey3, kSigningPublicKey3Length}};
  for (const SigningKeyBytes& key : all) {
    if (key.length > 0) policy.keys.push_back(key);
  }
  policy.requireValidUntil = kRequireValidUntil;
  policy.requireApplication = kRequireApplication;
  policy.requireSizes = kRequireSizes;
  return policy;
}
