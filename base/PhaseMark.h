#pragma once
// Where a run is: one debug-output line as each phase starts, so that a debug-output viewer
// (under Wine: WINEDEBUG=+debugstr) timestamps the run's phases. Not a failure line: it starts
// "Setup phase: ", never "Setup: ".
#include <windows.h>

// Writes "Setup phase: " + `name` + a line end.
void MarkPhase(const wchar_t* name);
