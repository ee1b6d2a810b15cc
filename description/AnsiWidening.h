#pragma once
// ANSI code page text to UTF-16 through the platform's conversion, with a plain byte-to-wchar
// widening when none was handed in (native tools and tests).
#include <functional>
#include <string>

using AnsiToWideFunction = std::function<std::wstring(const std::string&)>;

// Converts `text` up to its first NUL.
std::wstring WidenAnsi(const AnsiToWideFunction& ansiToWide, const std::string& text);
