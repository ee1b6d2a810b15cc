#pragma once
// Text from a system call that fills a buffer of the caller's: the call is made with a buffer
// that grows until the text fits, so no path is cut at a fixed length.
#include <cstdint>
#include <string>

// Longest text asked for: the longest path Windows knows, with its terminator.
inline constexpr std::uint32_t kLongestPath = 32768;

// `fill(buffer, size)` writes into `size` characters and returns what the call returned: the
// length written without the terminator when the text fit; the size needed (with the
// terminator) or `size` itself (the text was cut) when it did not; 0 on failure. Empty on
// failure and when the text needs more than kLongestPath characters.
template <typename Fill>
std::wstring ReadGrowingText(Fill fill) {
  std::uint32_t size = 260;
  for (;;) {
    std::wstring buffer(size, L'\0');
    const std::uint32_t n = static_cast<std::uint32_t>(fill(&buffer[0], size));
    if (n == 0) return std::wstring();
    if (n < size) return buffer.substr(0, n);
    if (size == kLongestPath) return std::wstring();
    // The call either said what it needs or cut the text: grow to that, at least twofold.
    size = n > size * 2 ? n : size * 2;
    if (size > kLongestPath) size = kLongestPath;
  }
}
