#include "bootstrap/BuiltInSigningKey.h"

#include "crypto/SigningPublicKey.h"

SigningKeyBytes BuiltInSigningKey() { return {kSigningPublicKey, kSigningPublicKeyLength}; }
