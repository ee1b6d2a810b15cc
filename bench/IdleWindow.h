#pragma once
// The floor that the benchmarks measure the progress window against: a message-only window
// that takes kProgressMessage and does nothing with it.
#include <windows.h>

#include "base/UniqueHandle.h"

struct WindowTraits {
  using Type = HWND;
  static Type Empty() { return nullptr; }
  static void Close(Type h) { ::DestroyWindow(h); }
};
using UniqueWindow = UniqueHandle<WindowTraits>;

// Empty when the window could not be made.
UniqueWindow CreateIdleWindow();
