#pragma once
// The rules a build with a signing key applies to a signed description once its signature
// holds: every listed file hashed, then expiry, application and sizes as its policy requires.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "description/ApplicationBinding.h"
#include "description/DescriptionRefusal.h"
#include "description/FileHashes.h"
#include "description/SigningPolicy.h"

// What the rules read of a read description.
struct SignedSections {
  const FileHashList& hashes;
  const std::vector<ListedFile>& files;
  std::optional<std::wstring> validUntil;   // the first line of [Valid Until], when present
  std::optional<std::wstring> application;  // the first line of [Application], when present
};

// What the rules compare the sections with, from the running program.
struct SignedRuleContext {
  // Seconds since 1970-01-01 00:00:00 UTC, from the system clock; without it no [Valid Until]
  // can be honoured and a description that has one is refused.
  std::function<std::int64_t()> utcNow;
  // The name derived from the executable's file name, and how names compare.
  std::wstring applicationName;
  SameApplicationName sameApplication;
};

// Every rule that refuses the description, in the order above; a build refuses it for the
// first. None when it passes.
std::vector<DescriptionRefusal> SignedRuleRefusals(const SignedSections& sections, const SigningPolicy& policy,
                                                   const SignedRuleContext& context);
