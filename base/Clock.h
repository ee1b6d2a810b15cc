#pragma once
// The program's only source of time and of pauses. Production calls Sleep and GetTickCount;
// tests install their own functions so that pauses of seconds cost nothing.
#include <windows.h>

namespace clock_seam {

using SleepFunction = void (*)(DWORD milliseconds);
using TickFunction = DWORD (*)();

void SleepFor(DWORD milliseconds);
DWORD TickCount();

// Each setter returns the function it replaced; nullptr restores the real one.
SleepFunction SetSleepForTesting(SleepFunction sleep);
TickFunction SetTickCountForTesting(TickFunction ticks);

}  // namespace clock_seam

// Milliseconds since `start` (a tick count), right across the 32-bit wrap-around.
DWORD TicksSince(DWORD start);
