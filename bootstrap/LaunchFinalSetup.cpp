#include "bootstrap/LaunchFinalSetup.h"

#include <shellapi.h>

#include <utility>

#include "base/FailureLog.h"
#include "base/HeldFileRetry.h"
#include "base/PhaseMark.h"
#include "base/UniqueHandle.h"
#include "fs/PathText.h"

namespace {
const wchar_t kProgramToRunSection[] = L"Program to run";
const wchar_t kStartFailed[] = L"Error: Failed to start the final setup.";
constexpr DWORD kWaitSliceMs = 5000;
constexpr ULONG kLaunchMask =
    SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_UNICODE | SEE_MASK_NO_CONSOLE;  // 0xC440

// The process handle of a started program, or why there is none.
struct Started {
  UniqueKernelHandle process;
  LaunchOutcome outcome;
};

// Starts folder\program through the shell.
Started StartProgram(HWND window, const std::wstring& folder, const std::wstring& program) {
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
  // Only the process handle decides what follows; the call's error explains a missing one. A
  // scanner reading the program just written refuses it for a moment: that is tried again.
  BOOL called = FALSE;
  const DWORD error = AttemptWhileHeld(HeldErrors::kProgramStart, L"final setup " + path + L" did not start", [&]() -> DWORD {
    info.hProcess = nullptr;
    called = ::ShellExecuteExW(&info);
    return called ? 0 : ::GetLastError();
  });
  UniqueKernelHandle process(info.hProcess);
  if (process) return {std::move(process), {}};
  LogFailure(L"final setup " + path + (called ? L" gave no process to wait for" : L" did not start" + ErrorSuffix(error)));
  return {UniqueKernelHandle(), {LaunchFailure::kNotStarted, error}};
}

Started StartFinalSetup(HWND owner, const std::wstring& folder, const std::wstring& program) {
  // A name with a path in it could start anything on the disk: only a file of the folder runs.
  if (IsPlainFileName(program)) return StartProgram(owner, folder, program);
  LogFailure(L"final setup not started: \"" + program + L"\" is not a plain file name");
  return {UniqueKernelHandle(), {LaunchFailure::kNotAFileName, 0}};
}
}  // namespace

static_assert(sizeof(void*) != 4 || sizeof(SHELLEXECUTEINFOW) == 60, "the 32-bit record is 60 bytes");

LaunchOutcome LaunchFinalSetup(const SetupDescription& description, const std::wstring& setupTempFolder,
                               HWND owner, const std::function<void()>& closeWindow,
                               const MessageSink& showMessage) {
  MarkPhase("launch");
  const Started started = StartFinalSetup(owner, setupTempFolder, description.GetValue(kProgramToRunSection));
  if (closeWindow) closeWindow();

  if (!started.process) {
    if (showMessage) showMessage(kStartFailed);
    return started.outcome;
  }
  MarkPhase("wait");
  // No overall limit: the final setup may take as long as the user needs.
  while (::WaitForSingleObject(started.process.get(), kWaitSliceMs) == WAIT_TIMEOUT) {
  }
  return started.outcome;
}
