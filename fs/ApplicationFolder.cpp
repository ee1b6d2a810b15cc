#include "fs/ApplicationFolder.h"

#include <windows.h>

#include "fs/PathText.h"

namespace {
// Written once at start-up before any other thread exists; only read afterwards.
std::wstring applicationFolder;
}  // namespace

void SetApplicationFolder(const std::wstring& path) {
  std::wstring lower = path;
  if (!lower.empty()) ::CharLowerBuffW(&lower[0], static_cast<DWORD>(lower.size()));
  const std::wstring folder = FolderOf(lower);
  applicationFolder = folder.empty() ? std::wstring(L"\\") : folder;
}

std::wstring GetApplicationFolder() { return applicationFolder; }
