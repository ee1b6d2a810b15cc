// Test tool: a stand-in on-access scanner. It waits until the file it is given can be opened
// without sharing (its writer has closed it), holds it so for the given milliseconds, as a
// scanner does while it reads a new program, and writes "held" to LOG-FILE when it let go, with
// whether the file WITNESS was there by then.
// Usage: scanner.exe FILE HOLD-MS LOG-FILE WITNESS   (gives up after two minutes)
#include <windows.h>

#include <fstream>
#include <string>

int wmain(int argc, wchar_t** argv) {
  if (argc != 5) return 2;
  const DWORD holdMs = static_cast<DWORD>(std::stoul(argv[2]));
  const DWORD start = ::GetTickCount();
  while (::GetTickCount() - start < 120000) {
    HANDLE file = ::CreateFileW(argv[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      ::Sleep(holdMs);
      const bool witness = ::GetFileAttributesW(argv[4]) != INVALID_FILE_ATTRIBUTES;
      ::CloseHandle(file);
      std::ofstream(argv[3]) << "held\nwitness\t" << (witness ? "there" : "missing") << "\n";
      return 0;
    }
    ::Sleep(1);
  }
  return 1;
}
