#include "download/Transfer.h"

#include <optional>
#include <string>

#include "base/AnsiText.h"
#include "base/Clock.h"
#include "base/FailureLog.h"
#include "base/ProgressMessage.h"
#include "base/UniqueHandle.h"
#include "crypto/Sha256.h"
#include "download/AttemptWatch.h"
#include "download/HttpRules.h"
#include "download/HttpSession.h"
#include "download/TagText.h"
#include "fs/FileOperations.h"
#include "fs/PathText.h"

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

bool SizeOnDisk(const std::wstring& path, ULONGLONG& size) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return false;
  size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  return true;
}

// How an attempt ended: kNone is success.
struct AttemptEnd {
  AttemptFailure failure = AttemptFailure::kNone;
  DWORD detail = 0;
  bool succeeded() const { return failure == AttemptFailure::kNone; }
};

// For a call that just failed: its Win32 error, read before anything else can change it.
AttemptEnd WithLastError(AttemptFailure failure) { return AttemptEnd{failure, ::GetLastError()}; }

// 0 when all `count` bytes went to the file, else the Win32 error.
DWORD WriteAll(HANDLE file, const char* bytes, DWORD count) {
  if (file == INVALID_HANDLE_VALUE) return ERROR_INVALID_HANDLE;  // closed at an empty read
  DWORD written = 0;
  if (!::WriteFile(file, bytes, count, &written, nullptr)) return ::GetLastError();
  return written == count ? 0 : ERROR_WRITE_FAULT;
}

// One attempt: its own file, Internet and request handles, closed in reverse order.
class Attempt {
 public:
  Attempt(const std::wstring& url, const TargetPath& path, HWND window,
          const std::atomic<bool>* cancel, const std::string& expectedSha256, std::optional<DWORD> signedSize)
      : url_(url), path_(path), window_(window), cancel_(cancel), expectedSha256_(expectedSha256),
        signedSize_(signedSize) {
    if (!expectedSha256_.empty()) hasher_.emplace();
  }

