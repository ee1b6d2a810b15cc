#include "ui/ProgressWindow.h"

// Placeholder until the real dialog lands: no window, every operation a no-op.
ProgressWindow::ProgressWindow() = default;
ProgressWindow::~ProgressWindow() { DestroyWindow(); }
bool ProgressWindow::Create(HINSTANCE) { return false; }
void ProgressWindow::SetRangeMax(int) {}
void ProgressWindow::DestroyWindow() {
  if (window_) ::DestroyWindow(window_);
  window_ = nullptr;
}
