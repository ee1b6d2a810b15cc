#include "download/ProbeAnswer.h"

#include <cwchar>

namespace {
constexpr std::uint32_t kPartialContent = 206;
}  // namespace

std::uint32_t CompleteLength(const std::wstring& contentRange) {
  const std::wstring::size_type slash = contentRange.find(L'/');
  if (slash == std::wstring::npos || slash + 1 >= contentRange.size()) return 0;
  const wchar_t* digits = contentRange.c_str() + slash + 1;
  if (*digits < L'0' || *digits > L'9') return 0;
  wchar_t* end = nullptr;
  const unsigned long long value = std::wcstoull(digits, &end, 10);
  if (*end != L'\0' || value > 0xFFFFFFFFull) return 0;
  return static_cast<std::uint32_t>(value);
}

std::uint32_t ProbedLength(std::uint32_t status, const std::wstring& contentRange,
                           std::uint32_t contentLength) {
  if (status == kPartialContent) return CompleteLength(contentRange);
  return status >= 200 && status <= 299 ? contentLength : 0;
}
