#pragma once
// A whole file into memory: through the Win32 API on Windows, the standard library elsewhere.
#include <optional>
#include <string>

// Nothing for a missing, unreadable or empty file, or one too large to hold.
std::optional<std::string> ReadWholeFile(const std::wstring& path);
