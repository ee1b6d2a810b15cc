// Shows the progress window as a run does, with the bar at 40 %, for the given number of
// seconds (default 5), so that a screenshot can be taken of it.
#include <windows.h>

#include <cwchar>

#include "ui/ProgressWindow.h"

namespace {
constexpr int kTotal = 1000 * 1024;  // bytes of a pretend download
constexpr WPARAM kChunk = 1024;

void Repaint(HWND window) {
  ::InvalidateRect(window, nullptr, TRUE);
  ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void PumpFor(DWORD milliseconds) {
  const DWORD start = ::GetTickCount();
  while (::GetTickCount() - start < milliseconds) {
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
  }
}
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
  const int seconds = commandLine && *commandLine ? _wtoi(commandLine) : 5;
  ProgressWindow window;
  if (!window.Create()) return 1;
  const HWND hwnd = window.GetSafeHwnd();
  ::SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
  Repaint(hwnd);
  window.SetRangeMax(kTotal);
  // The bar starts at 1; 400 chunks bring it to 40 % of the total.
  for (int i = 0; i < 400; ++i) ::SendMessageW(hwnd, kProgressMessage, kChunk, 0);
  PumpFor(static_cast<DWORD>(seconds) * 1000);
  return 0;
}
