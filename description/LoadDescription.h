#pragma once
// Loading a description: the description a build accepts, or why it refused it.
#include <optional>
#include <string>
#include <utility>

#include "description/DescriptionPlatform.h"
#include "description/DescriptionRefusal.h"
#include "description/SetupDescription.h"

// A load's verdict: the description, or the refusal with its detail.
class LoadedDescription {
 public:
  LoadedDescription(SetupDescription description) : description_(std::move(description)) {}
  LoadedDescription(DescriptionRefusal refusal) : refusal_(std::move(refusal)) {}

  bool Accepted() const { return description_.has_value(); }
  // Only when accepted.
  SetupDescription& Description() { return *description_; }
  const SetupDescription& Description() const { return *description_; }
  // Only when refused.
  const DescriptionRefusal& Refusal() const { return refusal_; }

 private:
  std::optional<SetupDescription> description_;
  DescriptionRefusal refusal_;
};

// Decrypts the file at `path` with the built-in key, then as LoadPlainDescription.
LoadedDescription LoadDescription(const std::wstring& path, const DescriptionPlatform& platform);

// An already decrypted text (ANSI code page, read up to its first NUL). When the platform
// verifies signatures, a text without a valid [Signature] is refused before any of it is read,
// and one that breaks a rule for signed descriptions once read (SignedRules.h). Every text is
// refused when its placeholders stop at their bound or its "[End]" section does not hold "End".
LoadedDescription LoadPlainDescription(const std::string& plain, const DescriptionPlatform& platform);
