// Times 100 000 progress messages to the real window against 100 000 messages to a window
// that does nothing, in one run, and prints both and their ratio; for comparison also a bar
// repainted at every step (10 000 steps: each costs a repaint).
#include <windows.h>
#include <commctrl.h>

#include <climits>
#include <cstdio>

#include "bench/IdleWindow.h"
#include "ui/ProgressWindow.h"

namespace {
constexpr int kMessages = 100000;
constexpr WPARAM kChunk = 1024;  // a download advances the bar by each 1024-byte chunk

// What a handler that repaints at every message does, straight on the bar.
double SecondsRepaintingEveryStep(HWND bar, int steps) {
  LARGE_INTEGER frequency, start, end;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&start);
  for (int i = 0; i < steps; ++i) {
    const int position = static_cast<int>(::SendMessageW(bar, PBM_GETPOS, 0, 0));
    ::SendMessageW(bar, PBM_SETPOS, position + kChunk, 0);
    ::InvalidateRect(bar, nullptr, TRUE);
    ::RedrawWindow(bar, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  }
  ::QueryPerformanceCounter(&end);
  return static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart;
}

double SecondsFor(HWND window, WPARAM amount = kChunk) {
  LARGE_INTEGER frequency, start, end;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&start);
  for (int i = 0; i < kMessages; ++i) {
    ::SendMessageW(window, kProgressMessage, amount, 0);
  }
  ::QueryPerformanceCounter(&end);
  return static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart;
}
}  // namespace

int wmain() {
  ProgressWindow window;
  if (!window.Create()) {
    std::fprintf(stderr, "the progress window could not be created\n");
    return 1;
  }
  const HWND progress = window.GetSafeHwnd();
  ::SetWindowPos(progress, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
  window.SetRangeMax(static_cast<int>(kMessages * kChunk));
  const UniqueWindow idle = CreateIdleWindow();
  if (!idle) {
    std::fprintf(stderr, "the idle window could not be created\n");
    return 1;
  }
  const HWND bar = ::GetDlgItem(progress, ProgressWindow::kProgressBarId);
  const double idleSeconds = SecondsFor(idle.get());
  int redraws = window.Redraws();
  const double advanceSeconds = SecondsFor(progress);
  const int fullBarRedraws = window.Redraws() - redraws;
  const int fullPosition = static_cast<int>(::SendMessageW(bar, PBM_GETPOS, 0, 0));
  // The same number of messages that together move the bar by less than a column.
  window.SetRangeMax(INT_MAX);
  ::SendMessageW(progress, kProgressMessage, 1, 0);  // draws the new range once
  redraws = window.Redraws();
  const double samePixelSeconds = SecondsFor(progress, 1);
  const int samePixelRedraws = window.Redraws() - redraws;
  const double idleAgain = SecondsFor(idle.get(), 1);
  std::printf("%d messages to a window that does nothing: %.3f s (%.2f us each)\n", kMessages,
              idleSeconds, idleSeconds * 1e6 / kMessages);
  std::printf("%d Advance messages to the progress window: %.3f s (%.2f us each)\n", kMessages,
              advanceSeconds, advanceSeconds * 1e6 / kMessages);
  std::printf("ratio Advance / nothing: %.2f (the bar redrawn %d times, once a column: %.0f us a "
              "redraw beyond the messages)\n", advanceSeconds / idleSeconds, fullBarRedraws,
              (advanceSeconds - idleSeconds) * 1e6 / (fullBarRedraws ? fullBarRedraws : 1));
  std::printf("%d Advance messages that move no column: %.3f s (%.2f us each, %d redraws); ratio to "
              "nothing (%.3f s): %.2f\n", kMessages, samePixelSeconds, samePixelSeconds * 1e6 / kMessages,
              samePixelRedraws, idleAgain, samePixelSeconds / idleAgain);
  std::printf("final position %d of %d\n", fullPosition, static_cast<int>(kMessages * kChunk));
  std::printf("at one message per 1024 bytes the bar alone caps a download at %.1f MB/s\n",
              kChunk * kMessages / advanceSeconds / 1e6);

  constexpr int kEveryStep = kMessages / 10;
  ::SendMessageW(bar, PBM_SETPOS, 0, 0);
  const double everyStepSeconds = SecondsRepaintingEveryStep(bar, kEveryStep);
  std::printf("%d steps repainting the bar every time: %.3f s (%.2f us each, %.1f times the "
              "window that does nothing)\n", kEveryStep, everyStepSeconds,
              everyStepSeconds * 1e6 / kEveryStep,
              everyStepSeconds / kEveryStep / (idleSeconds / kMessages));
  return 0;
}
