#include "download/ContentRange.h"

#include "base/AsciiText.h"

namespace {
bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

void SkipBlanks(const std::wstring& text, std::size_t& at) {
  while (at < text.size() && IsBlank(text[at])) ++at;
}

// A decimal number at `at` (at least one digit); empty on anything else or when it does not
// fit in 63 bits, so that no sum of positions overflows.
std::optional<std::uint64_t> Number(const std::wstring& text, std::size_t& at) {
  const std::size_t start = at;
  std::uint64_t value = 0;
  while (at < text.size() && text[at] >= L'0' && text[at] <= L'9') {
    if (value > (UINT64_MAX / 2 - 9) / 10) return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(text[at] - L'0');
    ++at;
  }
  if (at == start) return std::nullopt;
  return value;
}

bool Expect(const std::wstring& text, std::size_t& at, wchar_t c) {
  if (at >= text.size() || text[at] != c) return false;
  ++at;
  return true;
}
}  // namespace

std::optional<ContentRange> ParseContentRange(const std::wstring& text) {
  std::size_t at = 0;
  SkipBlanks(text, at);
  const std::wstring unit = L"bytes";
  if (UpperAscii(text.substr(at, unit.size())) != UpperAscii(unit)) return std::nullopt;
  at += unit.size();
  if (at >= text.size() || !IsBlank(text[at])) return std::nullopt;
  SkipBlanks(text, at);
  ContentRange range;
  const std::optional<std::uint64_t> first = Number(text, at);
  if (!first || !Expect(text, at, L'-')) return std::nullopt;
  const std::optional<std::uint64_t> last = Number(text, at);
  if (!last || !Expect(text, at, L'/')) return std::nullopt;
  const std::optional<std::uint64_t> total = Number(text, at);
  if (!total) return std::nullopt;
  SkipBlanks(text, at);
  if (at != text.size() || *last < *first || *last >= *total) return std::nullopt;
  range.first = *first;
  range.last = *last;
  range.total = *total;
  return range;
}

RangeVerdict JudgeContinuation(const std::wstring& contentRange, std::optional<std::uint32_t> contentLength,
                               std::uint32_t offset, std::uint32_t total) {
  const std::optional<ContentRange> range = ParseContentRange(contentRange);
  if (!range) return RangeVerdict::kUnusable;
  if (range->first != offset) return RangeVerdict::kOtherStart;
  if (range->total != total) return RangeVerdict::kOtherTotal;
  if (range->last + 1 != range->total) return RangeVerdict::kUnusable;
  if (!contentLength || *contentLength != range->last + 1 - range->first) return RangeVerdict::kOtherLength;
  return RangeVerdict::kContinues;
}
