#include "bootstrap/AcquireSetup.h"

#include <climits>
#include <cstdint>

#include "base/UniqueHandle.h"
#include "bootstrap/ChooseDownloadSite.h"
#include "bootstrap/PresentFileCheck.h"
#include "description/FileHashes.h"
#include "download/HttpRules.h"
#include "download/HttpSession.h"
#include "download/LengthProbe.h"
#include "fs/ApplicationFolder.h"
#include "fs/FileOperations.h"
#include "fs/PathText.h"

namespace {
const wchar_t kLocalDescriptionError[] = L"Error opening the local initial setup eif.";
const wchar_t kTempFolderError[] = L"Error: Failed to create the Windows temp subfolder.";
const wchar_t kNoConnection[] = L"Error: No Internet connection.";
const wchar_t kSiteNotFound[] = L"Error: Download site not found.";
const wchar_t kDescriptionDownloadError[] = L"Error: Failed to download.";
const wchar_t kDescriptionError[] = L"Error opening the initial setup eif.";
const wchar_t kFileDownloadError[] = L"Error: Failed to download ";

const wchar_t kDescriptionName[] = L"SetupInitial.eif";
const wchar_t kDescriptionInFolder[] = L"\\SetupInitial.eif";
const wchar_t kLocalModeValue[] = L"No";

// What every part of the phase works with.
struct Phase {
  SetupDescription& description;
  Downloader& downloader;
  const AcquireRequest& request;
  const ProgressSink& progress;
  const MessageSink& showMessage;

  bool Fail(const std::wstring& message) const {
    if (showMessage) showMessage(message);
    return false;
  }
};

bool OffersDescription(const std::wstring& base) {
  return http_rules::HostOffersDescription(ProbeContentLength(base + http_rules::kDescriptionOnServer));
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
bool FetchDescription(const Phase& phase) {
  if (!InternetConnected()) return phase.Fail(kNoConnection);
  std::wstring path = http_rules::DescriptionFolder(phase.request.applicationName);
  if (phase.description.IsLoaded()) path = phase.description.GetValue(L"Download Path");
  std::wstring base = http_rules::Url(phase.request.hosts.first, path);
  if (!OffersDescription(base)) {
    base = http_rules::Url(phase.request.hosts.second, path);
    if (!OffersDescription(base)) return phase.Fail(kSiteNotFound);
  }
  if (!phase.downloader.StartDownload(base + http_rules::kDescriptionOnServer,
                                      phase.request.setupTempFolder + kDescriptionInFolder, nullptr,
                                      TransferMode::kInLine)) {
    return phase.Fail(kDescriptionDownloadError);
  }
  return true;
}

// Sum of the announced lengths, held to the bar's range: 32-bit lengths can add up past it.
int ClampedTotal(uint64_t sum) { return sum > INT_MAX ? INT_MAX : static_cast<int>(sum); }

// Chooses the site and sums the listed files' lengths. Without listed files: total 0, site
// untouched. The site choice moves the file cursor, so the first item is kept from before it.
bool SizeListedFiles(const Phase& phase, std::wstring& downloadSite, int& total) {
  total = 0;
  std::wstring source, target;
  if (!phase.description.GetFirstFile(source, target)) return true;
  if (!InternetConnected()) return phase.Fail(kNoConnection);
  downloadSite = ChooseDownloadSite(phase.description);
  if (downloadSite.empty()) return phase.Fail(kSiteNotFound);
  uint64_t sum = 0;
  do {
    sum += ProbeContentLength(http_rules::Url(downloadSite, source));
  } while (phase.description.GetNextFile(source, target));
  total = ClampedTotal(sum);
  return true;
}

// The digest that the hash line for `target` gives; empty when it has none.
std::string ExpectedDigest(const FileHashList& hashes, const std::wstring& target) {
  const auto line = hashes.byTarget.find(target);
  return line == hashes.byTarget.end() ? std::string() : line->second;
}

// A file already there (a local copy, or an earlier item) counts as done when its transfer
// failed, if it has the hash its line gives; one that does not is deleted.
bool PresentFileCounts(const std::wstring& file, const std::string& digest) {
  if (!FileExists(file)) return false;
  if (digest.empty() || FileHasSha256(file, digest)) return true;
  ::DeleteFileW(file.c_str());
  return false;
}

bool FetchListedFiles(const Phase& phase, const std::wstring& downloadSite) {
  const FileHashList hashes = FileHashesOf(phase.description);
  std::wstring source, target;
  if (!phase.description.GetFirstFile(source, target)) return true;
  do {
    // A forged description must not write outside the setup temp folder.
    if (!IsPlainFileName(target)) return phase.Fail(kFileDownloadError + target);
    const std::wstring file = phase.request.setupTempFolder + L"\\" + target;
    const std::string digest = ExpectedDigest(hashes, target);
    if (!phase.downloader.StartDownload(http_rules::Url(downloadSite, source), file, phase.progress.window,
                                        TransferMode::kInLine, digest) &&
        !PresentFileCounts(file, digest)) {
      return phase.Fail(kFileDownloadError + target);
    }
  } while (phase.description.GetNextFile(source, target));
  return true;
}

// Everything up to and including the loaded description.
bool LoadDescription(const Phase& phase) {
  const std::wstring& setupTempFolder = phase.request.setupTempFolder;
  bool download = true;
  // Relative: looked for in the current folder, which is the application folder.
  if (FileExists(kDescriptionName)) {
    if (!phase.description.Load(kDescriptionName)) return phase.Fail(kLocalDescriptionError);
    if (phase.description.GetValue(L"Download Initial Setup") == kLocalModeValue) download = false;
  }
  // A link in place of the folder or its parent would make the clean-up below delete the files
  // it points to, and the downloads land there: only real folders are used.
  if (!RemoveLinkedFolders(setupTempFolder)) return phase.Fail(kTempFolderError);
  DeleteFolder(setupTempFolder);
  if (!CreateFolderPath(setupTempFolder)) return phase.Fail(kTempFolderError);
  if (!download) {
    CopyApplicationFolder(setupTempFolder);
  } else if (!FetchDescription(phase)) {
    return false;
  }
  if (!phase.description.Load(setupTempFolder + kDescriptionInFolder)) return phase.Fail(kDescriptionError);
  return true;
}
}  // namespace

AcquireResult AcquireSetup(SetupDescription& description, Downloader& downloader,
                           const AcquireRequest& request, const ProgressSink& progress,
                           const MessageSink& showMessage) {
  const Phase phase{description, downloader, request, progress, showMessage};
  AcquireResult result;
  if (!LoadDescription(phase)) return result;
  int total = 0;
  if (!SizeListedFiles(phase, result.downloadSite, total)) return result;
  if (progress.setRangeMax) progress.setRangeMax(total);
  result.succeeded = FetchListedFiles(phase, result.downloadSite);
  return result;
}
