#pragma once
// A whole file into memory: through the Win32 API on Windows, the standard library elsewhere.
#include <cstddef>
#include <optional>
#include <string>

// Nothing for a missing, unreadable or empty file, or one too large to hold. At most `limit`
// bytes are read: a longer file gives its first `limit` bytes.
std::optional<std::string> ReadWholeFile(const std::wstring& path, std::size_t limit);
