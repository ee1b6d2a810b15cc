#include "bootstrap/AcquireSetup.h"

#include <climits>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "base/FailureLog.h"
#include "base/PhaseMark.h"
#include "base/UniqueHandle.h"
#include "bootstrap/ChooseDownloadSite.h"
#include "bootstrap/PresentFileCheck.h"
#include "description/DescriptionConstants.h"
#include "description/FileHashes.h"
#include "description/LoadDescription.h"
#include "download/AttemptEnd.h"
#include "download/HttpRules.h"
#include "download/HttpSession.h"
#include "download/LengthProbe.h"
#include "fs/ApplicationFolder.h"
#include "fs/FileOperations.h"
#include "fs/PathText.h"
#include "fs/SystemFolders.h"

namespace {
const wchar_t kLocalDescriptionError[] = L"Error opening the local initial setup eif.";
const wchar_t kTempFolderError[] = L"Error: Failed to create the Windows temp subfolder.";
const wchar_t kNoConnection[] = L"Error: No Internet connection.";
const wchar_t kSiteNotFound[] = L"Error: Download site not found.";
const wchar_t kDescriptionDownloadError[] = L"Error: Failed to download.";
const wchar_t kDescriptionError[] = L"Error opening the initial setup eif.";
const wchar_t kFileDownloadError[] = L"Error: Failed to download ";

const std::wstring kDescriptionInFolder = std::wstring(L"\\") + kDescriptionFileName;
const std::wstring kDescriptionOnServer = std::wstring(L"/") + kDescriptionFileName;
const wchar_t kLocalModeValue[] = L"No";

// How a part of the phase ended: done, or why it stopped, with what the user is told.
struct Step {
  AcquireFailure failure = AcquireFailure::kNone;
  DWORD error = 0;
  std::wstring message;  // for the user
  std::wstring reason;   // for the publisher

