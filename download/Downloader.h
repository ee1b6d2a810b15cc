#pragma once
// One HTTP transfer from a URL to a file, in-line or on a worker thread, and the length probe.
#include <windows.h>

#include <string>

class Downloader {
 public:
  Downloader();
  virtual ~Downloader();

  // In-line: runs the transfer and returns its result. Otherwise: starts the worker thread and
  // returns whether it started. False at once when there is no Internet connection.
  bool StartDownload(std::wstring url, std::wstring target, HWND window, bool inLine);

  DWORD threadId = 0;
};

// Content-Length of a GET of `url`; 0 on any failure. Callers compare it as a signed number.
DWORD ProbeContentLength(std::wstring url);
