#pragma once
// Replaces the program's clock while alive: pauses advance a fake tick count instead of waiting.
#include <windows.h>

#include <vector>

#include "base/Clock.h"

class FakeClock {
 public:
  explicit FakeClock(DWORD startTicks = 1000);
  ~FakeClock();
  FakeClock(const FakeClock&) = delete;
  FakeClock& operator=(const FakeClock&) = delete;

  static DWORD Now();
  static void Advance(DWORD milliseconds);
  // Every pause asked for, in order.
  static const std::vector<DWORD>& Sleeps();

 private:
  clock_seam::SleepFunction previousSleep_;
  clock_seam::TickFunction previousTicks_;
};
