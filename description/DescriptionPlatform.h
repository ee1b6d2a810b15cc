#pragma once
// What the description code needs of the operating system, handed in so that the code itself
// builds without windows.h (natively for tests, sanitizers, fuzzing and the publisher's tool).
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "description/SignedRules.h"
#include "description/SigningPolicy.h"

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
  // exactly `signedText` under one of the policy's keys. While set, every description must be
  // signed and hash every listed file.
  std::function<bool(const std::string& signedText, const std::vector<unsigned char>& signature)> verifySignature;
  // What the build requires of a signed description, and what its rules compare with; applied
  // only while verifySignature is set.
  SigningPolicy signing;
  SignedRuleContext signedContext;
};
