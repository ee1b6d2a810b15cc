// DownloadUrlToFile: the attempts of one transfer, each with backup, body, checks and clean-up.
#include <optional>
#include <string>

#include "base/AnsiText.h"
#include "base/Clock.h"
#include "base/UniqueHandle.h"
#include "crypto/Sha256.h"
#include "download/AttemptWatch.h"
#include "download/Downloader.h"
#include "download/HttpSession.h"
#include "download/TagText.h"
#include "fs/FolderServices.h"

namespace {
constexpr int kAttempts = 4;
constexpr DWORD kRetryPauseMs = 2000;
constexpr DWORD kReadSize = 1024;
constexpr DWORD kTitleCheckBytes = 1024;  // the check looks at what arrives within these
constexpr DWORD kGraceMs = 20000;         // late data may still come after the first empty read
constexpr DWORD kGraceYieldMs = 5;        // between empty reads: wait, but do not spin a core
const wchar_t kBackupSuffix[] = L" Before Download";

struct TargetPath {
  std::wstring full;
  std::wstring folder;  // without trailing backslash
  std::wstring name;
};

TargetPath SplitTarget(const std::wstring& target) {
  TargetPath path{target, L"", L""};
  SplitPath(target, path.folder, path.name);
  path.folder = WithoutTrailingBackslash(path.folder);
  // A bare name lives in the current folder, never in the root of the current drive.
  if (path.folder.empty() && target.find(L'\\') == std::wstring::npos) path.folder = L".";
  return path;
}

// Keeps the current copy under the backup name unless an older backup holds that name.
// True when a copy existed, which a failed attempt then puts back.
bool BackUp(const TargetPath& path) {
  if (!FileExists(path.full)) return false;
  if (!FileExists(path.full + kBackupSuffix)) {
    MoveFileInFolder(path.folder, path.name, path.name + kBackupSuffix);
  }
  return true;
}

void RemoveAndRestore(const TargetPath& path, bool backedUp) {
  DeleteFileInFolder(path.folder, path.name);
  if (backedUp) MoveFileInFolder(path.folder, path.name + kBackupSuffix, path.name);
}

// An error page, whatever status it came with, is known by "404" in its title.
bool TitleSays404(const char* bytes, DWORD count) {
  return ExtractTagText(AnsiBytesToWide(bytes, static_cast<int>(count)), L"TITLE").find(L"404") != std::wstring::npos;
}

bool WriteAll(HANDLE file, const char* bytes, DWORD count) {
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  return ::WriteFile(file, bytes, count, &written, nullptr) && written == count;
}

bool SizeOnDisk(const std::wstring& path, ULONGLONG& size) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return false;
  size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  return true;
}

enum class AttemptEnd { kSuccess, kFailed, kWriteFailed };

// One attempt: its own file, Internet and request handles, closed in reverse order.
class Attempt {
 public:
  Attempt(const std::wstring& url, const TargetPath& path, HWND window,
          const std::atomic<bool>* cancel, const std::string& expectedSha256)
      : url_(url), path_(path), window_(window), cancel_(cancel), expectedSha256_(expectedSha256) {
    if (!expectedSha256_.empty()) hasher_.emplace();
  }

