#pragma once
// The program's only source of time and of pauses. Production calls Sleep, GetTickCount and
// GetSystemTimeAsFileTime; tests install their own functions so that pauses of seconds cost
// nothing and the date is theirs.
#include <windows.h>

#include <cstdint>

namespace clock_seam {

using SleepFunction = void (*)(DWORD milliseconds);
using TickFunction = DWORD (*)();
using UtcFunction = std::int64_t (*)();

void SleepFor(DWORD milliseconds);
DWORD TickCount();
// Seconds since 1970-01-01 00:00:00 UTC by the system clock.
std::int64_t UtcSeconds();

// Each setter returns the function it replaced; nullptr restores the real one.
SleepFunction SetSleepForTesting(SleepFunction sleep);
TickFunction SetTickCountForTesting(TickFunction ticks);
UtcFunction SetUtcSecondsForTesting(UtcFunction utc);

}  // namespace clock_seam

// Milliseconds since `start` (a tick count), right across the 32-bit wrap-around.
DWORD TicksSince(DWORD start);
