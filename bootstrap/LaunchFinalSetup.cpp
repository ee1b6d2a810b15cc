#include "bootstrap/LaunchFinalSetup.h"

#include <shellapi.h>

#include "base/UniqueHandle.h"
#include "fs/PathText.h"

namespace {
const wchar_t kProgramToRunSection[] = L"Program to run";
const wchar_t kStartFailed[] = L"Error: Failed to start the final setup.";
constexpr DWORD kWaitSliceMs = 5000;
constexpr ULONG kLaunchMask =
    SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_UNICODE | SEE_MASK_NO_CONSOLE;  // 0xC440

// Starts folder\program through the shell; the process handle, or none.
UniqueKernelHandle StartProgram(HWND window, const std::wstring& folder, const std::wstring& program) {
  const std::wstring path = folder + L"\\" + program;
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof(info);
  info.fMask = kLaunchMask;
  info.hwnd = window;
  info.lpVerb = L"open";
  info.lpFile = path.c_str();
  info.lpParameters = L"";
  info.lpDirectory = folder.c_str();
  info.nShow = SW_SHOW;
  // Only the process handle decides what follows, not the call's result.
  ::ShellExecuteExW(&info);
  return UniqueKernelHandle(info.hProcess);
}
}  // namespace

static_assert(sizeof(void*) != 4 || sizeof(SHELLEXECUTEINFOW) == 60, "the 32-bit record is 60 bytes");

void LaunchFinalSetup(const SetupDescription& description, const std::wstring& setupTempFolder,
                      HWND owner, const std::function<void()>& closeWindow,
                      const MessageSink& showMessage) {
  const std::wstring program = description.GetValue(kProgramToRunSection);
  UniqueKernelHandle process;
  // A name with a path in it could start anything on the disk: only a file of the folder runs.
  if (IsPlainFileName(program)) process = StartProgram(owner, setupTempFolder, program);
  if (closeWindow) closeWindow();

  if (!process) {
    if (showMessage) showMessage(kStartFailed);
    return;
  }
  // No overall limit: the final setup may take as long as the user needs.
  while (::WaitForSingleObject(process.get(), kWaitSliceMs) == WAIT_TIMEOUT) {
  }
}
