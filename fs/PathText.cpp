#include "fs/PathText.h"

#include <cwchar>
#include <utility>

#include "base/AsciiText.h"

namespace {
// Length of the folder part: up to and including the last backslash, 0 without one.
std::wstring::size_type FolderLength(const std::wstring& path) {
  const std::wstring::size_type p = path.rfind(L'\\');
  return p == std::wstring::npos ? 0 : p + 1;
}
}  // namespace

std::wstring FolderOf(const std::wstring& path) { return path.substr(0, FolderLength(path)); }

std::wstring FileNameOf(const std::wstring& path) { return path.substr(FolderLength(path)); }

void SplitPath(const std::wstring& path, std::wstring& folder, std::wstring& fileName) {
  folder = FolderOf(path);
  fileName = FileNameOf(path);
}

std::wstring JoinInFolder(const std::wstring& folder, const std::wstring& name) {
  if (!folder.empty() && folder.back() == L'\\') return folder + name;
  return folder + L"\\" + name;
}

std::wstring WithoutTrailingBackslash(std::wstring folder) {
  if (!folder.empty() && folder.back() == L'\\') folder.pop_back();
  return folder;
}

namespace {
// Names the system reads as devices in every folder, with or without an extension.
const wchar_t* const kDeviceNames[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
// COM and LPT followed by one digit, superscripts one to three included.
const wchar_t kPortNames[][4] = {L"COM", L"LPT"};
const wchar_t kPortDigits[] = L"0123456789\u00B9\u00B2\u00B3";

bool IsPortName(const std::wstring& base) {
  if (base.size() != 4 || std::wcschr(kPortDigits, base[3]) == nullptr) return false;
  return base.compare(0, 3, kPortNames[0]) == 0 || base.compare(0, 3, kPortNames[1]) == 0;
}

bool IsDeviceName(const std::wstring& name) {
  // The system looks at the part before the first dot, without the spaces that end it.
  std::wstring base = name.substr(0, name.find(L'.'));
  while (!base.empty() && base.back() == L' ') base.pop_back();
  base = UpperAscii(std::move(base));
  for (const wchar_t* device : kDeviceNames) {
    if (base == device) return true;
  }
  return IsPortName(base);
}
}  // namespace

bool IsPlainFileName(const std::wstring& name) {
  if (name.empty() || name == L"." || name == L"..") return false;
  // The system drops a final dot or space, so the file would get another name than asked.
  if (name.back() == L'.' || name.back() == L' ') return false;
  for (wchar_t c : name) {
    if (c < 0x20 || std::wcschr(L"\\/:*?\"<>|", c) != nullptr) return false;
  }
  return !IsDeviceName(name);
}
