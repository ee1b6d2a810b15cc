#pragma once
// The reason of a failure, for the publisher: one line per failure through OutputDebugStringW,
// read with a debugger or a debug-output viewer on the user's machine (under Wine:
// WINEDEBUG=+debugstr). The user sees only the message boxes; there is no log file.
#include <windows.h>

#include <string>

// Writes "Setup: " + `what` + a line end. `what` names the step and the reason, for example
// L"GET http://host/a.cab attempt 2 of 4: status 503".
void LogFailure(const std::wstring& what);

// " (error N)": the Win32 error read right after the failing call, to append to a reason.
std::wstring ErrorSuffix(DWORD error);
