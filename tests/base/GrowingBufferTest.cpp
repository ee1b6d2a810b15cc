#include "base/GrowingBuffer.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <vector>

namespace {

// The two ways the system's calls answer a buffer that is too small.
enum class Style {
  kSaysWhatItNeeds,  // GetTempPathW: the size needed, terminator included, buffer untouched
  kCutsTheText,      // GetModuleFileNameW: as much as fits, terminated, and the buffer's size
};

// A call that holds `text` and answers as `style` says; it records every size it was given.
struct FakeCall {
  std::wstring text;
  Style style;
  bool fails = false;
  std::vector<std::uint32_t> sizes;

  std::uint32_t operator()(wchar_t* buffer, std::uint32_t size) {
    sizes.push_back(size);
    if (fails) return 0;
    const auto length = static_cast<std::uint32_t>(text.size());
    if (length < size) {
      std::wmemcpy(buffer, text.c_str(), length + 1);
      return length;
    }
    if (style == Style::kSaysWhatItNeeds) return length + 1;
    std::wmemcpy(buffer, text.c_str(), size - 1);
    buffer[size - 1] = L'\0';
    return size;
  }
};

TEST(GrowingBufferTest, ReadsTextOfAnyLengthUpToTheLongestPathAndNothingBeyond) {
  const struct {
    const char* name;
    std::size_t length;
    Style style;
    bool fails;
    bool whole;      // false: empty result
    std::size_t calls;
  } cases[] = {
      {"short, one call", 10, Style::kSaysWhatItNeeds, false, true, 1},
      {"259 fit the first buffer", 259, Style::kCutsTheText, false, true, 1},
      {"260 need a second call", 260, Style::kCutsTheText, false, true, 2},
      {"told the size, one more call", 700, Style::kSaysWhatItNeeds, false, true, 2},
      {"cut, doubled until it fits", 2000, Style::kCutsTheText, false, true, 4},
      {"the longest path", kLongestPath - 1, Style::kCutsTheText, false, true, 8},
      {"longer than any path, told", kLongestPath, Style::kSaysWhatItNeeds, false, false, 2},
      {"longer than any path, cut", kLongestPath + 5, Style::kCutsTheText, false, false, 8},
      {"a failed call", 10, Style::kSaysWhatItNeeds, true, false, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::wstring text(c.length, L'x');
    text.back() = L'y';
    FakeCall call{text, c.style, c.fails, {}};

    const std::wstring read = ReadGrowingText([&call](wchar_t* b, std::uint32_t s) { return call(b, s); });

    EXPECT_EQ(read, c.whole ? text : std::wstring());
    EXPECT_EQ(call.sizes.size(), c.calls);
    for (std::size_t i = 1; i < call.sizes.size(); ++i) EXPECT_GT(call.sizes[i], call.sizes[i - 1]);
    for (std::uint32_t size : call.sizes) EXPECT_LE(size, kLongestPath);
  }
}

}  // namespace
