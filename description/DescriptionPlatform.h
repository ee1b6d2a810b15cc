#pragma once
// What the description code needs of the operating system, handed in so that the code itself
// builds without windows.h (natively for tests, sanitizers, fuzzing and the publisher's tool).
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "description/ApplicationBinding.h"

// What a build with a signing key demands of a signed description beyond its signature and a
// hash line per listed file. A section that is present is honoured even when it is not required.
struct SignedRequirements {
  bool validUntil = false;   // a [Valid Until] section
  bool application = false;  // an [Application] section
  bool sizes = false;        // a size on every hash line
  // Seconds since 1970-01-01 00:00:00 UTC, from the system clock; without it no [Valid Until]
  // can be honoured and a description that has one is refused.
  std::function<std::int64_t()> utcNow;
  // The name derived from the executable's file name, and how names compare.
  std::wstring applicationName;
  SameApplicationName sameApplication;
};

struct DescriptionPlatform {
  // ANSI code page text to UTF-16, up to the first NUL.
  std::function<std::wstring(const std::string&)> ansiToWide;
  // Folder queries behind the built-in placeholders (no trailing backslash; empty on failure),
  // except applicationFolder, which keeps its trailing backslash.
  std::function<std::wstring()> programFilesFolder;
  std::function<std::wstring()> tempFolder;
  std::function<std::wstring()> desktopFolder;
  std::function<std::wstring()> startMenuFolder;
  std::function<std::wstring()> applicationFolder;
  // Told the name of each section a lookup did not find (the program shows the "Ini Parser"
  // box, see MissingSectionMessage); returns when the user was told.
  std::function<void(const std::wstring& name)> missingSection;
  // Set only when the program was built with a signing key: true when `signature` signs
  // exactly `signedText` under it. While set, every description must be signed and hash every
  // listed file.
  std::function<bool(const std::string& signedText, const std::vector<unsigned char>& signature)> verifySignature;
  // Applied to a signed description only while verifySignature is set.
  SignedRequirements signedRules;
};
