#pragma once
// `pack`: a plain text as it goes into an .eif file, signed when asked, padded for the default
// hosts, encrypted.
#include <cryptopp/rsa.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/pack/SignedSections.h"

struct PackSigning {
  std::string keyPath;  // the signing key (PKCS #8 DER); empty: not signed
  int validDays = kDefaultValidDays;
  std::optional<std::string> application;  // nothing: any application
};

struct PackedDescription {
  std::string file;     // the encrypted bytes; empty when `problem` says why not
  std::string problem;  // one sentence, empty on success
  std::vector<std::string> kept;  // sections the text had already, signed as they stand
  // The comment line appended so that a default host serves the file (0: none), and the
  // encrypted size without it.
  std::size_t padding = 0;
  std::size_t unpaddedSize = 0;
};

// `plain` signed (with [Valid Until] `sign.validDays` after `now`, seconds since 1970 UTC, and
// [Application] added unless the text has them), padded and encrypted with `key`. A signed text
// is padded before it is signed, as the signature must end it.
PackedDescription PackDescription(const std::string& plain, const CryptoPP::RSA::PublicKey& key,
                                  const PackSigning& sign, std::int64_t now);
