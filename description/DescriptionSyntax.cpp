#include "description/DescriptionSyntax.h"

#include "description/DescriptionConstants.h"

bool IsDescriptionSpace(wchar_t c) {
  return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f';
}

std::wstring TrimDescriptionSpace(const std::wstring& text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsDescriptionSpace(text[begin])) ++begin;
  while (end > begin && IsDescriptionSpace(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

// One pass instead of an erase per comment: the same result (the search resumes at the kept
// line feed, which cannot begin a "//"), without cost quadratic in the number of comments.
std::wstring WithoutComments(const std::wstring& text) {
  std::wstring kept;
  kept.reserve(text.size());
  std::size_t from = 0;
  while (from < text.size()) {
    const std::size_t comment = text.find(L"//", from);
    if (comment == std::wstring::npos) {
      kept.append(text, from, std::wstring::npos);
      break;
    }
    kept.append(text, from, comment - from);
    from = text.find(L'\n', comment + 1);
  }
  return kept;
}

std::wstring LineAt(const std::wstring& body, int index) {
  const std::size_t length = body.size();
  auto lineEnd = [&](std::size_t from) {
    if (from > length) return length;
    const std::size_t feed = body.find(L'\n', from);
    return feed == std::wstring::npos ? length : feed;
  };
  std::size_t begin = 0;
  std::size_t end = lineEnd(0);
  for (int i = 0; i < index; ++i) {
    begin = end + 1;
    end = lineEnd(begin);
    if (begin > length) break;  // past the last line: every further line is empty too
  }
  return begin < end ? body.substr(begin, end - begin) : std::wstring();
}

std::vector<std::wstring> SplitLines(const std::wstring& text) {
  std::vector<std::wstring> lines;
  std::size_t from = 0;
  for (;;) {
    const std::size_t feed = text.find(L'\n', from);
    lines.push_back(text.substr(from, feed == std::wstring::npos ? std::wstring::npos : feed - from));
    if (feed == std::wstring::npos) return lines;
    from = feed + 1;
  }
}

FileItem SplitFileItem(const std::wstring& item) {
  FileItem split;
  const std::size_t arrow = item.find(kFileArrow);
  if (arrow == std::wstring::npos) return split;
  split.hasArrow = true;
  split.source = TrimDescriptionSpace(item.substr(0, arrow));
  split.target = TrimDescriptionSpace(item.substr(arrow + std::char_traits<wchar_t>::length(kFileArrow)));
  return split;
}
