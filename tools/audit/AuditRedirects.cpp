#include "tools/audit/AuditRedirects.h"

namespace {
const wchar_t kSchemeEnd[] = L"://";

std::wstring Lower(std::wstring text) {
  for (wchar_t& c : text) {
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  }
  return text;
}

std::wstring::size_type AfterScheme(const std::wstring& url) {
  const std::wstring::size_type end = url.find(kSchemeEnd);
  return end == std::wstring::npos ? end : end + 3;
}
}  // namespace

std::wstring SchemeOf(const std::wstring& url) {
  const std::wstring::size_type start = AfterScheme(url);
  return start == std::wstring::npos ? std::wstring() : Lower(url.substr(0, start - 3));
}

std::wstring HostOf(const std::wstring& url) {
  std::wstring::size_type start = AfterScheme(url);
  if (start == std::wstring::npos) return std::wstring();
  const std::wstring::size_type end = url.find_first_of(L"/?#", start);
  const std::wstring authority = url.substr(start, end == std::wstring::npos ? end : end - start);
  const std::wstring::size_type at = authority.rfind(L'@');
  return Lower(at == std::wstring::npos ? authority : authority.substr(at + 1));
}

std::wstring WithScheme(const std::wstring& scheme, const std::wstring& url) {
  const std::wstring::size_type start = AfterScheme(url);
  return scheme + kSchemeEnd + (start == std::wstring::npos ? url : url.substr(start));
}

FollowedAnswer Follow(AuditHttp& http, const std::wstring& url, Ask ask, const BodySink& body) {
  FollowedAnswer followed;
  std::wstring current = url;
  for (;;) {
    followed.answer = http.Get(current, ask, body);
    const HttpAnswer& answer = followed.answer;
    if (!FollowsRedirect(answer)) return followed;
    if (followed.hops.size() == kMaxRedirectHops) {
      followed.tooManyHops = true;
      return followed;
    }
    followed.hops.push_back(RedirectHop{answer.status, answer.location,
                                        SchemeOf(answer.location) != SchemeOf(current),
                                        HostOf(answer.location) != HostOf(current)});
    current = answer.location;
  }
}
