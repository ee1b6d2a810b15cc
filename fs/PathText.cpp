#include "fs/PathText.h"

#include <cwchar>

void SplitPath(const std::wstring& path, std::wstring& folder, std::wstring& fileName) {
  const std::wstring::size_type p = path.rfind(L'\\');
  if (p == std::wstring::npos) {
    folder.clear();
    fileName = path;
    return;
  }
  folder = path.substr(0, p + 1);
  fileName = path.substr(p + 1);
}

std::wstring JoinInFolder(const std::wstring& folder, const std::wstring& name) {
  if (!folder.empty() && folder.back() == L'\\') return folder + name;
  return folder + L"\\" + name;
}

std::wstring WithoutTrailingBackslash(std::wstring folder) {
  if (!folder.empty() && folder.back() == L'\\') folder.pop_back();
  return folder;
}

bool IsPlainFileName(const std::wstring& name) {
  if (name.empty() || name == L"." || name == L"..") return false;
  // Windows drops a trailing dot or space, so such a name would reach another file.
  if (name.back() == L' ' || name.back() == L'.') return false;
  for (const wchar_t c : name) {
    if (c < 0x20 || std::wcschr(L"\\/:*?\"<>|", c) != nullptr) return false;
  }
  return true;
}
