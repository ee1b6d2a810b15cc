#pragma once
// Shared by the description tests: encrypted fixtures packed with the key the build embeds, a
// temporary folder, and a platform that records messages.
#include <string>
#include <vector>

#include "description/DescriptionPlatform.h"
#include "tests/support/BuildKey.h"
#include "tests/support/TempFolder.h"

struct ShownMessage {
  std::wstring text;
  std::wstring caption;
};

// Fixed folders for the built-in placeholders; every message goes to `shown`.
DescriptionPlatform RecordingPlatform(std::vector<ShownMessage>& shown);
