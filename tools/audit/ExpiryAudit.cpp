#include "tools/audit/ExpiryAudit.h"

#include <optional>

#include "description/DecryptDescription.h"
#include "tools/pack/SignedSections.h"
#include "tools/audit/ToolText.h"

std::vector<std::string> DefaultHostExpiryWarnings(const AuditReport& report, const std::string& keyHex,
                                                   std::int64_t now) {
  std::vector<std::string> warnings;
  for (const HostCheck& host : report.hosts) {
    if (!host.offers) continue;
    const DecryptedDescription plain = DecryptDescriptionBytes(host.body, keyHex.c_str(), nullptr);
    if (!plain.HasText()) continue;  // not this key's: the host table shows what it serves
    const std::optional<std::string> warning =
        ExpiryWarning(std::string(plain.text.data(), static_cast<std::size_t>(plain.length)), now);
    if (warning) warnings.push_back("default host " + Utf8(host.host) + " serves a description: " + *warning);
  }
  return warnings;
}