  bool Failed() const { return failure != AcquireFailure::kNone; }
};

Step Failed(AcquireFailure failure, std::wstring message, std::wstring reason, DWORD error = 0) {
  if (error != 0) reason += ErrorSuffix(error);
  return {failure, error, std::move(message), std::move(reason)};
}

Step Refused(AcquireFailure failure, const wchar_t* message, const std::wstring& path,
             const DescriptionRefusal& refusal) {
  return Failed(failure, message, L"description " + path + L" refused: " + DescribeRefusal(refusal));
}

bool OffersDescription(const std::wstring& url) {
  return http_rules::HostOffersDescription(ProbeContentLength(url));
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

// The copy next to the executable, when there is one: loaded, and whether the description is
// to be downloaded all the same.
struct LocalCopy {
  Step step;
  std::optional<SetupDescription> description;
  bool download = true;
};

LocalCopy ReadLocalCopy(const DescriptionPlatform& platform) {
  LocalCopy copy;
  // Relative: looked for in the current folder, which is the application folder.
  if (!FileExists(kDescriptionFileName)) return copy;
  LoadedDescription loaded = LoadDescription(kDescriptionFileName, platform);
  if (!loaded.Accepted()) {
    copy.step = Refused(AcquireFailure::kLocalDescriptionRefused, kLocalDescriptionError, kDescriptionFileName,
                        loaded.Refusal());
    return copy;
  }
  copy.download = loaded.Description().GetValue(L"Download Initial Setup") != kLocalModeValue;
  copy.description = std::move(loaded.Description());
  return copy;
}

// A link in place of the folder or its parent would make the clean-up below delete the files it
// points to, and the downloads land there: only real folders are used.
Step PrepareFolder(const std::wstring& folder) {
  if (!RemoveLinkedFolders(folder)) {
    const DWORD error = ::GetLastError();
    return Failed(AcquireFailure::kFolderLinkNotRemoved, kTempFolderError,
                  L"cannot remove the link in place of " + folder, error);
  }
  // A folder that stays (a file in it held open) is used as it is: the creation below decides.
  DeleteFolder(folder);
  if (!CreateFolderPath(folder)) {
    const DWORD error = ::GetLastError();
    return Failed(AcquireFailure::kFolderNotCreated, kTempFolderError, L"cannot create folder " + folder, error);
  }
  return {};
}

// From the first default host, or the second when the first does not offer it; from the folder
// that the local copy names, when there is one.
Step FetchDescription(const std::optional<SetupDescription>& localCopy, Downloader& downloader,
                      const AcquireRequest& request) {
  if (!InternetConnected()) {
    return Failed(AcquireFailure::kNoConnection, kNoConnection, L"no Internet connection for the description");
  }
  std::wstring folder = http_rules::DescriptionFolder(request.applicationName);
  if (localCopy) folder = localCopy->GetValue(L"Download Path");
  const std::wstring first = http_rules::Url(request.hosts.first, folder) + kDescriptionOnServer;
  std::wstring url = first;
  if (!OffersDescription(url)) {
    url = http_rules::Url(request.hosts.second, folder) + kDescriptionOnServer;
    if (!OffersDescription(url)) {
      return Failed(AcquireFailure::kNoDefaultHost, kSiteNotFound,
                    L"no default host offers the description with at least " +
                        std::to_wstring(http_rules::kDescriptionThreshold) + L" bytes: " + first + L", " + url);
    }
  }
  if (!downloader.StartDownload(url, request.setupTempFolder + kDescriptionInFolder, nullptr, TransferMode::kInLine)
           .succeeded) {
    return Failed(AcquireFailure::kDescriptionNotDownloaded, kDescriptionDownloadError,
                  L"description not downloaded from " + url);
  }
  return {};
}

// Everything up to and including the loaded description.
struct AcquiredDescription {
  Step step;
  std::optional<SetupDescription> description;
};

AcquiredDescription AcquireDescription(const DescriptionPlatform& platform, Downloader& downloader,
                                       const AcquireRequest& request) {
  const LocalCopy local = ReadLocalCopy(platform);
  if (local.step.Failed()) return {local.step, {}};
  const Step prepared = PrepareFolder(request.setupTempFolder);
  if (prepared.Failed()) return {prepared, {}};
  if (!local.download) {
    CopyApplicationFolder(request.setupTempFolder);
  } else {
    const Step fetched = FetchDescription(local.description, downloader, request);
    if (fetched.Failed()) return {fetched, {}};
  }
  const std::wstring path = request.setupTempFolder + kDescriptionInFolder;
  LoadedDescription loaded = LoadDescription(path, platform);
  if (!loaded.Accepted()) {
    return {Refused(AcquireFailure::kDescriptionRefused, kDescriptionError, path, loaded.Refusal()), {}};
  }
  return {{}, std::move(loaded.Description())};
}

// Sum of the announced lengths, held to the bar's range: 32-bit lengths can add up past it.
int ClampedTotal(uint64_t sum) { return sum > INT_MAX ? INT_MAX : static_cast<int>(sum); }

struct Sizing {
  Step step;
  std::wstring site;  // empty without listed files
  int total = 0;
};

// The size the hash line for `target` gives; nothing when it gives none.
std::optional<DWORD> SignedSize(const FileHashList& hashes, const std::wstring& target) {
  const auto line = hashes.sizeByTarget.find(target);
  if (line == hashes.sizeByTarget.end()) return std::nullopt;
  return static_cast<DWORD>(line->second);
}

// Chooses the site and sums the listed files' lengths: a size on a hash line stands for the
// file's, and that file's site is not asked.
Sizing SizeListedFiles(const SetupDescription& description, const FileHashList& hashes) {
  Sizing sizing;
  const std::vector<ListedFile>& files = description.WalkListedFiles();
  if (files.empty()) return sizing;
  if (!InternetConnected()) {
    sizing.step = Failed(AcquireFailure::kNoConnection, kNoConnection, L"no Internet connection for the listed files");
    return sizing;
  }
  MarkPhase("site choice");
  sizing.site = ChooseDownloadSite(description.WalkSites(), files.front().source);
  if (sizing.site.empty()) {
    sizing.step = Failed(AcquireFailure::kNoDownloadSite, kSiteNotFound,
                         L"no download site serves " + files.front().source + L" with more than " +
                             std::to_wstring(http_rules::kSiteThreshold) + L" bytes");
    return sizing;
  }
  MarkPhase("sizing");
  uint64_t sum = 0;
  for (const ListedFile& file : files) {
    const std::optional<DWORD> size = SignedSize(hashes, file.target);
    sum += size ? *size : ProbeContentLength(http_rules::Url(sizing.site, file.source));
  }
  sizing.total = ClampedTotal(sum);
  return sizing;
}

// The digest that the hash line for `target` gives; empty when it has none.
std::string ExpectedDigest(const FileHashList& hashes, const std::wstring& target) {
  const auto line = hashes.byTarget.find(target);
  return line == hashes.byTarget.end() ? std::string() : line->second;
}

// One listed file into `folder`, or a copy already there that counts.
Step FetchListedFile(Downloader& downloader, const std::wstring& url, const std::wstring& folder,
                     const std::wstring& target, const FileHashList& hashes, HWND window) {
  const std::string digest = ExpectedDigest(hashes, target);
  // A forged description must not write outside the setup temp folder.
  if (!IsPlainFileName(target)) {
    return Failed(AcquireFailure::kTargetNotPlainFileName, kFileDownloadError + target,
                  L"listed target " + target + L" is not a plain file name");
  }
  const std::wstring file = folder + L"\\" + target;
  const TransferOutcome outcome =
      downloader.StartDownload(url, file, window, TransferMode::kInLine, digest, SignedSize(hashes, target));
  if (outcome.succeeded) return {};
  std::wstring reason = L"file " + target + L" not downloaded from " + url + L": " +
                        AttemptReason(outcome.failure, outcome.detail);
  switch (CheckPresentFile(file, digest)) {
    case PresentFile::kCounts:
      return {};
    case PresentFile::kHashDiffers:
      reason += L"; the copy present differs from its hash line and was deleted";
      break;
    case PresentFile::kAbsent:
      break;
  }
  return Failed(AcquireFailure::kFileNotDownloaded, kFileDownloadError + target, reason);
}

Step FetchListedFiles(const SetupDescription& description, const FileHashList& hashes, Downloader& downloader,
                      const std::wstring& site, const std::wstring& folder, HWND window) {
  for (const ListedFile& file : description.WalkListedFiles()) {
    const Step fetched =
        FetchListedFile(downloader, http_rules::Url(site, file.source), folder, file.target, hashes, window);
    if (fetched.Failed()) return fetched;
  }
  return {};
}
}  // namespace

AcquireResult AcquireSetup(const DescriptionPlatform& platform, Downloader& downloader,
                           const AcquireRequest& request, const ProgressSink& progress,
                           const MessageSink& showMessage) {
  Sizing sizing;
  MarkPhase("description");
  AcquiredDescription acquired = AcquireDescription(platform, downloader, request);
  Step step = acquired.step;
  // Read once for the sizes of the sizing and the digests of the transfers.
  const FileHashList hashes = step.Failed() ? FileHashList() : FileHashesOf(*acquired.description);
  if (!step.Failed()) {
    sizing = SizeListedFiles(*acquired.description, hashes);
    step = sizing.step;
  }
  if (!step.Failed()) {
    if (progress.setRangeMax) progress.setRangeMax(sizing.total);
    MarkPhase("downloads");
    step = FetchListedFiles(*acquired.description, hashes, downloader, sizing.site, request.setupTempFolder,
                            progress.window);
  }
  if (step.Failed()) {
    // The line first: the message box waits for the user.
    LogFailure(step.reason);
    if (showMessage) showMessage(step.message);
    return {step.failure, step.error, sizing.site, std::nullopt};
  }
  return {step.failure, step.error, sizing.site, std::move(acquired.description)};
}
