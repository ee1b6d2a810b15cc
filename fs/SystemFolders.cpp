#include "fs/SystemFolders.h"

#include <windows.h>
#include <shlobj.h>

#include "base/FailureLog.h"
#include "base/GrowingBuffer.h"
#include "base/UniqueHandle.h"
#include "fs/PathText.h"

namespace {
// SHGetSpecialFolderPathW takes no size: the buffer it writes must hold MAX_PATH characters.
constexpr DWORD kFolderBuffer = MAX_PATH;
constexpr DWORD kRegistryValueBytes = 520;

std::wstring ShellFolder(int csidl, BOOL create) {
  wchar_t buffer[kFolderBuffer] = {};
  if (!::SHGetSpecialFolderPathW(nullptr, buffer, csidl, create)) {
    const DWORD error = ::GetLastError();
    LogFailure(L"shell folder " + std::to_wstring(csidl) + L" unknown" + ErrorSuffix(error));
    return std::wstring();
  }
  return WithoutTrailingBackslash(buffer);
}
}  // namespace

std::wstring GetTempFolder() {
  const std::wstring folder =
      ReadGrowingText([](wchar_t* buffer, DWORD size) { return ::GetTempPathW(size, buffer); });
  if (folder.empty()) LogFailure(L"no temporary folder: the system gave none");
  return WithoutTrailingBackslash(folder);
}

std::wstring GetProgramFilesFolder() {
  HKEY raw = nullptr;
  const LONG opened = ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion", 0,
                                      KEY_QUERY_VALUE, &raw);
  if (opened != ERROR_SUCCESS) {
    LogFailure(L"no Program Files folder: registry key" + ErrorSuffix(static_cast<DWORD>(opened)));
    return std::wstring();
  }
  UniqueRegistryKey key(raw);
  wchar_t buffer[kRegistryValueBytes / sizeof(wchar_t) + 1] = {};  // +1: a terminator of our own
  DWORD bytes = kRegistryValueBytes;
  DWORD type = 0;
  const LONG read = ::RegQueryValueExW(key.get(), L"ProgramFilesDir", nullptr, &type,
                                       reinterpret_cast<BYTE*>(buffer), &bytes);
  if (read != ERROR_SUCCESS) {
    LogFailure(L"no Program Files folder: registry value" + ErrorSuffix(static_cast<DWORD>(read)));
    return std::wstring();
  }
  return WithoutTrailingBackslash(buffer);
}

std::wstring GetDesktopFolder() { return ShellFolder(CSIDL_DESKTOPDIRECTORY, FALSE); }
std::wstring GetMyDocumentsFolder() { return ShellFolder(CSIDL_PERSONAL, FALSE); }
std::wstring GetStartMenuFolder() { return ShellFolder(CSIDL_PROGRAMS, TRUE); }
