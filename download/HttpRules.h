#pragma once
// How the bootstrapper addresses its servers and judges their answers: the one place for the
// rules that Setup.exe and the publisher's audit must apply alike.
#include <cstdint>
#include <string>

namespace http_rules {

inline constexpr wchar_t kUserAgent[] = L"Velmar's Downloader";

// The scheme of every URL the bootstrapper forms, chosen when it is built (SETUP_URL_SCHEME).
// Each choice has a namespace of its own, so a test program may link code built either way.
#if defined(SETUP_URL_SCHEME_HTTPS)
inline namespace https_build {
inline constexpr wchar_t kScheme[] = L"https://";
#else
inline namespace http_build {
inline constexpr wchar_t kScheme[] = L"http://";
#endif

// kScheme + host + path: the host is used as written (a port, even a leading path, stays). A
// description cannot hold a scheme of its own in a site item: "//" starts a comment there.
inline std::wstring Url(const std::wstring& host, const std::wstring& path) {
  return kScheme + host + path;
}
}  // namespace https_build / http_build
// The description's folder on a default host is this + the application name.
inline constexpr wchar_t kDefaultServerFolder[] = L"/downloads/Setups/";

// WinINet request flags: reload, no cache write, hyperlink, no-cache pragma, so that every
// request reaches the server (INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
// INTERNET_FLAG_HYPERLINK | INTERNET_FLAG_PRAGMA_NOCACHE; checked where wininet.h is seen).
inline constexpr std::uint32_t kRequestFlags = 0x84000500;
// Added for an https URL (INTERNET_FLAG_SECURE): the server's certificate must hold, or the
// request fails like a host that does not answer. No flag or option waives any of its checks.
inline constexpr std::uint32_t kSecureFlag = 0x00800000;

// Anything shorter is taken for an error page. A site needs more than this for its first
// listed file; a default host needs at least this for the description.
inline constexpr std::int32_t kSiteThreshold = 1000;
inline constexpr std::int32_t kDescriptionThreshold = 1000;

// Content-Length as the bootstrapper reads it: a 32-bit number, 0 when absent or unreadable,
// compared as signed.
inline bool SiteQualifies(std::uint32_t contentLength) {
  return static_cast<std::int32_t>(contentLength) > kSiteThreshold;
}
inline bool HostOffersDescription(std::uint32_t contentLength) {
  return static_cast<std::int32_t>(contentLength) >= kDescriptionThreshold;
}

// Only a 2xx answer can be the file, whatever its body.
inline bool IsSuccessStatus(std::uint32_t status) { return status >= 200 && status <= 299; }

inline std::wstring DescriptionFolder(const std::wstring& applicationName) {
  return kDefaultServerFolder + applicationName;
}

// `url` as a failure line may show it: the password of a "user:password@host" replaced by "***".
inline std::wstring UrlForLog(const std::wstring& url) {
  const std::wstring::size_type scheme = url.find(L"://");
  if (scheme == std::wstring::npos) return url;
  const std::wstring::size_type host = scheme + 3;
  const std::wstring::size_type path = url.find(L'/', host);
  const std::wstring::size_type at = url.rfind(L'@', path == std::wstring::npos ? std::wstring::npos : path);
  if (at == std::wstring::npos || at < host) return url;
  const std::wstring::size_type colon = url.find(L':', host);
  if (colon == std::wstring::npos || colon > at) return url;
  return url.substr(0, colon + 1) + L"***" + url.substr(at);
}

}  // namespace http_rules
