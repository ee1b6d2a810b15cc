// Test tool: a stand-in on-access scanner. It waits until the file it is given can be opened
// without sharing (its writer has closed it), holds it so for the given milliseconds, as a
// scanner does while it reads a new program, and writes "held" to LOG-FILE when it let go.
// Usage: scanner.exe FILE HOLD-MS LOG-FILE   (gives up after two minutes)
#include <windows.h>

#include <fstream>
#include <string>

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) return 2;
  const DWORD holdMs = static_cast<DWORD>(std::stoul(argv[2]));
  const DWORD start = ::GetTickCount();
  while (::GetTickCount() - start < 120000) {
    HANDLE file = ::CreateFileW(argv[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      ::Sleep(holdMs);
      ::CloseHandle(file);
      std::ofstream(argv[3]) << "held\n";
      return 0;
    }
    ::Sleep(1);
  }
  return 1;
}
