// A library planted beside Setup.exe under the name of one it loads, as a web page could leave it
// in a Downloads folder. Loaded, it leaves a mark: a file of its own path with ".loaded" appended.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  wchar_t path[MAX_PATH + 8] = {};
  const DWORD length = ::GetModuleFileNameW(self, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return TRUE;
  const wchar_t suffix[] = L".loaded";
  for (DWORD i = 0; i < sizeof(suffix) / sizeof(suffix[0]); ++i) path[length + i] = suffix[i];
  const HANDLE mark = ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (mark != INVALID_HANDLE_VALUE) ::CloseHandle(mark);
  return TRUE;
}