  AttemptEnd Run() {
    UniqueFileHandle file(::CreateFileW(path_.full.c_str(), GENERIC_WRITE, 0, nullptr,
                                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return AttemptEnd::kFailed;
    const UniqueInternetHandle session = OpenInternetSession();
    if (!session) return AttemptEnd::kFailed;
    UniqueInternetHandle connection;
    UniqueInternetHandle request = OpenGetRequest(session.get(), url_, connection);
    if (!request) return AttemptEnd::kFailed;
    // Watched from before the request goes out: a server may also stall before it answers.
    AttemptWatch watch(std::move(request));
    if (!SendRequest(watch.Request(), std::wstring())) return AttemptEnd::kFailed;
    const AttemptEnd end = ReadBody(watch, file);
    Report(0);  // the window ignores it; it marks the end of the attempt
    return end;
  }

 private:
  void Report(DWORD count) {
    if (window_) ::SendMessageW(window_, kProgressMessage, count, received_);
  }

  // One read of at most kReadSize bytes. When WinINet holds no more received bytes, one query
  // refills its buffer with a single receive, so the reads that follow are copies from memory.
  // A read never asks for more than is there, so a trickling server cannot hold it.
  bool ReadChunk(AttemptWatch& watch, char* buffer, DWORD& available, DWORD& count) {
    const HINTERNET request = watch.Request();
    if (request == nullptr) return false;  // the watchdog ended the attempt
    if (available == 0 && !::InternetQueryDataAvailable(request, &available, 0, 0)) return false;
    const DWORD size = available == 0 || available > kReadSize ? kReadSize : available;
    if (!::InternetReadFile(request, buffer, size, &count)) return false;
    available -= count < available ? count : available;
    return watch.Arrived(count);
  }

  AttemptEnd ReadBody(AttemptWatch& watch, UniqueFileHandle& file) {
    const HINTERNET request = watch.Request();
    DWORD expected = 0;
    const bool announced = QueryAnnouncedLength(request, expected);
    // Only a success status with a length can end in a downloaded file. Without a length no
    // amount is known to be right, so any byte is one too many: a body without end is cut.
    const bool acceptable = announced && IsSuccessStatus(QueryStatusCode(request));
    bool waiting = false;
    DWORD emptySince = 0;
    DWORD available = 0;
    char buffer[kReadSize] = {};
    for (;;) {
      if (cancel_ && *cancel_) return AttemptEnd::kFailed;
      DWORD count = 0;
      if (!ReadChunk(watch, buffer, available, count)) return AttemptEnd::kFailed;
      if (count > 0) {
        if (count > expected - received_) return AttemptEnd::kFailed;  // more than announced
        received_ += count;
        waiting = false;
        if (received_ <= kTitleCheckBytes && TitleSays404(buffer, count)) continue;
        const bool written = WriteAll(file.get(), buffer, count);
        Report(count);  // also for a chunk that could not be written
        if (!written) return AttemptEnd::kWriteFailed;
        // A failed hasher is spent and fails the check at the end.
        if (hasher_) hasher_->Add(buffer, count);
        continue;
      }
      // End of the body: the length on disk decides. Data that still arrives after this
      // finds the file closed and fails to be written.
      file.reset();
      ULONGLONG size = 0;
      if (!SizeOnDisk(path_.full, size)) return AttemptEnd::kFailed;
      if (size == expected) return acceptable && HashMatches() ? AttemptEnd::kSuccess : AttemptEnd::kFailed;
      if (!waiting) {
        waiting = true;
        emptySince = clock_seam::TickCount();
      } else if (TicksSince(emptySince) > kGraceMs) {
        return AttemptEnd::kFailed;
      }
      clock_seam::SleepFor(kGraceYieldMs);
    }
  }

  // True without an expected digest; otherwise whether the bytes written have it.
  bool HashMatches() {
    if (!hasher_) return true;
    const std::optional<Sha256Digest> digest = hasher_->Finish();
    return digest && LowerHex(*digest) == expectedSha256_;
  }

  const std::wstring& url_;
  const TargetPath& path_;
  HWND window_;
  const std::atomic<bool>* cancel_;
  const std::string& expectedSha256_;
  std::optional<Sha256> hasher_;  // only when a digest is expected: one per attempt
  DWORD received_ = 0;
};
}  // namespace

bool DownloadUrlToFile(std::wstring url, std::wstring target, HWND window,
                       const std::atomic<bool>* cancel, const std::string& expectedSha256) {
  const TargetPath path = SplitTarget(target);
  for (int attemptsLeft = kAttempts; attemptsLeft > 0; --attemptsLeft) {
    const bool backedUp = BackUp(path);
    const AttemptEnd end = Attempt(url, path, window, cancel, expectedSha256).Run();
    if (end == AttemptEnd::kSuccess) return true;  // a backup stays next to the target
    RemoveAndRestore(path, backedUp);
    clock_seam::SleepFor(kRetryPauseMs);
    // A disk that refuses data will refuse it again.
    if (end == AttemptEnd::kWriteFailed) break;
  }
  return false;
}
