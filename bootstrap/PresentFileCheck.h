#pragma once
// A listed file that was already in the setup temp folder (a local copy, or an earlier item)
// is trusted only when its bytes have the hash its line gives.
#include <string>

// Reads the file at `path` once; true when its SHA-256 is `expectedSha256` (64 lower-case
// hexadecimal digits). False for a file that cannot be read or hashed.
bool FileHasSha256(const std::wstring& path, const std::string& expectedSha256);
