#pragma once
// The download object: starts one transfer, in-line or on a worker thread.
#include <windows.h>

#include <atomic>
#include <optional>
#include <string>

#include "download/Transfer.h"

// Where StartDownload runs the transfer.
enum class TransferMode {
  kInLine,        // on the calling thread; StartDownload returns the transfer's outcome
  kWorkerThread,  // on a thread of its own; StartDownload's outcome says whether it started
};

class Downloader {
 public:
  Downloader();
  virtual ~Downloader();

  // Runs or starts the transfer as `mode` says. Fails at once, without an attempt, when there is
  // no Internet connection (kNoConnection) or no worker thread (kNoWorker). A started worker's
  // outcome succeeds with no attempt made; the transfer's own follows in downloadOutcome.
  // `expectedSha256` and `signedSize` as for TransferUrlToFile.
  TransferOutcome StartDownload(std::wstring url, std::wstring target, HWND window, TransferMode mode,
                                std::string expectedSha256 = std::string(),
                                std::optional<DWORD> signedSize = std::nullopt);

  DWORD threadId = 0;  // id of the last worker thread started
};

// The worker mode's state, one set for the whole process. Each has a single writer at a time
// (the starter before the worker exists, the worker afterwards); atomics make that visible
// across threads.
extern std::atomic<bool> downloadBusy;    // a transfer started by StartDownload runs
// The last worker transfer's outcome: written by the worker before it clears downloadBusy, so
// read it only once downloadBusy is false.
extern TransferOutcome downloadOutcome;
extern std::atomic<bool> downloadCancel;  // asks the worker transfer to stop
extern std::atomic<HANDLE> downloadThread;  // the running worker, null when none runs

// What the worker thread is handed; it owns and frees the record.
struct DownloadRequest {
  std::wstring url;
  std::wstring target;
  HWND window;
  const std::atomic<bool>* cancel;
  std::string expectedSha256;
  std::optional<DWORD> signedSize;
};

// Worker thread body: `parameter` is a DownloadRequest that the thread takes over.
DWORD WINAPI DownloadThreadProc(LPVOID parameter);
