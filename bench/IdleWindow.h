#pragma once
// The floor that the benchmarks measure the progress window against: a message-only window
// that takes kProgressMessage and does nothing with it.
#include <windows.h>

#include "base/UniqueHandle.h"

// Empty when the window could not be made.
UniqueWindow CreateIdleWindow();
