#include "download/Downloader.h"

#include <memory>

#include "base/FailureLog.h"
#include "base/UniqueHandle.h"
#include "download/HttpRules.h"
#include "download/HttpSession.h"

std::atomic<bool> downloadBusy{false};
TransferOutcome downloadOutcome;
std::atomic<bool> downloadCancel{false};
std::atomic<HANDLE> downloadThread{nullptr};

namespace {
// Owns the last worker's handle; `downloadThread` only shows it while the worker runs.
// Replaced (and so closed) when the next worker starts, closed at exit otherwise.
UniqueKernelHandle& WorkerHandle() {
  static UniqueKernelHandle handle;
  return handle;
}
}  // namespace

Downloader::Downloader() = default;
Downloader::~Downloader() = default;

TransferOutcome Downloader::StartDownload(std::wstring url, std::wstring target, HWND window, TransferMode mode,
                                          std::string expectedSha256, std::optional<DWORD> signedSize) {
  downloadBusy = true;
  downloadOutcome = TransferOutcome{};
  downloadCancel = false;
  if (!InternetConnected()) {
    LogFailure(L"GET " + http_rules::UrlForLog(url) + L": no Internet connection");
    downloadBusy = false;
    return TransferOutcome{false, 0, AttemptFailure::kNoConnection, 0};
  }
  if (mode == TransferMode::kInLine) {
    const TransferOutcome outcome = TransferUrlToFile(url, target, window, nullptr, expectedSha256, signedSize);
    downloadBusy = false;
    return outcome;
  }
  auto request = std::make_unique<DownloadRequest>(
      DownloadRequest{std::move(url), std::move(target), window, &downloadCancel, std::move(expectedSha256),
                      signedSize});
  // Started suspended only until its handle is stored: a quick worker would otherwise clear
  // downloadThread before the handle was put there, leaving a stale handle behind.
  const HANDLE thread =
      ::CreateThread(nullptr, 0, DownloadThreadProc, request.get(), CREATE_SUSPENDED, &threadId);
  if (thread == nullptr) {
    const DWORD error = ::GetLastError();
    LogFailure(L"GET " + http_rules::UrlForLog(request->url) + L": no worker thread" + ErrorSuffix(error));
    downloadBusy = false;
    return TransferOutcome{false, 0, AttemptFailure::kNoWorker, error};
  }
  request.release();  // the worker frees it
  WorkerHandle().reset(thread);
  downloadThread = thread;
  // A thread of this process, created suspended a moment ago, with its handle's full rights:
  // nothing can make ResumeThread fail on it.
  ::ResumeThread(thread);
  return TransferOutcome{true, 0, AttemptFailure::kNone, 0};  // started; no attempt made yet
}

DWORD WINAPI DownloadThreadProc(LPVOID parameter) {
  std::unique_ptr<DownloadRequest> request(static_cast<DownloadRequest*>(parameter));
  downloadOutcome = TransferUrlToFile(request->url, request->target, request->window, request->cancel,
                                      request->expectedSha256, request->signedSize);
  request.reset();
  downloadBusy = false;
  downloadThread = nullptr;
  return 0;
}
