#pragma once
// Why a description was refused, with the detail its reason line names, and the one place that
// words every refusal, signed or not.
#include <cstddef>
#include <cstdint>
#include <string>

#include "description/DecryptDescription.h"

struct DescriptionRefusal {
  enum class Kind {
    kNotDecrypted,       // decryption gave nothing back: `decryption` and `failedBlock` say why
    kSignatureMissing,   // signatures are verified and the text ends in no well-formed [Signature]
    kSignatureMismatch,  // a [Signature] that no key of the build verifies
    kPlaceholders,       // placeholder expansion stopped at its bound
    kNoEndMarker,        // no "[End]" section holding "End"
    // The rules for a signed description once its signature holds (SignedRules.h):
    kFileNotHashed,      // a listed file has no hash line, or a hash line is malformed
    kNoValidUntil,       // required and missing
    kBadValidUntil,      // present and of another form
    kNoClock,            // present, and nothing to compare it with
    kExpired,            // passed at `validUntil`
    kNoApplication,      // required and missing
    kOtherApplication,   // `name` (the section's value, trimmed) is not `expected`
    kUnsized,            // the hash line of target `name` has no size
  };

  Kind kind = Kind::kNotDecrypted;
  DecryptionFailure decryption = DecryptionFailure::kNone;
  std::size_t failedBlock = 0;
  std::int64_t validUntil = 0;  // seconds since 1970 UTC
  std::wstring name;
  std::wstring expected;
};

// The publisher's words for `refusal`, for the failure line of the step that loaded it.
std::wstring DescribeRefusal(const DescriptionRefusal& refusal);
