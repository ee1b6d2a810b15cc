#include "bootstrap/UserInfoFile.h"

#include <windows.h>

#include "base/AnsiText.h"
#include "base/UniqueHandle.h"
#include "bootstrap/UserInfoText.h"
#include "fs/PathText.h"
#include "fs/SystemFolders.h"

namespace {
const wchar_t kUserInfoFilenameSection[] = L"User Info Filename";

// Creates (or truncates) `path`, writes `bytes` and closes it; false on any failure.
bool WriteWholeFile(const std::wstring& path, const char* bytes, DWORD size) {
  UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  if (!::WriteFile(file.get(), bytes, size, &written, nullptr) || written != size) return false;
  return ::CloseHandle(file.release()) != FALSE;
}
}  // namespace

bool WriteUserInfoFile(const SetupDescription& description, const std::wstring& folder,
                       const RunFacts& facts) {
  UserInfo info;
  info.initialSetupPathname = facts.initialSetupPathname;
  info.setupTempFolder = facts.setupTempFolder;
  info.downloadSite = facts.downloadSite;
  info.startMenuFolder = GetStartMenuFolder();
  info.desktopFolder = GetDesktopFolder();
  info.myDocumentsFolder = GetMyDocumentsFolder();
  info.applicationName = facts.applicationName;
  info.installedOnGmTime = facts.installationTime;
  const std::wstring text = ComposeUserInfoText(info);

  // The file must land in the setup temp folder: a name with a path in it is refused.
  const std::wstring fileName = description.GetValue(kUserInfoFilenameSection);
  if (!IsPlainFileName(fileName)) return false;
  // A text that does not fit the conversion buffer would be cut off: refused, not truncated.
  const int byteCount = AnsiByteCount(text);
  if (byteCount <= 0 || byteCount > kAnsiBufferSize) return false;

  const std::vector<char> buffer = ToAnsiBuffer(text);
  return WriteWholeFile(JoinInFolder(folder, fileName), buffer.data(), static_cast<DWORD>(byteCount));
}
