// The stall rule on the fake clock: an attempt has stalled when a window of 60 s passed in which
// fewer than 1024 bytes came. A window starts at construction and again each time 1024 bytes
// have come within it.
#include <gtest/gtest.h>

#include <vector>

#include "download/AttemptWatch.h"
#include "tests/support/FakeClock.h"

namespace {

struct Step {
  DWORD advanceMs;  // fake time that passes first
  DWORD bytes;      // then arrive (0: none)
  bool stalled;     // what the rule says afterwards
};

TEST(StallRuleTest, StallsAfter60SecondsWithFewerThan1024Bytes) {
  const struct {
    const char* name;
    DWORD startTicks;
    std::vector<Step> steps;
  } cases[] = {
      {"silence: stalled at 60 s, not a millisecond before", 1000, {{59999, 0, false}, {1, 0, true}}},
      {"1023 bytes do not restart the window", 1000, {{30000, 1023, false}, {30000, 0, true}}},
      {"1024 bytes restart it", 1000, {{30000, 1024, false}, {59999, 0, false}, {1, 0, true}}},
      {"bytes add up within a window", 1000,
       {{10000, 1000, false}, {40000, 24, false}, {59999, 0, false}, {1, 0, true}}},
      {"a big chunk starts one window, no credit beyond it", 1000,
       {{10000, 5000, false}, {59999, 0, false}, {1, 0, true}}},
      {"after a restart the count begins anew", 1000,
       {{10000, 1024, false}, {10000, 1023, false}, {50000, 0, true}}},
      {"right across the wrap-around of the tick count", 0xFFFFFFFFu - 1000, {{59999, 0, false}, {1, 0, true}}},
      {"stays stalled once stalled, until bytes restart the window", 1000,
       {{60000, 0, true}, {5000, 0, true}, {0, 1024, false}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeClock clock(c.startTicks);
    StallRule rule;
    int index = 0;
    for (const Step& step : c.steps) {
      FakeClock::Advance(step.advanceMs);
      if (step.bytes) rule.Arrived(step.bytes);
      EXPECT_EQ(rule.Stalled(), step.stalled) << "step " << index++;
    }
  }
}

}  // namespace
