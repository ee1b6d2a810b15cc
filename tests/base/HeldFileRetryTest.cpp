#include "base/HeldFileRetry.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/DebugOutputListener.h"
#include "tests/support/FakeClock.h"

namespace {

struct Case {
  const char* name;
  HeldErrors errors;
  std::vector<DWORD> results;  // of the attempts in turn; the last one repeats
  DWORD attemptMs;             // what each attempt costs
  DWORD expected;
  std::size_t attempts;
};

TEST(HeldFileRetryTest, TriesAgainEvery250MsWhileAHolderCausesTheFailureForAtMost10Seconds) {
  const Case cases[] = {
      {"success at once", HeldErrors::kFileChange, {0}, 0, 0, 1},
      {"sharing violations, then success", HeldErrors::kFileChange, {32, 32, 0}, 0, 0, 3},
      {"a lock violation, then success", HeldErrors::kFileChange, {33, 0}, 0, 0, 2},
      {"access denied fails a rename at once", HeldErrors::kFileChange, {5, 0}, 0, 5, 1},
      {"access denied is a scanner to a program start", HeldErrors::kProgramStart, {5, 0}, 0, 0, 2},
      {"another error fails at once", HeldErrors::kProgramStart, {2, 0}, 0, 2, 1},
      // The last attempt starts 10000 ms after the first: 40 pauses.
      {"held for good", HeldErrors::kFileChange, {32}, 0, 32, 41},
      // The bound is time, not a count: attempts of 1000 ms leave room for 8 pauses.
      {"held for good, slow attempts", HeldErrors::kProgramStart, {33}, 1000, 33, 9},
  };
  for (const Case& c : cases) {
    const FakeClock clock;
    std::size_t attempts = 0;
    const DWORD result = AttemptWhileHeld(c.errors, L"rename x", [&] {
      FakeClock::Advance(c.attemptMs);
      const DWORD r = c.results[attempts < c.results.size() ? attempts : c.results.size() - 1];
      ++attempts;
      return r;
    });
    EXPECT_EQ(result, c.expected) << c.name;
    EXPECT_EQ(attempts, c.attempts) << c.name;
    EXPECT_EQ(FakeClock::Sleeps(), std::vector<DWORD>(c.attempts - 1, 250)) << c.name;
  }
}

TEST(HeldFileRetryTest, EachRetryLeavesItsReasonLine) {
  const FakeClock clock;
  DebugOutputListener debugOutput;
  std::vector<DWORD> results = {0, 32, 32};
  AttemptWhileHeld(HeldErrors::kFileChange, L"rename x", [&] {
    const DWORD r = results.back();
    results.pop_back();
    return r;
  });
  const std::wstring line = L"rename x (error 32), held by another program: again in 250 ms";
  EXPECT_EQ(debugOutput.FailureLines(), (std::vector<std::wstring>{line, line}));
}

}  // namespace
