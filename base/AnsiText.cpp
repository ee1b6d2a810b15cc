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

bool ConvertsExactlyToAnsi(const std::wstring& text) {
  if (text.empty()) return true;
  const int length = static_cast<int>(text.size());
  // UTF-8 as the ANSI code page has every character; it only refuses broken surrogates, and
  // takes neither the best-fit flag nor the used-default report.
  if (::GetACP() == CP_UTF8) {
    return ::WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), length, nullptr, 0, nullptr, nullptr) > 0;
  }
  // Converted into a buffer, not merely counted, so the used-default report covers every
  // character; an ANSI code page takes at most two bytes a character.
  std::string bytes(text.size() * 2, '\0');
  BOOL usedDefault = FALSE;
  const int n = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length, &bytes[0],
                                      static_cast<int>(bytes.size()), nullptr, &usedDefault);
  return n > 0 && !usedDefault;
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
