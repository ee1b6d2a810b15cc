#pragma once
// Text rules of the description format that need no state.
#include <string>

// White space the format trims: space, tab, CR, LF, vertical tab, form feed.
bool IsDescriptionSpace(wchar_t c);
std::wstring TrimDescriptionSpace(const std::wstring& text);
// ASCII letters upper-cased, every other character kept: positions stay the same.
std::wstring UpperAscii(std::wstring text);
// Removes each "//" and what follows it up to (not including) the next line feed.
std::wstring WithoutComments(const std::wstring& text);
// Line `index` of `body` (split at line feeds; empty past the last line).
std::wstring LineAt(const std::wstring& body, int index);
