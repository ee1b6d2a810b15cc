#pragma once
// How the steps of the bootstrap tell the user what happens: messages and download progress.
#include <windows.h>

#include <functional>
#include <string>

// Shows one of the bootstrap's messages; returns when the user has closed it.
using MessageSink = std::function<void(const std::wstring& text)>;

// Where the download phase reports its progress.
struct ProgressSink {
  // Receives the downloader's kProgressMessage; may be null.
  HWND window = nullptr;
  // Sets the upper bound of the bar; may be empty.
  std::function<void(int upperBound)> setRangeMax;
};
