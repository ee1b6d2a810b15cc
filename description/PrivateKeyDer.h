#pragma once
// The embedded key's DER (PKCS #8) to the DER that CryptoAPI decodes. Wine's crypt32 cannot
// decode the PKCS #8 wrapper, so it is taken off here and only the inner RSAPrivateKey goes to
// the platform.
#include <optional>
#include <vector>

using DerBytes = std::vector<unsigned char>;

// The RSAPrivateKey inside a PKCS #8 PrivateKeyInfo: SEQUENCE { INTEGER 0, SEQUENCE {
// rsaEncryption, NULL }, OCTET STRING { RSAPrivateKey }, optional attributes }. Nothing when
// `der` is not such a structure.
std::optional<DerBytes> RsaKeyInsidePkcs8(const DerBytes& der);
