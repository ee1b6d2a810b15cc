// The audit's requests over WinINet with the bootstrapper's session (agent, access type) and
// request flags. The request is opened in steps rather than with InternetOpenUrlW because
// only a request handle of our own takes a receive time-out (WinINet gives the connection
// that InternetOpenUrlW makes none); the audit's tests check that the headers on the wire are
// the same.
#include <vector>

#include "download/Downloader.h"
#include "download/HttpRules.h"
#include "download/HttpSession.h"
#include "tools/AuditHttp.h"

namespace {

static_assert(http_rules::kRequestFlags == (INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                                            INTERNET_FLAG_HYPERLINK | INTERNET_FLAG_PRAGMA_NOCACHE),
              "request flags");

constexpr DWORD kReadSize = 64 * 1024;

std::string WinInetFailure(DWORD error) {
  return error == ERROR_INTERNET_TIMEOUT ? "timed out" : "WinINet error " + std::to_string(error);
}

void SetTimeouts(HINTERNET handle, DWORD milliseconds) {
  for (const DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                             INTERNET_OPTION_RECEIVE_TIMEOUT}) {
    ::InternetSetOptionW(handle, option, &milliseconds, sizeof(milliseconds));
  }
}

bool HasHeader(HINTERNET request, DWORD query) {
  wchar_t value[64];
  DWORD length = sizeof(value);
  DWORD index = 0;
  return ::HttpQueryInfoW(request, query, value, &length, &index) != FALSE;
}

int StatusCode(HINTERNET request) {
  DWORD status = 0;
  DWORD length = sizeof(status);
  DWORD index = 0;
  if (!::HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &length, &index)) {
    return 0;
  }
  return static_cast<int>(status);
}

struct UrlParts {
  std::wstring host;
  INTERNET_PORT port = 0;
  std::wstring pathAndQuery;
};

bool CrackUrl(const std::wstring& url, UrlParts& parts) {
  URL_COMPONENTSW components = {};
  components.dwStructSize = sizeof(components);
  components.dwHostNameLength = 1;  // non-zero: point into the URL
  components.dwUrlPathLength = 1;
  components.dwExtraInfoLength = 1;
  if (!::InternetCrackUrlW(url.c_str(), 0, 0, &components) || components.lpszHostName == nullptr) return false;
  parts.host.assign(components.lpszHostName, components.dwHostNameLength);
  parts.port = components.nPort;
  if (components.lpszUrlPath) parts.pathAndQuery.assign(components.lpszUrlPath, components.dwUrlPathLength);
  if (components.lpszExtraInfo) parts.pathAndQuery.append(components.lpszExtraInfo, components.dwExtraInfoLength);
  if (parts.pathAndQuery.empty()) parts.pathAndQuery = L"/";
  return true;
}

void ReadBody(HINTERNET request, const BodySink& body, HttpAnswer& answer) {
  std::vector<char> buffer(kReadSize);
  for (;;) {
    DWORD count = 0;
    if (!::InternetReadFile(request, buffer.data(), kReadSize, &count)) {
      const DWORD error = ::GetLastError();
      answer.timedOut = error == ERROR_INTERNET_TIMEOUT;
      answer.failure = WinInetFailure(error);
      return;
    }
    if (count == 0) {
      answer.bodyComplete = true;
      return;
    }
    answer.bodyBytes += count;
    body(buffer.data(), count);
  }
}

// Fills `answer` from a sent request: status, length, and the body when one is wanted.
void ReadAnswer(HINTERNET request, const BodySink& body, HttpAnswer& answer) {
  answer.answered = true;
  answer.status = StatusCode(request);
  answer.hasLength = HasHeader(request, HTTP_QUERY_CONTENT_LENGTH);
  answer.contentLength = QueryContentLength(request);
  if (body) ReadBody(request, body, answer);
}

class WinInetAuditHttp : public AuditHttp {
 public:
  explicit WinInetAuditHttp(int timeoutSeconds)
      : timeoutMs_(static_cast<DWORD>(timeoutSeconds) * 1000) {}

  HttpAnswer Get(const std::wstring& url, const BodySink& body) override {
    const ULONGLONG started = ::GetTickCount64();
    HttpAnswer answer = Request(url, body);
    // Wine ends a receive that waited the whole time-out as an aborted connection.
    if (!answer.failure.empty() && ::GetTickCount64() - started >= timeoutMs_) answer.timedOut = true;
    return answer;
  }

 private:
  HttpAnswer Request(const std::wstring& url, const BodySink& body) {
    HttpAnswer answer;
    UrlParts parts;
    if (!CrackUrl(url, parts)) {
      answer.failure = "not a URL";
      return answer;
    }
    const UniqueInternetHandle session = OpenInternetSession();
    if (!session) return Failed(answer);
    SetTimeouts(session.get(), timeoutMs_);
    const UniqueInternetHandle connection(::InternetConnectW(
        session.get(), parts.host.c_str(), parts.port, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection) return Failed(answer);
    const wchar_t* acceptTypes[] = {L"*/*", nullptr};
    const UniqueInternetHandle request(::HttpOpenRequestW(connection.get(), L"GET", parts.pathAndQuery.c_str(),
                                                          nullptr, nullptr, acceptTypes,
                                                          http_rules::kRequestFlags, 0));
    if (!request) return Failed(answer);
    SetTimeouts(request.get(), timeoutMs_);
    if (!::HttpSendRequestW(request.get(), nullptr, 0, nullptr, 0)) return Failed(answer);
    ReadAnswer(request.get(), body, answer);
    return answer;
  }

  static HttpAnswer& Failed(HttpAnswer& answer) {
    const DWORD error = ::GetLastError();
    answer.timedOut = error == ERROR_INTERNET_TIMEOUT;
    answer.failure = WinInetFailure(error);
    return answer;
  }

  DWORD timeoutMs_;
};

}  // namespace

std::unique_ptr<AuditHttp> MakeAuditHttp(int timeoutSeconds) {
  return std::make_unique<WinInetAuditHttp>(timeoutSeconds);
}
