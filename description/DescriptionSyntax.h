#pragma once
// Text rules of the description format that need no state.
#include <string>
#include <vector>

#include "base/AsciiText.h"

// White space the format trims: space, tab, CR, LF, vertical tab, form feed.
bool IsDescriptionSpace(wchar_t c);
std::wstring TrimDescriptionSpace(const std::wstring& text);
// Removes each "//" and what follows it up to (not including) the next line feed.
std::wstring WithoutComments(const std::wstring& text);
// Line `index` of `body` (split at line feeds; empty past the last line).
std::wstring LineAt(const std::wstring& body, int index);
// Every line of `text`, split at line feeds: one more than it has line feeds.
std::vector<std::wstring> SplitLines(const std::wstring& text);

// One item of "Files to download": the trimmed text before the first "->" and after it. Both
// sides stay empty when the item holds no arrow.
struct FileItem {
  bool hasArrow = false;
  std::wstring source;
  std::wstring target;
};
FileItem SplitFileItem(const std::wstring& item);

// An item of "Files to download" that a walk over the list returns true for.
struct ListedFile {
  std::wstring source;
  std::wstring target;
};
