#pragma once
// A signing public key as the check that a loaded description asks for.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

using SignatureCheck = std::function<bool(const std::string& signedText, const std::vector<unsigned char>& signature)>;

// The check under the DER SubjectPublicKeyInfo `der`. A key that does not load (too small, not
// RSA, or refused by the platform) gives a check that refuses every signature, never none.
SignatureCheck SignatureCheckFor(const unsigned char* der, std::size_t length);
