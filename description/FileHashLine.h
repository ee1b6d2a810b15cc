#pragma once
// One line of [File Hashes]: 64 hexadecimal digits (the file's SHA-256, either case), one or more
// spaces, optionally the file's size in bytes (decimal) and one or more spaces, then the target
// name exactly as it stands after "->". The one reading of such a line, for Setup.exe and the
// publisher's tool alike.
#include <cstdint>
#include <optional>
#include <string>

inline constexpr std::size_t kFileHashDigits = 64;
// Sizes are those of a Content-Length Setup.exe can take: at most 32 bits.
inline constexpr std::uint64_t kLargestSignedSize = 0xFFFFFFFFull;

struct FileHashLine {
  std::string digest;  // lower case
  std::optional<std::uint32_t> size;
  std::wstring target;  // trimmed
};

// Nothing for a line that is not of that form (or whose size exceeds 32 bits). A second field
// of decimal digits followed by more text is the size; a target name that itself begins with
// digits and a space is read that way too.
std::optional<FileHashLine> ParseFileHashLine(const std::wstring& line);

// The line as `eiftool hash` writes it: lower-case digest, size, target, one space apart.
std::string FormatFileHashLine(const std::string& lowerDigest, std::uint64_t size, const std::string& target);
