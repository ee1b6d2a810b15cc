#pragma once
// What `eiftool check` reports: every mistake a publisher can make in a description that the
// bootstrapper would either refuse or silently misread. One line per problem.
#include <string>
#include <vector>

// Why `file` decrypts to nothing with `keyHex` (signature, key, block count or the first
// block that fails), as one line.
std::string DescribeDecryptionFailure(const std::string& file, const std::string& keyHex);

// Decrypts `file` with `keyHex` and checks it; empty when nothing is wrong.
std::vector<std::string> CheckDescriptionFile(const std::string& file, const std::string& keyHex);

// The checks after decryption, on the plain text (ANSI code page).
std::vector<std::string> CheckPlainDescription(const std::string& plain);
