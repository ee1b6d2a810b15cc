#include "description/AnsiWidening.h"

std::wstring WidenAnsi(const AnsiToWideFunction& ansiToWide, const std::string& text) {
  const std::string upToNul(text.c_str());
  if (ansiToWide) return ansiToWide(upToNul);
  std::wstring wide;
  wide.reserve(upToNul.size());
  for (const char c : upToNul) wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
  return wide;
}
