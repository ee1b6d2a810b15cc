#pragma once
// The executable's folder, set once at start-up and only read afterwards.
#include <string>

// The folder, lower-cased, with its trailing backslash: taken from `path` up to and including
// its last backslash ("\" when it has none).
void SetApplicationFolder(const std::wstring& path);
std::wstring GetApplicationFolder();
