#pragma once
// The hand-over to the final setup.
#include <windows.h>

#include <functional>
#include <string>

#include "bootstrap/Sinks.h"
#include "description/SetupDescription.h"

// Starts "Program to run" from `setupTempFolder` (`owner` owns any shell prompt), calls
// `closeWindow`, then waits for the program's end without limit. A program that cannot start
// is reported through `showMessage` once the window is closed.
void LaunchFinalSetup(const SetupDescription& description, const std::wstring& setupTempFolder,
                      HWND owner, const std::function<void()>& closeWindow,
                      const MessageSink& showMessage);
