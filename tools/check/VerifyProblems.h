#pragma once
// `check --verify`: what a build with given signing keys refuses in a description.
#include <cstdint>
#include <string>
#include <vector>

struct VerifyReport {
  std::vector<std::string> problems;
  std::vector<std::string> notes;  // the key that signed it, the time left, the application it serves
};

// What a build with the keys at `publicKeyPaths` refuses in `file` decrypted with `keyHex`, at
// `now` (seconds since 1970 UTC): a missing or bad signature (with one key its problem, with
// several each key's), listed files without a hash line or size, malformed hash lines, an expiry
// passed. Nothing for a file that does not decrypt: the checks of the file say why.
VerifyReport VerifyProblems(const std::string& file, const std::string& keyHex,
                            const std::vector<std::string>& publicKeyPaths, std::int64_t now);
