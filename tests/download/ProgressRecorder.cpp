#include "tests/download/ProgressRecorder.h"

#include "base/ProgressMessage.h"

namespace {
const wchar_t kClassName[] = L"SetupTestProgressRecorder";

void RegisterOnce(WNDPROC procedure) {
  static const bool registered = [procedure] {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClassName;
    return ::RegisterClassW(&windowClass) != 0;
  }();
  (void)registered;
}
}  // namespace

ProgressRecorder::ProgressRecorder() {
  RegisterOnce(Procedure);
  window_ = ::CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              ::GetModuleHandleW(nullptr), nullptr);
  ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

ProgressRecorder::~ProgressRecorder() {
  if (window_) ::DestroyWindow(window_);
}

unsigned long long ProgressRecorder::Total() const {
  unsigned long long total = 0;
  for (const ProgressMessage& m : messages_) total += m.chunk;
  return total;
}

LRESULT CALLBACK ProgressRecorder::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kProgressMessage) {
    auto* self = reinterpret_cast<ProgressRecorder*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self) self->messages_.push_back({wParam, lParam});
    return 0;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}
