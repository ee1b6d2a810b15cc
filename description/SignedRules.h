#pragma once
// The rules a build with a signing key applies to a signed description once its signature
// holds: every listed file hashed, then expiry, application and sizes as the build requires.
#include <optional>
#include <string>
#include <vector>

#include "description/DescriptionPlatform.h"
#include "description/FileHashes.h"

// What the rules read of a loaded description.
struct SignedSections {
  const FileHashList& hashes;
  const std::vector<ListedFile>& files;
  std::optional<std::wstring> validUntil;   // the first line of [Valid Until], when present
  std::optional<std::wstring> application;  // the first line of [Application], when present
};

// Empty when the description passes; otherwise which rule refused it, for the failure line.
std::wstring SignedRuleRefusal(const SignedSections& sections, const SignedRequirements& rules);
