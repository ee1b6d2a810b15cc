#include "download/HttpSession.h"

#include <vector>

#include "base/AsciiText.h"
#include "download/HttpRules.h"
#include "download/WinInetFunctions.h"

namespace {
// INTERNET_OPEN_TYPE_PRECONFIG_WITH_NO_AUTOPROXY: the system's settings, no proxy discovery.
constexpr DWORD kAccessType = 4;
// Reload, no cache write, hyperlink, no-cache pragma: every request reaches the server.
constexpr DWORD kRequestFlags = http_rules::kRequestFlags;
static_assert(kRequestFlags == (INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                                INTERNET_FLAG_HYPERLINK | INTERNET_FLAG_PRAGMA_NOCACHE),
              "request flags");
// Added for an https URL; nothing ever waives a check of the server's certificate.
constexpr DWORD kSecureFlag = http_rules::kSecureFlag;
static_assert(kSecureFlag == INTERNET_FLAG_SECURE, "secure flag");
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
  std::wstring user;    // empty: none
  std::wstring password;
  bool secure = false;
};

// One buffer per component, each able to hold the whole URL.
struct UrlBuffers {
  explicit UrlBuffers(std::size_t size) : host(size), path(size), extra(size), user(size), password(size) {}
  std::vector<wchar_t> host, path, extra, user, password;
};

void PointAt(LPWSTR& text, DWORD& length, std::vector<wchar_t>& buffer) {
  text = buffer.data();
  length = static_cast<DWORD>(buffer.size());
}

// The Win32 error when the URL cannot be used, 0 when `parts` holds it.
DWORD SplitUrl(const std::wstring& url, UrlParts& parts) {
  UrlBuffers b(url.size() + 1);
  URL_COMPONENTSW components = {};
  components.dwStructSize = sizeof(components);
  PointAt(components.lpszHostName, components.dwHostNameLength, b.host);
  PointAt(components.lpszUrlPath, components.dwUrlPathLength, b.path);
  PointAt(components.lpszExtraInfo, components.dwExtraInfoLength, b.extra);
  PointAt(components.lpszUserName, components.dwUserNameLength, b.user);
  PointAt(components.lpszPassword, components.dwPasswordLength, b.password);
  if (!wininet::InternetCrackUrlW(url.c_str(), static_cast<DWORD>(url.size()), 0, &components)) {
    return ::GetLastError();
  }
  if (components.nScheme != INTERNET_SCHEME_HTTP && components.nScheme != INTERNET_SCHEME_HTTPS) {
    return ERROR_INTERNET_UNRECOGNIZED_SCHEME;
  }
  parts.host = b.host.data();
  parts.port = components.nPort;
  parts.object = std::wstring(b.path.data()) + b.extra.data();
  parts.user = b.user.data();
  parts.password = b.password.data();
  parts.secure = components.nScheme == INTERNET_SCHEME_HTTPS;
  return parts.host.empty() ? ERROR_INTERNET_INVALID_URL : 0;
}

const wchar_t* OrNull(const std::wstring& text) { return text.empty() ? nullptr : text.c_str(); }

// The URL a request addresses: once sent, the last hop of the redirects it followed. Empty when
// unreadable.
std::wstring RequestUrl(HINTERNET request) {
  DWORD bytes = 0;
  wininet::InternetQueryOptionW(request, INTERNET_OPTION_URL, nullptr, &bytes);
  std::vector<wchar_t> url(bytes / sizeof(wchar_t) + 1);
  bytes = static_cast<DWORD>(url.size() * sizeof(wchar_t));
  if (!wininet::InternetQueryOptionW(request, INTERNET_OPTION_URL, url.data(), &bytes)) return std::wstring();
  return url.data();
}

bool IsHttpsUrl(const std::wstring& url) { return UpperAscii(url.substr(0, 8)) == L"HTTPS://"; }
}  // namespace

void SetRequestTimeouts(HINTERNET handle, DWORD milliseconds) {
  for (DWORD option : kTimeoutOptions) {
    DWORD value = milliseconds;
    wininet::InternetSetOptionW(handle, option, &value, sizeof(value));
  }
}

bool InternetConnected() {
  DWORD flags = 0;
  return wininet::InternetGetConnectedState(&flags, 0) != FALSE;
}

UniqueInternetHandle OpenInternetSession() {
  UniqueInternetHandle session(wininet::InternetOpenW(http_rules::kUserAgent, kAccessType, nullptr, nullptr, 0));
  // Windows hands these down to every request of the session.
  if (session) SetTimeouts(session.get());
  return session;
}

GetRequest OpenGetRequest(HINTERNET session, const std::wstring& url, DWORD extraFlags) {
  GetRequest opened;
  UrlParts parts;
  opened.error = SplitUrl(url, parts);
  if (opened.error != 0) return opened;
  opened.connection.reset(wininet::InternetConnectW(session, parts.host.c_str(), parts.port, OrNull(parts.user),
                                             OrNull(parts.password), INTERNET_SERVICE_HTTP, 0, 0));
  if (!opened.connection) {
    opened.error = ::GetLastError();
    return opened;
  }
  const DWORD flags = kRequestFlags | (parts.secure ? kSecureFlag : 0) | extraFlags;
  opened.request.reset(wininet::HttpOpenRequestW(opened.connection.get(), L"GET", parts.object.c_str(), nullptr,
                                          nullptr, const_cast<LPCWSTR*>(kAcceptTypes), flags, 0));
  if (!opened.request) {
    opened.error = ::GetLastError();
    return opened;
  }
  // Wine takes time-outs only from the request itself, and only before it is sent.
  SetTimeouts(opened.request.get());
  return opened;
}

bool SendRequest(HINTERNET request, const std::wstring& headers) {
  const bool secure = IsHttpsUrl(RequestUrl(request));
  if (!wininet::HttpSendRequestW(request, headers.empty() ? nullptr : headers.c_str(),
                          static_cast<DWORD>(headers.size()), nullptr, 0)) {
    return false;
  }
  // Windows stops a redirect from https to http under these flags; Wine follows it. Stopped
  // here as well, so that a secure request never ends on a plain connection.
  if (secure && !IsHttpsUrl(RequestUrl(request))) {
    ::SetLastError(ERROR_INTERNET_HTTPS_TO_HTTP_ON_REDIR);
    return false;
  }
  return true;
}

DWORD QueryStatusCode(HINTERNET request) {
  DWORD status = 0;
  DWORD size = sizeof(status);
  DWORD index = 0;
  if (!wininet::HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                        &index)) {
    return 0;
  }
  return status;
}

bool QueryAnnouncedLength(HINTERNET request, DWORD& length) {
  if (request == nullptr) return false;
  DWORD value = 0;
  DWORD size = sizeof(value);
  DWORD index = 0;
  if (!wininet::HttpQueryInfoW(request, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &value,
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

std::wstring QueryHeaderText(HINTERNET request, DWORD query) {
  // Long enough for any validator or range; a longer value is refused, never cut.
  wchar_t text[512] = {};
  DWORD size = sizeof(text) - sizeof(wchar_t);
  DWORD index = 0;
  if (request == nullptr || !wininet::HttpQueryInfoW(request, query, text, &size, &index)) return std::wstring();
  return std::wstring(text, size / sizeof(wchar_t));
}

DWORD SetRequestTimeoutForTesting(DWORD milliseconds) {
  const DWORD previous = requestTimeoutMs;
  requestTimeoutMs = milliseconds ? milliseconds : kRequestTimeoutMs;
  return previous;
}
