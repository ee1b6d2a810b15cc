#include "download/Downloader.h"

// Placeholder until the transfer lands.
Downloader::Downloader() = default;
Downloader::~Downloader() = default;
bool Downloader::StartDownload(std::wstring, std::wstring, HWND, bool) { return false; }
DWORD ProbeContentLength(std::wstring) { return 0; }
