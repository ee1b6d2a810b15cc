#include "base/Clock.h"

namespace clock_seam {
namespace {
void RealSleep(DWORD milliseconds) { ::Sleep(milliseconds); }
DWORD RealTickCount() { return ::GetTickCount(); }
SleepFunction sleepFunction = RealSleep;
TickFunction tickFunction = RealTickCount;
}  // namespace

void SleepFor(DWORD milliseconds) { sleepFunction(milliseconds); }
DWORD TickCount() { return tickFunction(); }

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

}  // namespace clock_seam

DWORD TicksSince(DWORD start) {
  // Unsigned subtraction is exact modulo 2^32, so a wrap of the counter costs nothing.
  return clock_seam::TickCount() - start;
}
