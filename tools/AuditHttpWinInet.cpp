// The audit's requests over WinINet, made by the bootstrapper's own session and request
// functions; only the time-out is the audit's. The audit's tests check the headers on the wire.
#include <vector>

#include "download/HttpRules.h"
#include "download/HttpSession.h"
#include "tools/AuditHttp.h"

namespace {

constexpr DWORD kReadSize = 64 * 1024;

std::string WinInetFailure(DWORD error) {
  return error == ERROR_INTERNET_TIMEOUT ? "timed out" : "WinINet error " + std::to_string(error);
}

bool HasHeader(HINTERNET request, DWORD query) {
  wchar_t value[64];
  DWORD length = sizeof(value);
  DWORD index = 0;
  return ::HttpQueryInfoW(request, query, value, &length, &index) != FALSE;
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
  answer.status = static_cast<int>(QueryStatusCode(request));
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
    const UniqueInternetHandle session = OpenInternetSession();
    if (!session) return Failed(answer);
    const GetRequest opened = OpenGetRequest(session.get(), url);
    if (!opened.request) {
      answer.failure = "not a URL, or no connection could be made";
      return answer;
    }
    const HINTERNET request = opened.request.get();
    // The audit's own time-out, in place of the bootstrapper's 30 s.
    SetRequestTimeouts(request, timeoutMs_);
    if (!SendRequest(request, std::wstring())) return Failed(answer);
    ReadAnswer(request, body, answer);
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
