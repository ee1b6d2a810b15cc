#include "download/HttpSession.h"

#include "download/Downloader.h"

namespace {
const wchar_t kUserAgent[] = L"Velmar's Downloader";
// INTERNET_OPEN_TYPE_PRECONFIG_WITH_NO_AUTOPROXY: the system's settings, no proxy discovery.
constexpr DWORD kAccessType = 4;
// Reload, no cache write, hyperlink, no-cache pragma: every request reaches the server.
constexpr DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                                INTERNET_FLAG_HYPERLINK | INTERNET_FLAG_PRAGMA_NOCACHE;
static_assert(kRequestFlags == 0x84000500, "request flags");
}  // namespace

bool InternetConnected() {
  DWORD flags = 0;
  return ::InternetGetConnectedState(&flags, 0) != FALSE;
}

UniqueInternetHandle OpenInternetSession() {
  return UniqueInternetHandle(::InternetOpenW(kUserAgent, kAccessType, nullptr, nullptr, 0));
}

UniqueInternetHandle OpenUrlRequest(HINTERNET session, const std::wstring& url) {
  return UniqueInternetHandle(
      ::InternetOpenUrlW(session, url.c_str(), nullptr, 0, kRequestFlags, 0));
}

DWORD QueryContentLength(HINTERNET request) {
  if (request == nullptr) return 0;
  DWORD value = 0;
  DWORD length = sizeof(value);
  DWORD index = 0;
  if (!::HttpQueryInfoW(request, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &value,
                        &length, &index)) {
    return 0;
  }
  return value;
}

DWORD ProbeContentLength(std::wstring url) {
  const UniqueInternetHandle session = OpenInternetSession();
  if (!session) return 0;
  // A full GET: only the headers are read, the body is dropped with the handle.
  const UniqueInternetHandle request = OpenUrlRequest(session.get(), url);
  if (!request) return 0;
  return QueryContentLength(request.get());
}
