#pragma once
// Where a run is: one debug-output line as each phase starts, so that a debug-output viewer
// timestamps the run's phases (under Wine: WINEDEBUG=+debugstr, which shows the narrow lines
// only). Not a failure line: it starts "Setup phase: ", never "Setup: ".
#include <windows.h>

// Writes "Setup phase: " + `name` (ASCII) + a line end.
void MarkPhase(const char* name);
