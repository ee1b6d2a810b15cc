#include "app/SetupApp.h"

#include <windows.h>

#include <ctime>
#include <utility>

#include "app/DefaultHosts.h"
#include "app/NameRules.h"
#include "base/FailureLog.h"
#include "base/PhaseMark.h"
#include "bootstrap/DescriptionPlatformWin.h"
#include "bootstrap/LaunchFinalSetup.h"
#include "fs/ApplicationFolder.h"
#include "fs/FileOperations.h"
#include "fs/PathText.h"
#include "fs/SystemFolders.h"
#include "ui/MessageSeam.h"

namespace {
const wchar_t kUserInfoFileError[] = L"Error: Failed to create User Info File.";
constexpr UINT kShowWithoutMoving = SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW;  // 0x43

void Repaint(HWND window) {
  ::InvalidateRect(window, nullptr, TRUE);
  ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}
}  // namespace

SetupApp::SetupApp() : SetupApp(DefaultHosts{SETUP_DEFAULT_HOST_1, SETUP_DEFAULT_HOST_2}) {}

SetupApp::SetupApp(DefaultHosts hosts)
    : module_(ReadModulePaths()),
      hosts_(std::move(hosts)),
      descriptionPlatform_(WindowsDescriptionPlatform(module_.applicationName)) {}

SetupApp::~SetupApp() = default;

MessageSink SetupApp::Messages() {
  return [this](const std::wstring& text) { ShowMessage(text); };
}

ProgressSink SetupApp::Progress() {
  return {progressWindow_.GetSafeHwnd(), [this](int upperBound) { progressWindow_.SetRangeMax(upperBound); }};
}

void SetupApp::ShowMessage(const std::wstring& text) {
  // Owned by the progress window while it exists, so the box is never hidden behind it.
  message_seam::ShowWarning(progressWindow_.GetSafeHwnd(), text, module_.title);
}

AcquireResult SetupApp::AcquireSetup(const std::wstring& setupTempFolder) {
  return ::AcquireSetup(descriptionPlatform_, fileDownloader_, {module_.applicationName, setupTempFolder, hosts_},
                        Progress(), Messages());
}

bool SetupApp::WriteUserInfoFile(const SetupDescription& description, const UserInfo& info) {
  if (::WriteUserInfoFile(description, info.setupTempFolder, info).Succeeded()) return true;
  ShowMessage(kUserInfoFileError);
  return false;
}

void SetupApp::LaunchFinalSetup(const SetupDescription& description, const std::wstring& setupTempFolder) {
  ::LaunchFinalSetup(description, setupTempFolder, progressWindow_.GetSafeHwnd(),
                     [this] { progressWindow_.DestroyWindow(); }, Messages());
}

void SetupApp::ShowProgressWindow(const SingleInstance& instance) {
  // Without the window the run goes on: the downloads and the final setup need none, and the
  // message boxes then have no owner.
  if (!progressWindow_.Create()) {
    const DWORD error = ::GetLastError();
    LogFailure(L"progress window not created" + ErrorSuffix(error));
    return;
  }
  const HWND window = progressWindow_.GetSafeHwnd();
  instance.MarkWindow(window);
  ::SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, kShowWithoutMoving);
  Repaint(window);
}

void SetupApp::EnterApplicationFolder() const {
  const std::wstring folder = GetApplicationFolder();
  // The run goes on in whatever folder is current: a local description is then looked for
  // there, and every other path of the run is a full one.
  if (!::SetCurrentDirectoryW(folder.c_str())) {
    const DWORD error = ::GetLastError();
    LogFailure(L"cannot make " + folder + L" the current folder" + ErrorSuffix(error));
  }
}

bool SetupApp::InitInstance() {
  MarkPhase("start-up and window");
  // Every run of an application works in one folder: a second run would delete the first one's
  // downloads, so it shows the running one instead and ends before touching anything.
  const SingleInstance instance(module_.applicationName);
  if (!instance.IsFirst()) {
    instance.BringOtherToFront();
    return false;
  }
  ShowProgressWindow(instance);
  SetApplicationFolder(HelpFilePath(module_.reported));
  EnterApplicationFolder();

  const std::wstring setupTempFolder = ComposeSetupTempFolder(GetTempFolder(), module_.applicationName);
  const AcquireResult acquired = AcquireSetup(setupTempFolder);
  if (acquired.Succeeded()) {
    // The three system folders are asked for when the file is written.
    const UserInfo info{module_.longForm, setupTempFolder, acquired.downloadSite, {}, {}, {},
                        module_.applicationName, FormatInstallationTime(std::time(nullptr))};
    // Nothing is cleaned up after a failure: the downloads stay for the user to inspect.
    if (!WriteUserInfoFile(*acquired.description, info)) return false;
    LaunchFinalSetup(*acquired.description, setupTempFolder);
  } else {
    ::SetWindowPos(progressWindow_.GetSafeHwnd(), HWND_NOTOPMOST, 0, 0, 0, 0, kShowWithoutMoving);
    progressWindow_.DestroyWindow();
  }
  EnterApplicationFolder();
  MarkPhase("clean-up");
  DeleteFolder(setupTempFolder);
  MarkPhase("end");
  return false;
}
