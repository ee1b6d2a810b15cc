#include "base/SystemLibrary.h"

#include <string>

#include "base/FailureLog.h"
#include "base/GrowingBuffer.h"

namespace {
using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);

std::wstring Widened(const char* ascii) { return std::wstring(ascii, ascii + std::char_traits<char>::length(ascii)); }

// The reason line of RestrictLibrarySearch, without the runtime: no allocation, no formatting
// library, only kernel32.
void LogEarlyFailure(const wchar_t* what, DWORD error) {
  wchar_t line[128] = L"Setup: ";
  std::size_t at = 7;
  for (; *what != L'\0' && at < 100; ++what) line[at++] = *what;
  for (const wchar_t* c = L" (error "; *c != L'\0'; ++c) line[at++] = *c;
  wchar_t digits[10];
  int count = 0;
  do {
    digits[count++] = static_cast<wchar_t>(L'0' + error % 10);
    error /= 10;
  } while (error != 0);
  while (count > 0) line[at++] = digits[--count];
  line[at++] = L')';
  line[at++] = L'\n';
  line[at] = L'\0';
  ::OutputDebugStringW(line);
}

// Windows 7 without its update knows no LOAD_LIBRARY_SEARCH_* flag: the library is named by its
// full path in the system folder, and its own imports are looked for beside it.
HMODULE LoadByFullPath(const wchar_t* library) {
  const std::wstring folder =
      ReadGrowingText([](wchar_t* buffer, std::uint32_t size) { return ::GetSystemDirectoryW(buffer, size); });
  if (folder.empty()) return nullptr;
  return ::LoadLibraryExW((folder + L"\\" + library).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

// Null with the last error set when `library` is not in the system folder.
HMODULE LoadFromSystemFolder(const wchar_t* library) {
  const HMODULE module = ::LoadLibraryExW(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (module != nullptr || ::GetLastError() != ERROR_INVALID_PARAMETER) return module;
  return LoadByFullPath(library);
}
}  // namespace

void RestrictLibrarySearch() {
  // Only kernel32 here: the runtime is not started yet.
  const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
  const auto narrow = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
      reinterpret_cast<void (*)()>(::GetProcAddress(kernel, "SetDefaultDllDirectories")));
  if (narrow == nullptr) {
    LogEarlyFailure(L"no SetDefaultDllDirectories: libraries are named by their full path", ::GetLastError());
  } else if (narrow(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
    return;
  } else {
    LogEarlyFailure(L"library search not narrowed to the system folder", ::GetLastError());
  }
  // The current folder leaves the search; the program's own folder stays, for its imports, which
  // are all known DLLs.
  ::SetDllDirectoryW(L"");
}

HMODULE LoadSystemLibrary(const wchar_t* library) {
  const HMODULE module = LoadFromSystemFolder(library);
  if (module == nullptr) {
    const DWORD error = ::GetLastError();
    LogFailure(std::wstring(library) + L" not loaded from the system folder" + ErrorSuffix(error));
    ::SetLastError(error);
    return nullptr;
  }
  return module;
}

FARPROC SystemProcedure(const wchar_t* library, const char* name) {
  const HMODULE module = LoadSystemLibrary(library);
  if (module == nullptr) return nullptr;
  const FARPROC address = ::GetProcAddress(module, name);
  if (address != nullptr) return address;
  const DWORD error = ::GetLastError();
  LogFailure(std::wstring(library) + L" has no " + Widened(name) + ErrorSuffix(error));
  ::SetLastError(error);
  return nullptr;
}

void Missing(const wchar_t* library, const char* name, DWORD error) {
  LogFailure(Widened(name) + L" of " + library + L" cannot be called" + ErrorSuffix(error));
  ::SetLastError(error);
}
