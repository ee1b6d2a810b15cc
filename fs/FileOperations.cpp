#include "fs/FileOperations.h"

#include <windows.h>

#include "base/Clock.h"
#include "base/FailureLog.h"
#include "base/GrowingBuffer.h"
#include "base/HeldFileRetry.h"
#include "base/UniqueHandle.h"
#include "fs/PathText.h"

namespace {
constexpr int kRemoveAttempts = 3;
constexpr DWORD kRemovePauseMs = 1000;
constexpr DWORD kLongPathBuffer = 1024;

// One line for a file operation that failed with `error`, read right after the failing call.
bool Failed(const std::wstring& what, DWORD error) {
  LogFailure(what + ErrorSuffix(error));
  return false;
}
}  // namespace

std::wstring LongPathOf(const std::wstring& path) {
  wchar_t longPath[kLongPathBuffer] = {};
  const DWORD n = ::GetLongPathNameW(path.c_str(), longPath, kLongPathBuffer);
  const DWORD error = ::GetLastError();
  if (n == 0) Failed(L"long form of " + path, error);
  if (n >= kLongPathBuffer) LogFailure(L"long form of " + path + L": longer than 1023 characters");
  return std::wstring(longPath);
}

std::wstring ShortPathOf(const std::wstring& path, DWORD& error) {
  error = 0;
  return ReadGrowingText([&](wchar_t* buffer, DWORD size) {
    const DWORD n = ::GetShortPathNameW(path.c_str(), buffer, size);
    if (n == 0) error = ::GetLastError();
    return n;
  });
}

bool FileExists(const std::wstring& path) {
  const DWORD needed = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return false;
  std::wstring full(needed, L'\0');
  const DWORD n = ::GetFullPathNameW(path.c_str(), needed, &full[0], nullptr);
  if (n == 0 || n >= needed) return false;
  full.resize(n);
  // The search would read "*" or "?" in a name as a pattern and find some other file.
  if (full.find_first_of(L"*?") != std::wstring::npos) return false;
  WIN32_FIND_DATAW data;
  UniqueFindHandle find(::FindFirstFileW(full.c_str(), &data));
  return find.valid();
}

bool IsReparsePoint(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

bool MoveFileInFolder(const std::wstring& folder, const std::wstring& oldName, const std::wstring& newName) {
  const std::wstring source = JoinInFolder(folder, oldName);
  const std::wstring target = JoinInFolder(folder, newName);
  const std::wstring what = L"move " + source + L" to " + target;
  const DWORD error = AttemptWhileHeld(HeldErrors::kFileChange, what, [&]() -> DWORD {
    ::SetFileAttributesW(source.c_str(), FILE_ATTRIBUTE_NORMAL);  // a read-only file moves too
    return ::MoveFileW(source.c_str(), target.c_str()) ? 0 : ::GetLastError();
  });
  return error == 0 || Failed(what, error);
}

bool DeleteFileInFolder(const std::wstring& folder, const std::wstring& name) {
  const std::wstring path = JoinInFolder(folder, name);
  const std::wstring what = L"delete " + path;
  const DWORD error = AttemptWhileHeld(HeldErrors::kFileChange, what, [&]() -> DWORD {
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);  // a read-only file goes too
    return ::DeleteFileW(path.c_str()) ? 0 : ::GetLastError();
  });
  return error == 0 || error == ERROR_FILE_NOT_FOUND || Failed(what, error);
}

bool CreateFolderPath(const std::wstring& path) {
  std::wstring::size_type p = path.find(L'\\');
  if (p == std::wstring::npos) return true;
  // The text before the first backslash (a drive) is never created itself.
  for (;;) {
    const std::wstring::size_type next = path.find(L'\\', p + 1);
    const std::wstring::size_type end = (next == std::wstring::npos) ? path.size() : next;
    const std::wstring prefix = path.substr(0, end);
    if (!::CreateDirectoryW(prefix.c_str(), nullptr)) {
      const DWORD error = ::GetLastError();
      if (error != ERROR_ALREADY_EXISTS) return Failed(L"create folder " + prefix, error);
    }
    if (next == std::wstring::npos) return true;
    p = next;
  }
}

bool DeleteFolder(const std::wstring& folder) {
  WIN32_FIND_DATAW data;
  // A junction, symbolic link or mount point is removed as a link: the files it shows belong
  // to whatever it points to.
  if (!IsReparsePoint(folder)) {
    UniqueFindHandle find(::FindFirstFileW((folder + L"\\*.*").c_str(), &data));
    if (find.valid()) {
      do {
        // Subfolders are neither entered nor deleted.
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileInFolder(folder, data.cFileName);
      } while (::FindNextFileW(find.get(), &data));
    }
  }
  for (int attempt = 1; attempt <= kRemoveAttempts; ++attempt) {
    if (::RemoveDirectoryW(folder.c_str())) return true;
    const DWORD error = ::GetLastError();
    // A folder that is not there is what the callers clear it for, not a failure to report;
    // nothing a pause could change, so no retry waits for it.
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return false;
    if (attempt == kRemoveAttempts) return Failed(L"remove folder " + folder, error);
    clock_seam::SleepFor(kRemovePauseMs);
  }
  return false;
}

bool RemoveLinkedFolders(const std::wstring& folder) {
  std::wstring parent, name;
  SplitPath(folder, parent, name);
  for (const std::wstring& level : {WithoutTrailingBackslash(parent), folder}) {
    if (level.empty() || !IsReparsePoint(level)) continue;
    // A link to a folder goes with RemoveDirectoryW, a link to a file with DeleteFileW; neither
    // touches the target.
    if (!::RemoveDirectoryW(level.c_str()) && !::DeleteFileW(level.c_str())) {
      const DWORD error = ::GetLastError();
      return Failed(L"remove link " + level, error);
    }
  }
  return true;
}

bool CopyFileToFolder(const std::wstring& source, const std::wstring& folder) {
  const std::wstring target = folder + L"\\" + FileNameOf(source);
  ::SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);  // an existing read-only copy is replaced
  if (::CopyFileW(source.c_str(), target.c_str(), FALSE)) return true;
  const DWORD error = ::GetLastError();
  return Failed(L"copy " + source + L" to " + target, error);
}
