#include "base/AnsiText.h"

#include <windows.h>

std::vector<char> ToAnsiBuffer(const std::wstring& text) {
  std::vector<char> buffer(kAnsiBufferSize, '\0');
  if (!text.empty()) {
    // The output size bounds the conversion: a longer text fails rather than overruns.
    ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), buffer.data(),
                          kAnsiBufferSize, nullptr, nullptr);
  }
  return buffer;
}

int AnsiByteCount(const std::wstring& text) {
  if (text.empty()) return 0;
  return ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                               nullptr, nullptr);
}

std::wstring AnsiBytesToWide(const char* bytes, int count) {
  if (count <= 0) return std::wstring();
  const int needed = ::MultiByteToWideChar(CP_ACP, 0, bytes, count, nullptr, 0);
  if (needed <= 0) return std::wstring();
  std::wstring wide(needed, L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, bytes, count, &wide[0], needed);
  return wide;
}

std::wstring AnsiToWide(const std::string& text) {
  const std::string::size_type end = text.find('\0');
  return AnsiBytesToWide(text.data(), static_cast<int>(end == std::string::npos ? text.size() : end));
}
