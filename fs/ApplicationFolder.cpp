#include "fs/FolderServices.h"

namespace {
// Written once at start-up before any other thread exists; only read afterwards.
std::wstring applicationFolder;
}  // namespace

void SetApplicationFolder(const std::wstring& path) {
  std::wstring lower = path;
  if (!lower.empty()) ::CharLowerBuffW(&lower[0], static_cast<DWORD>(lower.size()));
  const std::wstring::size_type p = lower.rfind(L'\\');
  applicationFolder = (p == std::wstring::npos) ? std::wstring(L"\\") : lower.substr(0, p + 1);
}

std::wstring GetApplicationFolder() { return applicationFolder; }
