#include "download/Downloader.h"

#include <memory>

#include "base/UniqueHandle.h"
#include "download/HttpSession.h"

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

bool Downloader::StartDownload(std::wstring url, std::wstring target, HWND window, bool inLine,
                               std::string expectedSha256) {
  downloadBusy = true;
  downloadResult = false;
  downloadCancel = false;
  if (!InternetConnected()) {
    downloadBusy = false;
    return false;
  }
  if (inLine) {
    const bool result = DownloadUrlToFile(std::move(url), std::move(target), window, nullptr, expectedSha256);
    downloadBusy = false;
    return result;
  }
  auto request = std::make_unique<DownloadRequest>(
      DownloadRequest{std::move(url), std::move(target), window, &downloadCancel, std::move(expectedSha256)});
  // Started suspended only until its handle is stored: a quick worker would otherwise clear
  // downloadThread before the handle was put there, leaving a stale handle behind.
  const HANDLE thread =
      ::CreateThread(nullptr, 0, DownloadThreadProc, request.get(), CREATE_SUSPENDED, &threadId);
  if (thread == nullptr) {
    downloadBusy = false;
    return false;
  }
  request.release();  // the worker frees it
  WorkerHandle().reset(thread);
  downloadThread = thread;
  ::ResumeThread(thread);
  return true;
}

DWORD WINAPI DownloadThreadProc(LPVOID parameter) {
  std::unique_ptr<DownloadRequest> request(static_cast<DownloadRequest*>(parameter));
  downloadResult =
      DownloadUrlToFile(request->url, request->target, request->window, request->cancel, request->expectedSha256);
  request.reset();
  downloadBusy = false;
  downloadThread = nullptr;
  return 0;
}
