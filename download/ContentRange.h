#pragma once
// The Content-Range of a 206 answer and whether it continues the bytes a file already holds.
// Plain text: built natively too.
#include <cstdint>
#include <optional>
#include <string>

// "bytes FIRST-LAST/TOTAL": the positions of the first and the last byte sent, and the
// length of the whole file.
struct ContentRange {
  std::uint64_t first = 0;
  std::uint64_t last = 0;
  std::uint64_t total = 0;
};

// The range a header value names; empty when it is not of that form, when the total is
// unknown ("*"), or when its positions contradict each other (last before first, or past the
// total).
std::optional<ContentRange> ParseContentRange(const std::wstring& text);

enum class RangeVerdict {
  kContinues,      // the answer brings exactly the bytes from `offset` to the end
  kUnusable,       // no readable Content-Range, or one that stops before the end of the file
  kOtherStart,     // it starts elsewhere than at `offset`
  kOtherTotal,     // the file it belongs to has another length
  kOtherLength,    // its Content-Length does not match the range
};

// Judges a 206 answer to "Range: bytes=OFFSET-" for a file of `total` bytes. `contentLength`
// is the answer's Content-Length, empty when it announced none.
RangeVerdict JudgeContinuation(const std::wstring& contentRange, std::optional<std::uint32_t> contentLength,
                               std::uint32_t offset, std::uint32_t total);
