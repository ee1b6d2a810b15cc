#include "tests/support/FakeClock.h"

#include <atomic>

namespace {
std::atomic<DWORD> ticks{0};
std::vector<DWORD> sleeps;

void FakeSleep(DWORD milliseconds) {
  sleeps.push_back(milliseconds);
  ticks += milliseconds;
}
DWORD FakeTicks() { return ticks; }
}  // namespace

FakeClock::FakeClock(DWORD startTicks)
    : previousSleep_(clock_seam::SetSleepForTesting(FakeSleep)),
      previousTicks_(clock_seam::SetTickCountForTesting(FakeTicks)) {
  ticks = startTicks;
  sleeps.clear();
}

FakeClock::~FakeClock() {
  clock_seam::SetSleepForTesting(previousSleep_);
  clock_seam::SetTickCountForTesting(previousTicks_);
}

DWORD FakeClock::Now() { return ticks; }
void FakeClock::Advance(DWORD milliseconds) { ticks += milliseconds; }
const std::vector<DWORD>& FakeClock::Sleeps() { return sleeps; }
