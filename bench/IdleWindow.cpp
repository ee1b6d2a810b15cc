#include "bench/IdleWindow.h"

#include "base/ProgressMessage.h"

namespace {
const wchar_t kClassName[] = L"IdleBenchWindow";

LRESULT CALLBACK DoNothing(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kProgressMessage) return 0;
  return ::DefWindowProcW(window, message, wParam, lParam);
}
}  // namespace

UniqueWindow CreateIdleWindow() {
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = DoNothing;
  windowClass.hInstance = ::GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kClassName;
  // A second window of the same program finds the class already there.
  ::RegisterClassW(&windowClass);
  return UniqueWindow(::CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                        windowClass.hInstance, nullptr));
}
