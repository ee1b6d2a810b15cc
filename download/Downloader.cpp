#include "download/Downloader.h"

#include <memory>

#include "base/FailureLog.h"
#include "base/UniqueHandle.h"
#include "download/HttpRules.h"
#include "download/HttpSession.h"
#include "download/Transfer.h"

std::atomic<bool> downloadBusy{false};
std::atomic<bool> downloadResult{false};
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

bool Downloader::StartDownload(std::wstring url, std::wstring target, HWND window, TransferMode mode,
                               std::string expectedSha256, std::optional<DWORD> signedSize) {
  downloadBusy = true;
  downloadResult = false;
  downloadCancel = false;
  if (!InternetConnected()) {
    LogFailure(L"GET " + http_rules::UrlForLog(url) + L": no Internet connection");
    downloadBusy = false;
    return false;
  }
  if (mode == TransferMode::kInLine) {
    const bool result = DownloadUrlToFile(std::move(url), std::move(target), window, nullptr, expectedSha256, signedSize);
    downloadBusy = false;
    return result;
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
    return false;
  }
  request.release();  // the worker frees it
  WorkerHandle().reset(thread);
  downloadThread = thread;
  // A thread of this process, created suspended a moment ago, with its handle's full rights:
  // nothing can make ResumeThread fail on it.
  ::ResumeThread(thread);
  return true;
}

DWORD WINAPI DownloadThreadProc(LPVOID parameter) {
  std::unique_ptr<DownloadRequest> request(static_cast<DownloadRequest*>(parameter));
  downloadResult =
      DownloadUrlToFile(request->url, request->target, request->window, request->cancel, request->expectedSha256,
                        request->signedSize);
  request.reset();
  downloadBusy = false;
  downloadThread = nullptr;
  return 0;
}
