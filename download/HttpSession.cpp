#include "download/HttpSession.h"

#include <vector>

#include "download/Downloader.h"
#include "download/HttpRules.h"

namespace {
// INTERNET_OPEN_TYPE_PRECONFIG_WITH_NO_AUTOPROXY: the system's settings, no proxy discovery.
constexpr DWORD kAccessType = 4;
// Reload, no cache write, hyperlink, no-cache pragma: every request reaches the server.
constexpr DWORD kRequestFlags = http_rules::kRequestFlags;
static_assert(kRequestFlags == (INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                                INTERNET_FLAG_HYPERLINK | INTERNET_FLAG_PRAGMA_NOCACHE),
              "request flags");
// What InternetOpenUrlW asks for, so the request stays as it always was.
const wchar_t* const kAcceptTypes[] = {L"*/*", nullptr};
constexpr DWORD kRequestTimeoutMs = 30000;
DWORD requestTimeoutMs = kRequestTimeoutMs;

const DWORD kTimeoutOptions[] = {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                                 INTERNET_OPTION_RECEIVE_TIMEOUT};

void SetTimeouts(HINTERNET handle) { SetRequestTimeouts(handle, requestTimeoutMs); }

struct UrlParts {
  std::wstring host;
  INTERNET_PORT port = 0;
  std::wstring object;  // path and query
  bool secure = false;
};

bool SplitUrl(const std::wstring& url, UrlParts& parts) {
  std::vector<wchar_t> host(url.size() + 1), path(url.size() + 1), extra(url.size() + 1);
  URL_COMPONENTSW components = {};
  components.dwStructSize = sizeof(components);
  components.lpszHostName = host.data();
  components.dwHostNameLength = static_cast<DWORD>(host.size());
  components.lpszUrlPath = path.data();
  components.dwUrlPathLength = static_cast<DWORD>(path.size());
  components.lpszExtraInfo = extra.data();
  components.dwExtraInfoLength = static_cast<DWORD>(extra.size());
  if (!::InternetCrackUrlW(url.c_str(), static_cast<DWORD>(url.size()), 0, &components)) return false;
  if (components.nScheme != INTERNET_SCHEME_HTTP && components.nScheme != INTERNET_SCHEME_HTTPS) {
    return false;
  }
  parts.host = host.data();
  parts.port = components.nPort;
  parts.object = std::wstring(path.data()) + extra.data();
  parts.secure = components.nScheme == INTERNET_SCHEME_HTTPS;
  return !parts.host.empty();
}
}  // namespace

void SetRequestTimeouts(HINTERNET handle, DWORD milliseconds) {
  for (DWORD option : kTimeoutOptions) {
    DWORD value = milliseconds;
    ::InternetSetOptionW(handle, option, &value, sizeof(value));
  }
}

bool InternetConnected() {
  DWORD flags = 0;
  return ::InternetGetConnectedState(&flags, 0) != FALSE;
}

UniqueInternetHandle OpenInternetSession() {
  UniqueInternetHandle session(::InternetOpenW(http_rules::kUserAgent, kAccessType, nullptr, nullptr, 0));
  // Windows hands these down to every request of the session.
  if (session) SetTimeouts(session.get());
  return session;
}

UniqueInternetHandle OpenGetRequest(HINTERNET session, const std::wstring& url,
                                    UniqueInternetHandle& connection) {
  UrlParts parts;
  if (!SplitUrl(url, parts)) return UniqueInternetHandle();
  connection.reset(::InternetConnectW(session, parts.host.c_str(), parts.port, nullptr, nullptr,
                                      INTERNET_SERVICE_HTTP, 0, 0));
  if (!connection) return UniqueInternetHandle();
  const DWORD flags = kRequestFlags | (parts.secure ? INTERNET_FLAG_SECURE : 0);
  UniqueInternetHandle request(::HttpOpenRequestW(connection.get(), L"GET", parts.object.c_str(),
                                                  nullptr, nullptr, const_cast<LPCWSTR*>(kAcceptTypes), flags, 0));
  // Wine takes time-outs only from the request itself, and only before it is sent.
  if (request) SetTimeouts(request.get());
  return request;
}

bool SendRequest(HINTERNET request, const std::wstring& headers) {
  return ::HttpSendRequestW(request, headers.empty() ? nullptr : headers.c_str(),
                            static_cast<DWORD>(headers.size()), nullptr, 0) != FALSE;
}

DWORD QueryStatusCode(HINTERNET request) {
  DWORD status = 0;
  DWORD size = sizeof(status);
  DWORD index = 0;
  if (!::HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                        &index)) {
    return 0;
  }
  return status;
}

bool IsSuccessStatus(DWORD status) { return status >= 200 && status <= 299; }

bool QueryAnnouncedLength(HINTERNET request, DWORD& length) {
  if (request == nullptr) return false;
  DWORD value = 0;
  DWORD size = sizeof(value);
  DWORD index = 0;
  if (!::HttpQueryInfoW(request, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &value,
                        &size, &index)) {
    return false;
  }
  length = value;
  return true;
}

DWORD QueryContentLength(HINTERNET request) {
  DWORD length = 0;
  return QueryAnnouncedLength(request, length) ? length : 0;
}

DWORD SetRequestTimeoutForTesting(DWORD milliseconds) {
  const DWORD previous = requestTimeoutMs;
  requestTimeoutMs = milliseconds ? milliseconds : kRequestTimeoutMs;
  return previous;
}
