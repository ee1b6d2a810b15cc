#include "base/Clock.h"

namespace clock_seam {
namespace {
void RealSleep(DWORD milliseconds) { ::Sleep(milliseconds); }
DWORD RealTickCount() { return ::GetTickCount(); }
std::int64_t RealUtcSeconds() {
  FILETIME now;
  ::GetSystemTimeAsFileTime(&now);
  const std::uint64_t ticks = (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  // 100-ns ticks since 1601-01-01; 11644473600 s lie between that and 1970-01-01.
  return static_cast<std::int64_t>(ticks / 10000000) - 11644473600;
}
SleepFunction sleepFunction = RealSleep;
TickFunction tickFunction = RealTickCount;
UtcFunction utcFunction = RealUtcSeconds;
}  // namespace

void SleepFor(DWORD milliseconds) { sleepFunction(milliseconds); }
DWORD TickCount() { return tickFunction(); }
std::int64_t UtcSeconds() { return utcFunction(); }

SleepFunction SetSleepForTesting(SleepFunction sleep) {
  SleepFunction previous = sleepFunction;
  sleepFunction = sleep ? sleep : RealSleep;
  return previous;
}

TickFunction SetTickCountForTesting(TickFunction ticks) {
  TickFunction previous = tickFunction;
  tickFunction = ticks ? ticks : RealTickCount;
  return previous;
}

UtcFunction SetUtcSecondsForTesting(UtcFunction utc) {
  UtcFunction previous = utcFunction;
  utcFunction = utc ? utc : RealUtcSeconds;
  return previous;
}

}  // namespace clock_seam

DWORD TicksSince(DWORD start) {
  // Unsigned subtraction is exact modulo 2^32, so a wrap of the counter costs nothing.
  return clock_seam::TickCount() - start;
}
