#include "description/FileHashLine.h"

#include "base/HexText.h"
#include "description/DescriptionSyntax.h"

namespace {

bool IsDecimal(wchar_t c) { return c >= L'0' && c <= L'9'; }

// The decimal number at the front of `rest` and the text after the spaces that follow it, when
// `rest` is "<digits> <more>"; false otherwise (the whole rest is then the target).
bool SplitSize(const std::wstring& rest, std::uint64_t& size, std::wstring& after, bool& tooLarge) {
  std::size_t end = 0;
  while (end < rest.size() && IsDecimal(rest[end])) ++end;
  if (end == 0 || end == rest.size() || rest[end] != L' ') return false;
  after = TrimDescriptionSpace(rest.substr(end));
  if (after.empty()) return false;
  size = 0;
  tooLarge = false;
  for (std::size_t i = 0; i < end; ++i) {
    size = size * 10 + static_cast<std::uint64_t>(rest[i] - L'0');
    if (size > kLargestSignedSize) tooLarge = true;
    if (tooLarge) break;
  }
  return true;
}

}  // namespace

std::optional<FileHashLine> ParseFileHashLine(const std::wstring& line) {
  if (line.size() <= kFileHashDigits || line[kFileHashDigits] != L' ') return std::nullopt;
  static const char kDigits[] = "0123456789abcdef";
  FileHashLine parsed;
  for (std::size_t i = 0; i < kFileHashDigits; ++i) {
    const int value = HexDigitValue(line[i]);
    if (value < 0) return std::nullopt;
    parsed.digest.push_back(kDigits[value]);
  }
  // Targets are trimmed where "Files to download" is read, so the name is trimmed here too.
  const std::wstring rest = TrimDescriptionSpace(line.substr(kFileHashDigits));
  std::uint64_t size = 0;
  std::wstring after;
  bool tooLarge = false;
  if (SplitSize(rest, size, after, tooLarge)) {
    if (tooLarge) return std::nullopt;
    parsed.size = static_cast<std::uint32_t>(size);
    parsed.target = after;
  } else {
    parsed.target = rest;
  }
  if (parsed.target.empty()) return std::nullopt;
  return parsed;
}

std::string FormatFileHashLine(const std::string& lowerDigest, std::uint64_t size, const std::string& target) {
  return lowerDigest + " " + std::to_string(size) + " " + target;
}
