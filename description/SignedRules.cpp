#include "description/SignedRules.h"

#include "description/DescriptionSyntax.h"
#include "description/ValidUntil.h"

namespace {

std::wstring ExpiryRefusal(const std::optional<std::wstring>& value, const SignedRequirements& rules) {
  if (!value) return rules.validUntil ? L"it has no [Valid Until]" : std::wstring();
  const std::optional<std::int64_t> until = ParseValidUntil(TrimDescriptionSpace(*value));
  if (!until) return L"its [Valid Until] is not YYYY-MM-DD or YYYY-MM-DD HH:MM:SS";
  if (!rules.utcNow) return L"no clock to compare its [Valid Until] with";
  if (!StillValid(*until, rules.utcNow())) {
    const std::string when = FormatValidUntil(*until);
    return L"it expired at " + std::wstring(when.begin(), when.end()) + L" UTC";
  }
  return std::wstring();
}

std::wstring ApplicationRefusal(const std::optional<std::wstring>& value, const SignedRequirements& rules) {
  if (!value) return rules.application ? L"it has no [Application]" : std::wstring();
  if (!BindsToApplication(*value, rules.applicationName, rules.sameApplication)) {
    return L"its [Application] " + TrimDescriptionSpace(*value) + L" is not " + rules.applicationName;
  }
  return std::wstring();
}

}  // namespace

std::wstring SignedRuleRefusal(const SignedSections& sections, const SignedRequirements& rules) {
  // A signature vouches for the files only through their hashes.
  if (!HashesCoverEveryFile(sections.hashes, sections.files)) {
    return L"a listed file has no hash line, or a hash line is malformed";
  }
  std::wstring refusal = ExpiryRefusal(sections.validUntil, rules);
  if (refusal.empty()) refusal = ApplicationRefusal(sections.application, rules);
  if (refusal.empty() && rules.sizes) {
    const std::vector<std::wstring> unsized = TargetsWithoutSize(sections.files, sections.hashes);
    if (!unsized.empty()) refusal = L"the hash line of " + unsized.front() + L" has no size";
  }
  return refusal;
}
