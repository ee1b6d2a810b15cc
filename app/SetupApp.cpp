#include "app/SetupApp.h"

#include <ctime>

#include "app/NameRules.h"
#include "download/DefaultHosts.h"
#include "fs/FolderServices.h"
#include "ui/MessageSeam.h"

namespace {
const wchar_t kUserInfoFileError[] = L"Error: Failed to create User Info File.";
constexpr UINT kWarningBox = MB_OK | MB_ICONEXCLAMATION;  // 0x30
constexpr UINT kShowWithoutMoving = SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW;  // 0x43
constexpr DWORD kModulePathBuffer = 260;

// The executable's path as the system reports it (possibly in short form).
std::wstring ModuleFileName() {
  wchar_t modulePath[kModulePathBuffer] = {};
  ::GetModuleFileNameW(nullptr, modulePath, kModulePathBuffer);
  return modulePath;
}

// The executable's path in long form, so that the underscores of the long name count.
std::wstring LongModulePath() { return LongPathOf(ModuleFileName()); }

// The module path with its extension replaced by ".HLP": only its folder is used.
std::wstring HelpFilePath() {
  std::wstring path = ModuleFileName();
  const std::wstring::size_type dot = path.rfind(L'.');
  const std::wstring::size_type slash = path.rfind(L'\\');
  if (dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash)) path.erase(dot);
  return path + L".HLP";
}

// Title of the program's message boxes: the executable's name without its extension.
std::wstring ProgramTitle() {
  std::wstring folder, name;
  SplitPath(LongModulePath(), folder, name);
  const std::wstring::size_type dot = name.rfind(L'.');
  return dot == std::wstring::npos ? name : name.substr(0, dot);
}

void Repaint(HWND window) {
  ::InvalidateRect(window, nullptr, TRUE);
  ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}
}  // namespace

SetupApp::SetupApp()
    : setupDescription(WindowsDescriptionPlatform()),
      defaultHost1(SETUP_DEFAULT_HOST_1),
      defaultHost2(SETUP_DEFAULT_HOST_2) {}

SetupApp::~SetupApp() = default;

void SetupApp::ShowMessage(const std::wstring& text) {
  // Owned by the progress window while it exists, so the box is never hidden behind it.
  message_seam::Show(progressWindow.GetSafeHwnd(), text, ProgramTitle(), kWarningBox);
}

bool SetupApp::InitInstance() {
  progressWindow.Create();
  const HWND window = progressWindow.GetSafeHwnd();
  ::SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, kShowWithoutMoving);
  Repaint(window);

  SetApplicationFolder(HelpFilePath());
  ::SetCurrentDirectoryW(GetApplicationFolder().c_str());

  const std::wstring modulePath = LongModulePath();
  std::wstring moduleFolder, fileName;
  SplitPath(modulePath, moduleFolder, fileName);
  const std::wstring applicationName = DeriveApplicationName(fileName);
  const std::wstring setupTempFolder = ComposeSetupTempFolder(GetTempFolder(), applicationName);

  std::wstring downloadSite;
  if (AcquireSetup(applicationName, setupTempFolder, window, downloadSite)) {
    const std::wstring installationTime = FormatInstallationTime(std::time(nullptr));
    if (!WriteUserInfoFile(setupTempFolder, modulePath, setupTempFolder, downloadSite,
                           applicationName, installationTime)) {
      // Nothing is cleaned up: the downloads stay for the user to inspect.
      ShowMessage(kUserInfoFileError);
      return false;
    }
    LaunchFinalSetup(setupTempFolder);
  } else {
    ::SetWindowPos(progressWindow.GetSafeHwnd(), HWND_NOTOPMOST, 0, 0, 0, 0, kShowWithoutMoving);
    progressWindow.DestroyWindow();
  }
  ::SetCurrentDirectoryW(GetApplicationFolder().c_str());
  DeleteFolder(setupTempFolder);
  return false;
}
