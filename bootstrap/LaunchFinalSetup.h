#pragma once
// The hand-over to the final setup.
#include <windows.h>

#include <functional>
#include <string>

#include "bootstrap/Sinks.h"
#include "description/SetupDescription.h"

// Why the final setup did not run.
enum class LaunchFailure {
  kNone,
  kNotAFileName,  // "Program to run" is not a plain file name: nothing is started
  kNotStarted,    // the shell gave no process
};

struct LaunchOutcome {
  LaunchFailure failure = LaunchFailure::kNone;
  // The Win32 error read right after the shell's call; 0 when the failure has none.
  DWORD error = 0;

  bool Succeeded() const { return failure == LaunchFailure::kNone; }
};

// Starts "Program to run" from `setupTempFolder` (`owner` owns any shell prompt), trying again
// for a while when another program holds it (HeldFileRetry), calls `closeWindow`, then waits
// for the program's end without limit. A program that cannot start writes its reason line
// (LogFailure) and is reported through `showMessage` once the window is closed.
LaunchOutcome LaunchFinalSetup(const SetupDescription& description, const std::wstring& setupTempFolder,
                               HWND owner, const std::function<void()>& closeWindow,
                               const MessageSink& showMessage);
