#pragma once
// Small helpers shared by the window and resource tests.
#include <windows.h>

#include <functional>
#include <string>

// A path of the build machine as Wine sees it: /x/y is Z:\x\y.
std::wstring WinePath(const char* unixPath);

std::wstring WindowText(HWND window);

// Dispatches every message waiting for this thread.
void PumpMessages();
// Runs `work` on a second thread while this thread dispatches its messages (and the messages
// sent to its windows). False when the work has not ended within `timeoutMs`.
bool RunOnThreadWhilePumping(std::function<void()> work, DWORD timeoutMs = 30000);

// A module loaded for the length of a test; as a data file when asked.
class LoadedModule {
 public:
  explicit LoadedModule(const char* unixPath, bool asData = false);
  ~LoadedModule();
  LoadedModule(const LoadedModule&) = delete;
  LoadedModule& operator=(const LoadedModule&) = delete;
  HMODULE get() const { return module_; }

 private:
  HMODULE module_;
};
