#pragma once
// The audit's warning for a publisher who forgot to sign again: a default host serves a signed
// description that expires within a week.
#include <cstdint>
#include <string>
#include <vector>

#include "tools/audit/SiteAudit.h"

// One line per default host of `report` whose description (decrypted with `keyHex`) expires
// within a week of `now` (seconds since 1970 UTC) or has expired.
std::vector<std::string> DefaultHostExpiryWarnings(const AuditReport& report, const std::string& keyHex,
                                                   std::int64_t now);
