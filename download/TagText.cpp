#include "download/TagText.h"

#include "base/AsciiText.h"

namespace {
// Position of the single occurrence of `needle`; npos when it is missing or not unique.
std::wstring::size_type FindOnly(const std::wstring& text, const std::wstring& needle) {
  const std::wstring::size_type first = text.find(needle);
  if (first == std::wstring::npos) return first;
  if (text.find(needle, first + 1) != std::wstring::npos) return std::wstring::npos;
  return first;
}
}  // namespace

std::wstring ExtractTagText(std::wstring text, std::wstring tag) {
  text = UpperAscii(std::move(text));
  tag = UpperAscii(std::move(tag));
  const std::wstring open = L"<" + tag + L">";
  const std::wstring close = L"</" + tag + L">";
  const std::wstring::size_type i = FindOnly(text, open);
  if (i == std::wstring::npos) return std::wstring();
  const std::wstring::size_type j = FindOnly(text, close);
  if (j == std::wstring::npos) return std::wstring();
  const std::wstring::size_type start = i + open.size();
  if (j < start) return std::wstring();
  return text.substr(start, j - start);
}