  AttemptEnd Run() {
    UniqueFileHandle file(::CreateFileW(path_.full.c_str(), GENERIC_WRITE, 0, nullptr,
                                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return WithLastError(AttemptFailure::kTargetNotCreated);
    const UniqueInternetHandle session = OpenInternetSession();
    if (!session) return WithLastError(AttemptFailure::kNoSession);
    GetRequest opened = OpenGetRequest(session.get(), url_);
    if (!opened.request) return AttemptEnd{AttemptFailure::kNoRequest, opened.error};
    // Watched from before the request goes out: a server may also stall before it answers.
    AttemptWatch watch(std::move(opened.request));
    if (!SendRequest(watch.Request(), std::wstring())) return CallFailed(watch, AttemptFailure::kNoAnswer);
    const AttemptEnd end = ReadBody(watch, file);
    Report(0);  // the window ignores it; it marks the end of the attempt
    return end;
  }

 private:
  void Report(DWORD count) {
    if (window_) ::SendMessageW(window_, kProgressMessage, count, received_);
  }

  // For a WinINet call that just failed: the stall when the watchdog closed its request, else
  // the call's own error.
  static AttemptEnd CallFailed(const AttemptWatch& watch, AttemptFailure failure) {
    const DWORD error = ::GetLastError();
    if (watch.Request() == nullptr) return AttemptEnd{AttemptFailure::kStalled, 0};
    return AttemptEnd{failure, error};
  }

  // A read asks for kReadSize bytes whenever that many are buffered or the body may still bring
  // them, so the first kilobyte comes in one piece however the server cut it. Only the last
  // piece of an announced body is asked for less, so the read does not wait for bytes that
  // cannot come. A stalled read ends when the watchdog closes the request.
  DWORD ReadSize(DWORD available) const {
    if (available >= kReadSize || !announced_) return kReadSize;
    const DWORD remaining = expected_ > received_ ? expected_ - received_ : 0;
    if (remaining >= kReadSize) return kReadSize;
    const DWORD size = remaining > available ? remaining : available;
    return size == 0 ? kReadSize : size;  // at the end: one more read finds it, or the surplus
  }

  // One read. When WinINet holds fewer than kReadSize received bytes, one query refills its
  // buffer first, so that most reads are copies from memory.
  AttemptEnd ReadChunk(AttemptWatch& watch, char* buffer, DWORD& available, DWORD& count) {
    const HINTERNET request = watch.Request();
    if (request == nullptr) return AttemptEnd{AttemptFailure::kStalled, 0};
    if (available < kReadSize && !::InternetQueryDataAvailable(request, &available, 0, 0)) {
      return CallFailed(watch, AttemptFailure::kReadFailed);
    }
    if (!::InternetReadFile(request, buffer, ReadSize(available), &count)) {
      return CallFailed(watch, AttemptFailure::kReadFailed);
    }
    available -= count < available ? count : available;
    if (!watch.Arrived(count)) return AttemptEnd{AttemptFailure::kStalled, 0};
    return AttemptEnd{};
  }

  AttemptEnd ReadBody(AttemptWatch& watch, UniqueFileHandle& file) {
    announced_ = QueryAnnouncedLength(watch.Request(), expected_);
    status_ = QueryStatusCode(watch.Request());
    // Reads stop at the announced length, so holding it to the signed size bounds them too.
    if (signedSize_ && (!announced_ || expected_ != *signedSize_)) {
      return Refusal(AttemptEnd{AttemptFailure::kSignedSizeDiffers, expected_});
    }
    bool waiting = false;
    DWORD emptySince = 0;
    DWORD available = 0;
    char buffer[kReadSize] = {};
    for (;;) {
      if (cancel_ && *cancel_) return AttemptEnd{AttemptFailure::kCancelled, 0};
      DWORD count = 0;
      const AttemptEnd read = ReadChunk(watch, buffer, available, count);
      if (!read.succeeded()) return read;
      if (count > 0) {
        const AttemptEnd kept = Keep(file.get(), buffer, count);
        if (!kept.succeeded()) return kept;
        waiting = false;
        continue;
      }
      // End of the body: the length on disk decides. Data that still arrives after this
      // finds the file closed and fails to be written.
      file.reset();
      ULONGLONG size = 0;
      if (!SizeOnDisk(path_.full, size)) return WithLastError(AttemptFailure::kSizeUnreadable);
      if (size == expected_) return Judge();
      if (!waiting) {
        waiting = true;
        emptySince = clock_seam::TickCount();
      } else if (TicksSince(emptySince) > kGraceMs) {
        return Refusal(AttemptEnd{AttemptFailure::kLengthDiffers, static_cast<DWORD>(size)});
      }
      clock_seam::SleepFor(kGraceYieldMs);
    }
  }

  // Checks, writes, reports and hashes one chunk.
  AttemptEnd Keep(HANDLE file, const char* buffer, DWORD count) {
    if (count > expected_ - received_) {
      return Refusal(AttemptEnd{AttemptFailure::kLongerThanAnnounced, expected_});
    }
    received_ += count;
    if (received_ <= kTitleCheckBytes && TitleSays404(buffer, count)) {
      droppedTitle_ = true;
      return AttemptEnd{};
    }
    const DWORD error = WriteAll(file, buffer, count);
    Report(count);  // also for a chunk that could not be written
    if (error != 0) return AttemptEnd{AttemptFailure::kWriteFailed, error};
    // A failed hasher is spent and fails the check at the end.
    if (hasher_) hasher_->Add(buffer, count);
    return AttemptEnd{};
  }

  // A body of the announced length: only a success status with a length (and the expected
  // digest, when there is one) makes it the file.
  AttemptEnd Judge() {
    const AttemptEnd refused = Refusal(AttemptEnd{});
    if (!refused.succeeded()) return refused;
    return HashMatches() ? AttemptEnd{} : AttemptEnd{AttemptFailure::kHashDiffers, 0};
  }

  // What the answer itself says against it, ahead of `otherwise`: its status, a page titled
  // 404, a missing length. Without a length no amount is known to be right, so any byte is one
  // too many: a body without end is cut.
  AttemptEnd Refusal(AttemptEnd otherwise) const {
    if (!IsSuccessStatus(status_)) return AttemptEnd{AttemptFailure::kStatus, status_};
    if (droppedTitle_) return AttemptEnd{AttemptFailure::kTitle404, 0};
    if (!announced_) return AttemptEnd{AttemptFailure::kNoLength, 0};
    return otherwise;
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
  const std::optional<DWORD> signedSize_;
  std::optional<Sha256> hasher_;  // only when a digest is expected: one per attempt
  bool announced_ = false;
  DWORD expected_ = 0;  // the Content-Length; 0 without one
  DWORD status_ = 0;
  bool droppedTitle_ = false;
  DWORD received_ = 0;
};

// What a failed attempt's line says after "attempt N of 4: ".
std::wstring Reason(const AttemptEnd& end) {
  const std::wstring detail = std::to_wstring(end.detail);
  switch (end.failure) {
    case AttemptFailure::kNone: break;
    case AttemptFailure::kTargetNotCreated: return L"target not created, error " + detail;
    case AttemptFailure::kNoSession: return L"no Internet session, error " + detail;
    case AttemptFailure::kNoRequest: return L"request not opened, error " + detail;
    case AttemptFailure::kNoAnswer: return L"error " + detail;
    case AttemptFailure::kReadFailed: return L"read failed, error " + detail;
    case AttemptFailure::kStalled: return L"stalled: fewer than 1024 bytes in 60 s";
    case AttemptFailure::kCancelled: return L"cancelled";
    case AttemptFailure::kLongerThanAnnounced: return L"body longer than its Content-Length " + detail;
    case AttemptFailure::kStatus: return L"status " + detail;
    case AttemptFailure::kNoLength: return L"no Content-Length";
    case AttemptFailure::kTitle404: return L"page titled 404";
    case AttemptFailure::kLengthDiffers: return L"body ended after " + detail + L" bytes, not its Content-Length";
    case AttemptFailure::kSizeUnreadable: return L"size on disk unreadable, error " + detail;
    case AttemptFailure::kHashDiffers: return L"SHA-256 differs from the listed one";
    case AttemptFailure::kSignedSizeDiffers: return L"Content-Length " + detail + L" is not the signed size";
    case AttemptFailure::kWriteFailed: return L"write failed, error " + detail;
  }
  return std::wstring();
}
}  // namespace

TransferOutcome TransferUrlToFile(const std::wstring& url, const std::wstring& target, HWND window,
                                  const std::atomic<bool>* cancel, const std::string& expectedSha256,
                                  std::optional<DWORD> signedSize) {
  const TargetPath path = SplitTarget(target);
  TransferOutcome outcome;
  while (outcome.attempts < kAttempts) {
    ++outcome.attempts;
    const bool backedUp = BackUp(path);
    const AttemptEnd end = Attempt(url, path, window, cancel, expectedSha256, signedSize).Run();
    if (end.succeeded()) {
      outcome.succeeded = true;  // a backup stays next to the target
      return outcome;
    }
    outcome.failure = end.failure;
    outcome.detail = end.detail;
    LogFailure(L"GET " + http_rules::UrlForLog(url) + L" attempt " + std::to_wstring(outcome.attempts) + L" of " +
               std::to_wstring(kAttempts) + L": " + Reason(end));
    RemoveAndRestore(path, backedUp);
    clock_seam::SleepFor(kRetryPauseMs);
    // A disk that refuses data will refuse it again.
    if (end.failure == AttemptFailure::kWriteFailed) break;
  }
  return outcome;
}

bool DownloadUrlToFile(std::wstring url, std::wstring target, HWND window,
                       const std::atomic<bool>* cancel, const std::string& expectedSha256,
                       std::optional<DWORD> signedSize) {
  return TransferUrlToFile(url, target, window, cancel, expectedSha256, signedSize).succeeded;
}
