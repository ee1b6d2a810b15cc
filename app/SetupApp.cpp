#include "app/SetupApp.h"

#include <windows.h>

#include <ctime>
#include <utility>

#include "app/DefaultHosts.h"
#include "app/NameRules.h"
#include "app/SingleInstance.h"
#include "bootstrap/ChooseDownloadSite.h"
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
      setupDescription_(WindowsDescriptionPlatform()) {}

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

AcquireResult SetupApp::AcquireSetup(const std::wstring& applicationName, const std::wstring& setupTempFolder) {
  return ::AcquireSetup(setupDescription_, fileDownloader_, {applicationName, setupTempFolder, hosts_},
                        Progress(), Messages());
}

std::wstring SetupApp::ChooseDownloadSite() { return ::ChooseDownloadSite(setupDescription_); }

bool SetupApp::WriteUserInfoFile(const std::wstring& folder, const RunFacts& facts) {
  return ::WriteUserInfoFile(setupDescription_, folder, facts);
}

void SetupApp::LaunchFinalSetup(const std::wstring& setupTempFolder) {
  ::LaunchFinalSetup(setupDescription_, setupTempFolder, progressWindow_.GetSafeHwnd(),
                     [this] { progressWindow_.DestroyWindow(); }, Messages());
}

bool SetupApp::InitInstance() {
  std::wstring moduleFolder, fileName;
  SplitPath(module_.longForm, moduleFolder, fileName);
  const std::wstring applicationName = DeriveApplicationName(fileName);
  // Every run of an application works in one folder: a second run would delete the first one's
  // downloads, so it shows the running one instead and ends before touching anything.
  const SingleInstance instance(applicationName);
  if (!instance.IsFirst()) {
    instance.BringOtherToFront();
    return false;
  }

  progressWindow_.Create();
  const HWND window = progressWindow_.GetSafeHwnd();
  instance.MarkWindow(window);
  ::SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, kShowWithoutMoving);
  Repaint(window);

  SetApplicationFolder(HelpFilePath(module_.reported));
  ::SetCurrentDirectoryW(GetApplicationFolder().c_str());

  const std::wstring setupTempFolder = ComposeSetupTempFolder(GetTempFolder(), applicationName);

  const AcquireResult acquired = AcquireSetup(applicationName, setupTempFolder);
  if (acquired.succeeded) {
    const RunFacts facts{module_.longForm, setupTempFolder, acquired.downloadSite, applicationName,
                         FormatInstallationTime(std::time(nullptr))};
    if (!WriteUserInfoFile(setupTempFolder, facts)) {
      // Nothing is cleaned up: the downloads stay for the user to inspect.
      ShowMessage(kUserInfoFileError);
      return false;
    }
    LaunchFinalSetup(setupTempFolder);
  } else {
    ::SetWindowPos(progressWindow_.GetSafeHwnd(), HWND_NOTOPMOST, 0, 0, 0, 0, kShowWithoutMoving);
    progressWindow_.DestroyWindow();
  }
  ::SetCurrentDirectoryW(GetApplicationFolder().c_str());
  DeleteFolder(setupTempFolder);
  return false;
}
