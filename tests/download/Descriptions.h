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
