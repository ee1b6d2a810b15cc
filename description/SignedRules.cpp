#include "description/SignedRules.h"

#include "description/DescriptionSyntax.h"
#include "description/ValidUntil.h"

namespace {

using Kind = DescriptionRefusal::Kind;

DescriptionRefusal Refusal(Kind kind) {
  DescriptionRefusal refusal;
  refusal.kind = kind;
  return refusal;
}

std::optional<DescriptionRefusal> ExpiryRefusal(const std::optional<std::wstring>& value, bool required,
                                                const SignedRuleContext& context) {
  if (!value) return required ? std::optional(Refusal(Kind::kNoValidUntil)) : std::nullopt;
  const std::optional<std::int64_t> until = ParseValidUntil(TrimDescriptionSpace(*value));
  if (!until) return Refusal(Kind::kBadValidUntil);
  if (!context.utcNow) return Refusal(Kind::kNoClock);
  if (StillValid(*until, context.utcNow())) return std::nullopt;
  DescriptionRefusal expired = Refusal(Kind::kExpired);
  expired.validUntil = *until;
  return expired;
}

std::optional<DescriptionRefusal> ApplicationRefusal(const std::optional<std::wstring>& value, bool required,
                                                     const SignedRuleContext& context) {
  if (!value) return required ? std::optional(Refusal(Kind::kNoApplication)) : std::nullopt;
  if (BindsToApplication(*value, context.applicationName, context.sameApplication)) return std::nullopt;
  DescriptionRefusal other = Refusal(Kind::kOtherApplication);
  other.name = TrimDescriptionSpace(*value);
  other.expected = context.applicationName;
  return other;
}

}  // namespace

std::vector<DescriptionRefusal> SignedRuleRefusals(const SignedSections& sections, const SigningPolicy& policy,
                                                   const SignedRuleContext& context) {
  std::vector<DescriptionRefusal> refusals;
  // A signature vouches for the files only through their hashes.
  if (!HashesCoverEveryFile(sections.hashes, sections.files)) refusals.push_back(Refusal(Kind::kFileNotHashed));
  for (const std::optional<DescriptionRefusal>& refusal :
       {ExpiryRefusal(sections.validUntil, policy.requireValidUntil, context),
        ApplicationRefusal(sections.application, policy.requireApplication, context)}) {
    if (refusal) refusals.push_back(*refusal);
  }
  if (!policy.requireSizes) return refusals;
  // One for each hash line without a size; a file without a line is refused above.
  for (const std::wstring& target : TargetsWithoutSize(sections.files, sections.hashes)) {
    if (sections.hashes.byTarget.count(target) == 0) continue;
    DescriptionRefusal refusal = Refusal(Kind::kUnsized);
    refusal.name = target;
    refusals.push_back(refusal);
  }
  return refusals;
}
