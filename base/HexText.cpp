#include "base/HexText.h"

int HexDigitValue(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  return -1;
}

std::optional<std::vector<unsigned char>> DecodeHex(std::string_view digits) {
  if (digits.size() % 2 != 0) return std::nullopt;
  std::vector<unsigned char> bytes;
  bytes.reserve(digits.size() / 2);
  for (std::size_t i = 0; i < digits.size(); i += 2) {
    // Through unsigned char: a byte above 0x7F is no digit on either width of wchar_t.
    const int high = HexDigitValue(static_cast<unsigned char>(digits[i]));
    const int low = HexDigitValue(static_cast<unsigned char>(digits[i + 1]));
    if (high < 0 || low < 0) return std::nullopt;
    bytes.push_back(static_cast<unsigned char>(high * 16 + low));
  }
  return bytes;
}
