// Test tool: waits for the progress window of another process, then sends it WM_NULL every half
// second with SendMessageTimeoutW until it is gone, and prints one line per message: "answered
// MS" or "unanswered". A window that leaves a sent message 5 s unanswered is judged hung.
// Usage: pinger.exe TITLE
#include <windows.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  HWND window = nullptr;
  for (int i = 0; i < 1200 && !window; ++i) {  // a minute for the run to open it
    window = ::FindWindowW(L"#32770", argv[1]);
    if (!window) ::Sleep(50);
  }
  if (!window) return 1;
  while (::IsWindow(window)) {
    const ULONGLONG start = ::GetTickCount64();
    DWORD_PTR result = 0;
    const LRESULT answered = ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
    const DWORD error = ::GetLastError();
    if (answered) {
      std::printf("answered %llu\n", ::GetTickCount64() - start);
    } else if (error != ERROR_INVALID_WINDOW_HANDLE && ::IsWindow(window)) {
      std::printf("unanswered\n");
    }
    std::fflush(stdout);
    ::Sleep(500);
  }
  return 0;
}
