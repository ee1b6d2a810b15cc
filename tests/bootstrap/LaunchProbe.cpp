// Test tool started as a final setup: records its working folder in "ran.txt" after waiting
// the milliseconds that "sleep-ms.txt" (if present) holds.
#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  std::ifstream delay("sleep-ms.txt");
  const std::string ms((std::istreambuf_iterator<char>(delay)), std::istreambuf_iterator<char>());
  if (!ms.empty()) ::Sleep(static_cast<DWORD>(std::stoul(ms)));
  char folder[MAX_PATH] = {};
  ::GetCurrentDirectoryA(MAX_PATH, folder);
  std::ofstream("ran.txt") << folder;
  return 0;
}
