#include "base/HeldFileRetry.h"

#include "base/Clock.h"
#include "base/FailureLog.h"

bool RetriesHeldFile(HeldErrors errors, DWORD error, DWORD elapsedMs) {
  const bool held = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
                    (errors == HeldErrors::kProgramStart && error == ERROR_ACCESS_DENIED);
  return held && elapsedMs <= kHeldRetryLimitMs - kHeldRetryPauseMs;
}

DWORD AttemptWhileHeld(HeldErrors errors, const std::wstring& what, const std::function<DWORD()>& attempt) {
  const DWORD start = clock_seam::TickCount();
  for (;;) {
    const DWORD error = attempt();
    if (error == 0 || !RetriesHeldFile(errors, error, TicksSince(start))) return error;
    LogFailure(what + ErrorSuffix(error) + L", held by another program: again in " +
               std::to_wstring(kHeldRetryPauseMs) + L" ms");
    clock_seam::SleepFor(kHeldRetryPauseMs);
  }
}
