#include "download/Transfer.h"

#include <optional>
#include <string>
#include <vector>

#include "base/AnsiText.h"
#include "base/Clock.h"
#include "base/FailureLog.h"
#include "base/ProgressMessage.h"
#include "base/UniqueHandle.h"
#include "crypto/Sha256.h"
#include "download/AnswerRules.h"
#include "download/AttemptWatch.h"
#include "download/ErrorPage.h"
#include "download/HttpRules.h"
#include "download/HttpSession.h"
#include "download/ResumePoint.h"
#include "download/TargetBackup.h"
#include "download/WinInetFunctions.h"

namespace {
constexpr int kAttempts = 4;
constexpr DWORD kRetryPauseMs = 2000;
constexpr DWORD kReadSize = 1024;
constexpr DWORD kGraceMs = 20000;         // late data may still come after the first empty read
constexpr DWORD kGraceYieldMs = 5;        // between empty reads: wait, but do not spin a core
constexpr DWORD kKeptReadSize = 64 * 1024;  // reading back kept bytes is local: large pieces

// An error page, whatever status it came with, is known by "404" in its title.
bool ChunkSays404(const char* bytes, DWORD count) {
  return TitleSays404(AnsiBytesToWide(bytes, static_cast<int>(count)));
}

bool SizeOnDisk(const std::wstring& path, ULONGLONG& size) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return false;
  size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  return true;
}

// For a call that just failed: its Win32 error, read before anything else can change it.
AttemptEnd WithLastError(AttemptFailure failure) { return AttemptEnd{failure, ::GetLastError()}; }

// 0 when all `count` bytes went to the file, else the Win32 error.
DWORD WriteAll(HANDLE file, const char* bytes, DWORD count) {
  if (file == INVALID_HANDLE_VALUE) return ERROR_INVALID_HANDLE;  // closed at an empty read
  DWORD written = 0;
  if (!::WriteFile(file, bytes, count, &written, nullptr)) return ::GetLastError();
  return written == count ? 0 : ERROR_WRITE_FAULT;
}

// The failures that cut a body short, after which its bytes may be worth keeping.
bool BrokeOff(AttemptFailure failure) {
  return failure == AttemptFailure::kReadFailed || failure == AttemptFailure::kStalled ||
         failure == AttemptFailure::kLengthDiffers;
}

// One attempt: its own file, Internet and request handles, closed in reverse order. With a
// resume point it asks for the rest of the file that the kept bytes begin. What the answer
// showed goes into `answer_`; the rules of download/AnswerRules judge it.
class Attempt {
 public:
  Attempt(const std::wstring& url, const TargetPath& path, HWND window, const std::atomic<bool>* cancel,
          const std::string& expectedSha256, std::optional<DWORD> signedSize, std::optional<ResumePoint> resume)
      : url_(url), path_(path), window_(window), cancel_(cancel), expectedSha256_(expectedSha256),
        signedSize_(signedSize), resume_(std::move(resume)) {
    if (!expectedSha256_.empty()) hasher_.emplace();
  }

  AttemptEnd Run() {
    UniqueFileHandle file = OpenTarget();
    if (!file) return WithLastError(AttemptFailure::kTargetNotCreated);
    const UniqueInternetHandle session = OpenInternetSession();
    if (!session) return WithLastError(AttemptFailure::kNoSession);
    GetRequest opened = OpenGetRequest(session.get(), url_);
    if (!opened.request) return AttemptEnd{AttemptFailure::kNoRequest, opened.error};
    // Watched from before the request goes out: a server may also stall before it answers.
    AttemptWatch watch(std::move(opened.request));
    const std::wstring headers = resume_ ? RangeRequestHeaders(*resume_) : std::wstring();
    if (!SendRequest(watch.Request(), headers)) return CallFailed(watch, AttemptFailure::kNoAnswer);
    const AttemptEnd end = ReadBody(watch, file);
    Report(0);  // the window ignores it; it marks the end of the attempt
    return end;
  }

  // Where the next attempt may go on after this one ended with `end`; empty: delete the bytes.
  std::optional<ResumePoint> PointToKeepAfter(const AttemptEnd& end, bool backedUp) const {
    AttemptRecord record;
    record.broken = BrokeOff(end.failure);
    record.fileIsStart = FileIsStart(answer_);
    record.total = FileLength(answer_);
    record.validator = validator_;
    record.hadCopy = backedUp;
    if (!SizeOnDisk(path_.full, record.onDisk)) return std::nullopt;
    return PointToKeep(record);
  }

