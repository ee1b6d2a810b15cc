#pragma once
// The optional [Valid Until] section of a signed description: one value, a UTC time
// "YYYY-MM-DD HH:MM:SS", or the date alone, which means the end of that day. A signed
// description stops being accepted once the system clock has passed it, so an old one cannot be
// replayed for ever.
#include <cstdint>
#include <optional>
#include <string>

inline constexpr wchar_t kValidUntilSection[] = L"Valid Until";

// The last second (since 1970-01-01 00:00:00 UTC) at which the description is valid; nothing
// for a value of another form or an impossible date (years 1970 to 9999).
std::optional<std::int64_t> ParseValidUntil(const std::wstring& value);

// "YYYY-MM-DD HH:MM:SS" of `seconds` since 1970 UTC, as the section holds it.
std::string FormatValidUntil(std::int64_t seconds);

// Whether a description valid until `validUntil` is still valid at `now` (both seconds since
// 1970 UTC): the last second itself still counts.
inline bool StillValid(std::int64_t validUntil, std::int64_t now) { return now <= validUntil; }
