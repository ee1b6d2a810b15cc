#pragma once
// The sections `pack --sign` writes before it signs, and what `check --verify` says of a signed
// text beyond its signature: expiry, application, signed sizes.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

inline constexpr int kDefaultValidDays = 60;

// `plain` with [Valid Until] (`validUntil`, seconds since 1970 UTC) and, when given,
// [Application] appended in the text's own line ends. A section the text already has is kept as
// it stands and not written again; each kept one is named in `kept`.
std::string WithSignedSections(const std::string& plain, std::int64_t validUntil,
                               const std::optional<std::string>& application, std::vector<std::string>& kept);

struct SignedTextReport {
  std::vector<std::string> problems;  // what every build with a signing key refuses
  // Expiry and time left, the application it serves, and warnings for what only a build with
  // the default settings refuses (no [Valid Until], no [Application], a hash line without size).
  std::vector<std::string> notes;
};

// The rules that a build with a signing key applies to a signed plain text after its signature
// (SignedRules.h), judged at `now` (seconds since 1970 UTC) after one read of the text: every
// malformed hash line and listed file without one, then expiry, application and sizes.
SignedTextReport CheckSignedText(const std::string& plain, std::int64_t now);

// How long before its expiry a served description is worth a warning.
inline constexpr std::int64_t kExpiryWarningSeconds = 7 * 86400;

// For a text whose [Valid Until] passes within kExpiryWarningSeconds of `now`, or has passed: one
// sentence saying when. Nothing for a text without one, or one valid longer.
std::optional<std::string> ExpiryWarning(const std::string& plain, std::int64_t now);