 private:
  HANDLE OpenFile(DWORD access, DWORD disposition) const {
    return ::CreateFileW(path_.full.c_str(), access, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  }

  // The kept bytes when they are all still there (read too, for the hash), else an emptied
  // target and a request for the whole file.
  UniqueFileHandle OpenTarget() {
    if (resume_) {
      UniqueFileHandle kept(OpenFile(GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING));
      LARGE_INTEGER size = {};
      if (kept && ::GetFileSizeEx(kept.get(), &size) && size.QuadPart == resume_->offset) return kept;
      resume_.reset();
    }
    return UniqueFileHandle(OpenFile(GENERIC_WRITE, CREATE_ALWAYS));
  }

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
    if (available >= kReadSize || !answer_.announced) return kReadSize;
    const DWORD remaining = answer_.length > received_ ? answer_.length - received_ : 0;
    if (remaining >= kReadSize) return kReadSize;
    const DWORD size = remaining > available ? remaining : available;
    return size == 0 ? kReadSize : size;  // at the end: one more read finds it, or the surplus
  }

  // One read. When WinINet holds fewer than kReadSize received bytes, one query refills its
  // buffer first, so that most reads are copies from memory.
  AttemptEnd ReadChunk(AttemptWatch& watch, char* buffer, DWORD& available, DWORD& count) {
    const HINTERNET request = watch.Request();
    if (request == nullptr) return AttemptEnd{AttemptFailure::kStalled, 0};
    if (available < kReadSize && !wininet::InternetQueryDataAvailable(request, &available, 0, 0)) {
      return CallFailed(watch, AttemptFailure::kReadFailed);
    }
    if (!wininet::InternetReadFile(request, buffer, ReadSize(available), &count)) {
      return CallFailed(watch, AttemptFailure::kReadFailed);
    }
    available -= count < available ? count : available;
    if (!watch.Arrived(count)) return AttemptEnd{AttemptFailure::kStalled, 0};
    return AttemptEnd{};
  }

