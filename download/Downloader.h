#pragma once
// One HTTP transfer from a URL to a file, in-line or on a worker thread, and the length probe.
#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <string>

#include "base/ProgressMessage.h"

class Downloader {
 public:
  Downloader();
  virtual ~Downloader();

  // In-line: runs the transfer and returns its result. Otherwise: starts the worker thread and
  // returns whether it started. False at once when there is no Internet connection.
  // `expectedSha256` as for DownloadUrlToFile.
  bool StartDownload(std::wstring url, std::wstring target, HWND window, bool inLine,
                     std::string expectedSha256 = std::string());

  DWORD threadId = 0;  // id of the last worker thread started
};

// The worker mode's state, one set for the whole process. Each has a single writer at a time
// (the starter before the worker exists, the worker afterwards); atomics make that visible
// across threads.
extern std::atomic<bool> downloadBusy;    // a transfer started by StartDownload runs
extern std::atomic<bool> downloadResult;  // result of the last worker transfer
extern std::atomic<bool> downloadCancel;  // asks the worker transfer to stop
extern std::atomic<HANDLE> downloadThread;  // the running worker, null when none runs

// What the worker thread is handed; it owns and frees the record.
struct DownloadRequest {
  std::wstring url;
  std::wstring target;
  HWND window;
  const std::atomic<bool>* cancel;
  std::string expectedSha256;
};

// Up to 4 attempts, 2000 ms apart. An existing target is kept under its name + " Before
// Download" and put back when an attempt fails. True when the server answered with a 2xx status
// and a Content-Length, and the file on disk has that length. An attempt ends failed as soon as
// more bytes come than were announced, and when fewer than 1024 bytes came in 60 s.
// `window` and `cancel` may be null. With `expectedSha256` (64 lower-case hexadecimal digits), an
// attempt also fails when the SHA-256 of the bytes it wrote differs, or could not be taken; the
// bytes are hashed as they are written, never read back.
bool DownloadUrlToFile(std::wstring url, std::wstring target, HWND window,
                       const std::atomic<bool>* cancel, const std::string& expectedSha256 = std::string());

// Worker thread body: `parameter` is a DownloadRequest that the thread takes over.
DWORD WINAPI DownloadThreadProc(LPVOID parameter);

// Content-Length of an open request; 0 for a null handle or a missing or unreadable header.
DWORD QueryContentLength(HINTERNET request);

// Length of the file a GET of `url` would bring; 0 on any failure and on an answer that is not
// a 2xx. Costs the server its headers and a byte. Callers compare it as a signed number.
DWORD ProbeContentLength(std::wstring url);
