#include "download/ErrorPage.h"

#include "download/TagText.h"

bool TitleSays404(const std::wstring& text) {
  return ExtractTagText(text, L"TITLE").find(L"404") != std::wstring::npos;
}
