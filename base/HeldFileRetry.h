#pragma once
// A file held for a moment by another program (an on-access scanner reading a program just
// written, an indexer, a backup): the failures that holder causes, and how long they are worth
// trying again. A caller of Windows passes its own call; time goes through the clock seam.
#include <windows.h>

#include <functional>
#include <string>

constexpr DWORD kHeldRetryPauseMs = 250;
constexpr DWORD kHeldRetryLimitMs = 10000;

enum class HeldErrors {
  kFileChange,    // a rename or a delete: sharing and lock violations
  kProgramStart,  // the start of a program: those, and access denied while a scanner reads it
};

// True when a failure with `error`, `elapsedMs` after the first attempt, is tried again after
// kHeldRetryPauseMs: a holder causes it, and the next attempt starts within kHeldRetryLimitMs.
bool RetriesHeldFile(HeldErrors errors, DWORD error, DWORD elapsedMs);

// Calls `attempt` (0 when it succeeded, else the Win32 error read right after its call) until
// it succeeds, fails otherwise than a holder makes it fail, or the time is up. Each failure that
// is tried again leaves its reason line: `what`, the error and the pause. Returns the last
// attempt's result.
DWORD AttemptWhileHeld(HeldErrors errors, const std::wstring& what, const std::function<DWORD()>& attempt);
