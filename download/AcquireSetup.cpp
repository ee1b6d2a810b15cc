// The download phase: the description (local copy or default host), then every listed file.
#include <climits>
#include <cstdint>

#include "app/SetupApp.h"
#include "download/HttpSession.h"
#include "fs/FolderServices.h"
#include "fs/UniqueHandle.h"

namespace {
const wchar_t kLocalDescriptionError[] = L"Error opening the local initial setup eif.";
const wchar_t kTempFolderError[] = L"Error: Failed to create the Windows temp subfolder.";
const wchar_t kNoConnection[] = L"Error: No Internet connection.";
const wchar_t kSiteNotFound[] = L"Error: Download site not found.";
const wchar_t kDescriptionDownloadError[] = L"Error: Failed to download.";
const wchar_t kDescriptionError[] = L"Error opening the initial setup eif.";
const wchar_t kFileDownloadError[] = L"Error: Failed to download ";

const wchar_t kDescriptionName[] = L"SetupInitial.eif";
const wchar_t kDefaultServerFolder[] = L"/downloads/Setups/";
const wchar_t kDescriptionOnServer[] = L"/SetupInitial.eif";
const wchar_t kDescriptionInFolder[] = L"\\SetupInitial.eif";
const wchar_t kScheme[] = L"http://";
const wchar_t kLocalModeValue[] = L"No";
// A default host must offer at least this much: anything shorter is an error page.
constexpr int32_t kDescriptionThreshold = 1000;

bool Fail(SetupApp& app, const std::wstring& message) {
  app.ShowMessage(message);
  return false;
}

bool OffersDescription(const std::wstring& base) {
  return static_cast<int32_t>(ProbeContentLength(base + kDescriptionOnServer)) >=
         kDescriptionThreshold;
}

// Every file next to the executable, the executable itself included.
void CopyApplicationFolder(const std::wstring& setupTempFolder) {
  const std::wstring folder = GetApplicationFolder();
  WIN32_FIND_DATAW entry;
  const UniqueFindHandle find(::FindFirstFileW((folder + L"*.*").c_str(), &entry));
  if (!find) return;
  do {
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    CopyFileToFolder(folder + entry.cFileName, setupTempFolder);
  } while (::FindNextFileW(find.get(), &entry));
}

// From the first default host, or the second when the first does not offer it.
bool FetchDescription(SetupApp& app, const std::wstring& applicationName,
                      const std::wstring& setupTempFolder) {
  if (!InternetConnected()) return Fail(app, kNoConnection);
  std::wstring path = kDefaultServerFolder + applicationName;
  if (app.setupDescription.IsLoaded()) path = app.setupDescription.GetValue(L"Download Path");
  std::wstring base = kScheme + app.defaultHost1 + path;
  if (!OffersDescription(base)) {
    base = kScheme + app.defaultHost2 + path;
    if (!OffersDescription(base)) return Fail(app, kSiteNotFound);
  }
  if (!app.fileDownloader.StartDownload(base + kDescriptionOnServer,
                                        setupTempFolder + kDescriptionInFolder, nullptr, true)) {
    return Fail(app, kDescriptionDownloadError);
  }
  return true;
}

// Sum of the announced lengths, held to the bar's range: 32-bit lengths can add up past it.
int ClampedTotal(uint64_t sum) { return sum > INT_MAX ? INT_MAX : static_cast<int>(sum); }

// Chooses the site and sums the listed files' lengths. Without listed files: total 0, site
// untouched. The site choice moves the file cursor, so the first item is kept from before it.
bool SizeListedFiles(SetupApp& app, std::wstring& downloadSite, int& total) {
  total = 0;
  std::wstring source, target;
  if (!app.setupDescription.GetFirstFile(source, target)) return true;
  if (!InternetConnected()) return Fail(app, kNoConnection);
  downloadSite = app.ChooseDownloadSite();
  if (downloadSite.empty()) return Fail(app, kSiteNotFound);
  uint64_t sum = 0;
  do {
    sum += ProbeContentLength(kScheme + downloadSite + source);
  } while (app.setupDescription.GetNextFile(source, target));
  total = ClampedTotal(sum);
  return true;
}

bool FetchListedFiles(SetupApp& app, const std::wstring& setupTempFolder, HWND window,
                      const std::wstring& downloadSite) {
  std::wstring source, target;
  if (!app.setupDescription.GetFirstFile(source, target)) return true;
  do {
    // A forged description must not write outside the setup temp folder.
    if (!IsPlainFileName(target)) return Fail(app, kFileDownloadError + target);
    const std::wstring file = setupTempFolder + L"\\" + target;
    // A file already there (a local copy, or an earlier item) counts as done.
    if (!app.fileDownloader.StartDownload(kScheme + downloadSite + source, file, window, true) &&
        !FileExists(file)) {
      return Fail(app, kFileDownloadError + target);
    }
  } while (app.setupDescription.GetNextFile(source, target));
  return true;
}
}  // namespace

bool SetupApp::AcquireSetup(std::wstring applicationName, std::wstring setupTempFolder,
                            HWND window, std::wstring& downloadSite) {
  bool download = true;
  // Relative: looked for in the current folder, which is the application folder.
  if (FileExists(kDescriptionName)) {
    if (!setupDescription.Load(kDescriptionName)) return Fail(*this, kLocalDescriptionError);
    if (setupDescription.GetValue(L"Download Initial Setup") == kLocalModeValue) download = false;
  }
  DeleteFolder(setupTempFolder);
  if (!CreateFolderPath(setupTempFolder)) return Fail(*this, kTempFolderError);
  if (!download) {
    CopyApplicationFolder(setupTempFolder);
  } else if (!FetchDescription(*this, applicationName, setupTempFolder)) {
    return false;
  }
  if (!setupDescription.Load(setupTempFolder + kDescriptionInFolder)) {
    return Fail(*this, kDescriptionError);
  }
  int total = 0;
  if (!SizeListedFiles(*this, downloadSite, total)) return false;
  progressWindow.SetRangeMax(total);
  return FetchListedFiles(*this, setupTempFolder, window, downloadSite);
}
