#include "app/NameRules.h"

#include <cwchar>

#include "fs/PathText.h"

namespace {
const wchar_t kLocalName[] = L"Local";
const wchar_t kProjectsFolder[] = L"\\Velmar's Projects\\";
const wchar_t kSetupSuffix[] = L"Setup";
constexpr std::size_t kTimeBuffer = 128;
}  // namespace

std::wstring DeriveApplicationName(const std::wstring& fileName) {
  const std::wstring::size_type d = fileName.find(L'_');
  if (d == std::wstring::npos) return kLocalName;
  const std::wstring::size_type e = fileName.find(L'_', d + 1);
  if (e == std::wstring::npos || e == d + 1) return kLocalName;
  return fileName.substr(d + 1, e - d - 1);
}

std::wstring ProgramTitle(const std::wstring& path) {
  const std::wstring name = FileNameOf(path);
  const std::wstring::size_type dot = name.rfind(L'.');
  return dot == std::wstring::npos ? name : name.substr(0, dot);
}

std::wstring HelpFilePath(std::wstring path) {
  // Only a dot of the file name starts an extension, never one of a folder.
  const std::wstring::size_type nameStart = FolderOf(path).size();
  const std::wstring::size_type dot = path.rfind(L'.');
  if (dot != std::wstring::npos && dot >= nameStart) path.erase(dot);
  return path + L".HLP";
}

std::wstring ComposeSetupTempFolder(const std::wstring& tempFolder, const std::wstring& applicationName) {
  return tempFolder + kProjectsFolder + applicationName + kSetupSuffix;
}

std::wstring FormatInstallationTime(std::time_t when) {
  std::tm utc{};
#ifdef _WIN32
  if (gmtime_s(&utc, &when) != 0) return std::wstring();
#else
  if (gmtime_r(&when, &utc) == nullptr) return std::wstring();
#endif
  wchar_t buffer[kTimeBuffer] = {};
  const std::size_t n = std::wcsftime(buffer, kTimeBuffer, L"%d-%m-%Y %H:%M:%S", &utc);
  return std::wstring(buffer, n);
}
