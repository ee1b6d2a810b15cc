#pragma once
// Description texts for the download tests, and their encrypted files.
#include <string>
#include <vector>

// The description text: "Download Sites", "Files to download" (each item "source -> target"),
// `extra` sections as written, then the end marker. A comment pads it so that the encrypted
// file is longer than 1000 bytes, as default hosts require.
std::string DescriptionText(const std::vector<std::wstring>& sites,
                            const std::vector<std::string>& files, const std::string& extra = "");

// `plain` encrypted into a .eif file's bytes with the build's key (tests/support/BuildKey.h).
std::string Encrypted(const std::string& plain);

// `plain` with a [Signature] section of the test signing key (tests/crypto/keys), or of its
// other key.
std::string Signed(const std::string& plain, bool otherKey = false);

// The SHA-256 of `bytes` in lower-case hexadecimal.
std::string Sha256Hex(const std::string& bytes);
