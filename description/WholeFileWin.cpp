#include "description/WholeFile.h"

#include <windows.h>

#include <algorithm>

#include "base/UniqueHandle.h"

std::optional<std::string> ReadWholeFile(const std::wstring& path, std::size_t limit) {
  const UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                            OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  LARGE_INTEGER size{};
  if (!file || !::GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0) return std::nullopt;
  const unsigned long long length = std::min<unsigned long long>(size.QuadPart, limit);
  if (length > std::string().max_size()) return std::nullopt;
  std::string contents;
  // Memory that cannot be had ends the process (Setup.exe has no exceptions to report it with).
  contents.resize(static_cast<std::size_t>(length));
  // ReadFile takes a 32-bit count: large files come in several reads.
  std::size_t done = 0;
  while (done < contents.size()) {
    const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(contents.size() - done, 1u << 30));
    DWORD read = 0;
    if (!::ReadFile(file.get(), &contents[done], wanted, &read, nullptr) || read == 0) return std::nullopt;
    done += read;
  }
  return contents;
}
