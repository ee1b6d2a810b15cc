#include "base/AsciiText.h"

// Only ASCII letters change: what the program compares this way (section names, tag names) is
// ASCII, and the result must not depend on the locale the program happens to run in.
std::wstring UpperAscii(std::wstring text) {
  for (wchar_t& c : text) {
    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
  }
  return text;
}