  AttemptEnd ReadBody(AttemptWatch& watch, UniqueFileHandle& file) {
    DWORD length = 0;
    answer_.announced = QueryAnnouncedLength(watch.Request(), length);
    answer_.length = length;
    answer_.status = QueryStatusCode(watch.Request());
    const AttemptEnd placed = Place(watch.Request(), file.get());
    if (!placed.succeeded()) return placed;
    // Reads stop at the announced length, so holding the whole file's length to the signed size
    // bounds them too; nothing of this answer is written yet.
    const AttemptEnd signedRefusal = SignedSizeRefusal(answer_, signedSize_);
    if (!signedRefusal.succeeded()) return signedRefusal;
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
        const AttemptEnd written = WriteChunk(file.get(), buffer, count);
        if (!written.succeeded()) return written;
        waiting = false;
        continue;
      }
      // End of the body: the length on disk decides. Data that still arrives after this
      // finds the file closed and fails to be written.
      file.reset();
      ULONGLONG size = 0;
      if (!SizeOnDisk(path_.full, size)) return WithLastError(AttemptFailure::kSizeUnreadable);
      if (size == FileLength(answer_)) return JudgeWholeBody(answer_, DigestMatches());
      if (!waiting) {
        waiting = true;
        emptySince = clock_seam::TickCount();
      } else if (TicksSince(emptySince) > kGraceMs) {
        return AnswerRefusal(answer_, AttemptEnd{AttemptFailure::kLengthDiffers, static_cast<DWORD>(size)});
      }
      clock_seam::SleepFor(kGraceYieldMs);
    }
  }

  // Puts the file pointer where this answer's bytes go, as PlaceAnswer says.
  AttemptEnd Place(HINTERNET request, HANDLE file) {
    validator_ = ChooseValidator(QueryHeaderText(request, HTTP_QUERY_ETAG),
                                 QueryHeaderText(request, HTTP_QUERY_LAST_MODIFIED));
    const std::wstring range = resume_ ? QueryHeaderText(request, HTTP_QUERY_CONTENT_RANGE) : std::wstring();
    const PlaceVerdict verdict = PlaceAnswer(answer_, resume_, range);
    switch (verdict.placement) {
      case Placement::kFromStart: return AttemptEnd{};
      case Placement::kOverKept: return StartOver(file);
      case Placement::kRefused: return verdict.end;
      case Placement::kAfterKept: break;
    }
    answer_.offset = resume_->offset;
    validator_ = resume_->validator;
    return HashKept(file);
  }

  AttemptEnd StartOver(HANDLE file) {
    resume_.reset();
    LARGE_INTEGER start = {};
    if (!::SetFilePointerEx(file, start, nullptr, FILE_BEGIN) || !::SetEndOfFile(file)) {
      return WithLastError(AttemptFailure::kTargetNotEmptied);
    }
    return AttemptEnd{};
  }

  // Adds the kept bytes to the digest, so that it covers the whole file, and leaves the file
  // pointer after them for the bytes that continue them.
  AttemptEnd HashKept(HANDLE file) {
    if (hasher_) {
      std::vector<char> buffer(kKeptReadSize);
      for (DWORD left = answer_.offset; left > 0;) {
        DWORD count = 0;
        if (!::ReadFile(file, buffer.data(), left < kKeptReadSize ? left : kKeptReadSize, &count, nullptr)) {
          return WithLastError(AttemptFailure::kKeptUnreadable);
        }
        if (count == 0) return AttemptEnd{AttemptFailure::kKeptUnreadable, ERROR_HANDLE_EOF};
        hasher_->Add(buffer.data(), count);  // a failed hasher is spent and fails the check at the end
        left -= count;
      }
    }
    LARGE_INTEGER end = {};
    end.QuadPart = answer_.offset;
    if (!::SetFilePointerEx(file, end, nullptr, FILE_BEGIN)) return WithLastError(AttemptFailure::kKeptUnreadable);
    return AttemptEnd{};
  }

  // Checks, writes, reports and hashes one chunk. The title check looks at the file's first
  // bytes, which a continuation does not bring.
  AttemptEnd WriteChunk(HANDLE file, const char* buffer, DWORD count) {
    const AttemptEnd refused = ChunkRefusal(answer_, received_, count);
    if (!refused.succeeded()) return refused;
    received_ += count;
    if (answer_.offset == 0 && received_ <= kTitleCheckBytes && ChunkSays404(buffer, count)) {
      answer_.droppedTitle = true;
      return AttemptEnd{};
    }
    const DWORD error = WriteAll(file, buffer, count);
    Report(count);  // also for a chunk that could not be written
    if (error != 0) return AttemptEnd{AttemptFailure::kWriteFailed, error};
    // A failed hasher is spent and fails the check at the end.
    if (hasher_) hasher_->Add(buffer, count);
    return AttemptEnd{};
  }

  // True without an expected digest; otherwise whether the bytes written have it.
  bool DigestMatches() {
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
  std::optional<ResumePoint> resume_;  // until the answer shows whether it continues the kept bytes
  AnswerFacts answer_;
  std::wstring validator_;
  DWORD received_ = 0;  // in this attempt
};

// What a failure line adds when the bytes stay for the next attempt.
std::wstring KeptNote(const std::optional<ResumePoint>& kept) {
  if (!kept) return std::wstring();
  return L"; keeps " + std::to_wstring(kept->offset) + L" of " + std::to_wstring(kept->total) + L" bytes";
}
}  // namespace

TransferOutcome TransferUrlToFile(const std::wstring& url, const std::wstring& target, HWND window,
                                  const std::atomic<bool>* cancel, const std::string& expectedSha256,
                                  std::optional<DWORD> signedSize) {
  const TargetPath path = SplitTarget(target);
  TransferOutcome outcome;
  std::optional<ResumePoint> kept;
  while (outcome.attempts < kAttempts) {
    ++outcome.attempts;
    // Kept bytes are this transfer's own: never a previous copy to back up.
    const bool backedUp = kept ? false : BackUp(path);
    Attempt attempt(url, path, window, cancel, expectedSha256, signedSize, kept);
    const AttemptEnd end = attempt.Run();
    if (end.succeeded()) {
      outcome.succeeded = true;  // a backup stays next to the target
      return outcome;
    }
    outcome.failure = end.failure;
    outcome.detail = end.detail;
    // A disk that refuses data will refuse it again.
    const bool last = outcome.attempts == kAttempts || end.failure == AttemptFailure::kWriteFailed;
    kept.reset();
    if (!last) kept = attempt.PointToKeepAfter(end, backedUp);
    LogFailure(L"GET " + http_rules::UrlForLog(url) + L" attempt " + std::to_wstring(outcome.attempts) + L" of " +
               std::to_wstring(kAttempts) + L": " + AttemptReason(end.failure, end.detail) + KeptNote(kept));
    if (!kept) RemoveAndRestore(path, backedUp);
    if (last) break;
    clock_seam::SleepFor(kRetryPauseMs);
  }
  return outcome;
}
