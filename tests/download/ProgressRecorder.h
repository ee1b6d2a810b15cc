#pragma once
// A message-only window that records every progress message (WM_USER + 100) sent to it.
#include <windows.h>

#include <vector>

struct ProgressMessage {
  WPARAM chunk;
  LPARAM received;
};

class ProgressRecorder {
 public:
  ProgressRecorder();
  ~ProgressRecorder();
  ProgressRecorder(const ProgressRecorder&) = delete;
  ProgressRecorder& operator=(const ProgressRecorder&) = delete;

  HWND window() const { return window_; }
  const std::vector<ProgressMessage>& messages() const { return messages_; }
  // Sum of the chunk sizes reported.
  unsigned long long Total() const;
  // Handles pending messages until `done` returns true (for transfers on the worker thread).
  template <typename Done>
  void PumpUntil(Done done) {
    while (!done()) {
      MSG msg;
      while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
  }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  HWND window_ = nullptr;
  std::vector<ProgressMessage> messages_;
};
