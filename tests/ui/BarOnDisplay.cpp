// Opens the progress window as Setup.exe does, advances its bar by 1 KB chunks to the given
// tenths of a percent without ever taking a message (the bar painted by the control with a
// second argument "control"), and prints where the bar is on the screen
// and its middle row as the window draws it; then waits, still taking no message, until it is
// ended. tests/ui/bar_on_display.py compares that row with what the X display shows.
#include <windows.h>

#include <cstdio>
#include <cwchar>

#include "ui/ProgressWindow.h"

int wmain(int argc, wchar_t** argv) {
  const int permille = argc > 1 ? _wtoi(argv[1]) : 500;
  const bool byControl = argc > 2 && std::wcscmp(argv[2], L"control") == 0;
  ProgressWindow window(byControl ? BarPainting::kByControl : BarPainting::kFromDrawings);
  if (!window.Create()) return 1;
  const HWND hwnd = window.GetSafeHwnd();
  ::SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
  ::RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  constexpr int kChunks = 1000;
  window.SetRangeMax(kChunks * 1024);
  for (int i = 0; i < permille; ++i) ::SendMessageW(hwnd, kProgressMessage, 1024, 0);

  const HWND bar = ::GetDlgItem(hwnd, ProgressWindow::kProgressBarId);
  RECT client = {};
  ::GetClientRect(bar, &client);
  POINT origin = {0, client.bottom / 2};
  ::ClientToScreen(bar, &origin);
  std::printf("row %ld %ld %ld\n", origin.x, origin.y, client.right);
  const HDC dc = ::GetDC(bar);
  for (int x = 0; x < client.right; ++x) {
    const COLORREF color = ::GetPixel(dc, x, client.bottom / 2);
    std::printf("%02x%02x%02x ", GetRValue(color), GetGValue(color), GetBValue(color));
  }
  ::ReleaseDC(bar, dc);
  std::printf("\n");
  std::fflush(stdout);
  ::Sleep(60 * 1000);
  return 0;
}
