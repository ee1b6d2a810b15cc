#pragma once
// The only window: a caption-less pop-up from dialog template 138 with the picture above a
// progress bar. No message loop runs, so the window paints itself when its bar moves.
#include <windows.h>

class ProgressWindow {
 public:
  static constexpr UINT kAdvanceMessage = WM_USER + 100;  // wParam: amount to add
  static constexpr int kTemplateId = 138;

  ProgressWindow();
  virtual ~ProgressWindow();
  ProgressWindow(const ProgressWindow&) = delete;
  ProgressWindow& operator=(const ProgressWindow&) = delete;

  // Creates the modeless dialog from template 138 of `module` (null: the executable), no parent.
  bool Create(HINSTANCE module = nullptr);
  HWND GetSafeHwnd() const { return window_; }
  // Upper bound of the bar (lower bound 0); the position is kept.
  void SetRangeMax(int upperBound);
  void DestroyWindow();

 private:
  HWND window_ = nullptr;
};
