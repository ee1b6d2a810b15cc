#include "tests/ui/UiTestHelpers.h"

#include "base/UniqueHandle.h"

std::wstring WinePath(const char* unixPath) {
  std::wstring path = L"Z:";
  for (const char* c = unixPath; *c; ++c) path += static_cast<wchar_t>(*c == '/' ? '\\' : *c);
  return path;
}

std::wstring WindowText(HWND window) {
  wchar_t text[256] = {};
  ::GetWindowTextW(window, text, 256);
  return text;
}

void PumpMessages() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

namespace {
DWORD WINAPI RunWork(void* work) {
  (*static_cast<std::function<void()>*>(work))();
  return 0;
}
}  // namespace

bool RunOnThreadWhilePumping(std::function<void()> work, DWORD timeoutMs) {
  const UniqueKernelHandle thread(::CreateThread(nullptr, 0, RunWork, &work, 0, nullptr));
  if (!thread) return false;
  const HANDLE handle = thread.get();
  const DWORD start = ::GetTickCount();
  // A message sent from another thread is handled inside the wait or the peek.
  while (::MsgWaitForMultipleObjects(1, &handle, FALSE, 100, QS_ALLINPUT) != WAIT_OBJECT_0) {
    PumpMessages();
    if (::GetTickCount() - start > timeoutMs) {
      // The work still uses `work`: wait for it rather than leave it a dangling reference.
      ::WaitForSingleObject(handle, INFINITE);
      return false;
    }
  }
  return true;
}

LoadedModule::LoadedModule(const char* unixPath, bool asData)
    : module_(::LoadLibraryExW(WinePath(unixPath).c_str(), nullptr,
                               asData ? LOAD_LIBRARY_AS_DATAFILE : 0)) {}

LoadedModule::~LoadedModule() {
  if (module_) ::FreeLibrary(module_);
}
