// The audit's requests over WinINet, made by the bootstrapper's own session and request
// functions; only the time-out is the audit's, and redirects are left to the audit's own walk.
// The audit's tests check the headers on the wire.
#include <vector>

#include "download/HttpRules.h"
#include "download/HttpSession.h"
#include "download/ProbeAnswer.h"
#include "tools/audit/AuditHttp.h"

namespace {

constexpr DWORD kReadSize = 64 * 1024;

std::string WinInetFailure(DWORD error) {
  return error == ERROR_INTERNET_TIMEOUT ? "timed out" : "WinINet error " + std::to_string(error);
}

// A header's text; false when the answer has none.
bool QueryText(HINTERNET request, DWORD query, std::wstring& text) {
  std::vector<wchar_t> value(256);
  DWORD length = static_cast<DWORD>(value.size() * sizeof(wchar_t));
  DWORD index = 0;
  if (!::HttpQueryInfoW(request, query, value.data(), &length, &index)) {
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER) return false;
    value.resize(length / sizeof(wchar_t) + 1);
    index = 0;
    if (!::HttpQueryInfoW(request, query, value.data(), &length, &index)) return false;
  }
  text.assign(value.data());
  return true;
}

bool HasHeader(HINTERNET request, DWORD query) {
  std::wstring ignored;
  return QueryText(request, query, ignored);
}

// `relative` read against `base`, as a redirect takes it.
std::wstring Absolute(const std::wstring& base, const std::wstring& relative) {
  std::vector<wchar_t> combined(base.size() + relative.size() + 2);
  DWORD length = static_cast<DWORD>(combined.size());
  if (!::InternetCombineUrlW(base.c_str(), relative.c_str(), combined.data(), &length, ICU_NO_ENCODE)) {
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER) return relative;
    combined.resize(length + 1);
    length = static_cast<DWORD>(combined.size());
    if (!::InternetCombineUrlW(base.c_str(), relative.c_str(), combined.data(), &length, ICU_NO_ENCODE)) return relative;
  }
  return combined.data();
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
    if (!body(buffer.data(), count)) return;
  }
}

// Fills `answer` from a sent request: status, headers, and the body when one is wanted.
void ReadAnswer(HINTERNET request, const std::wstring& url, const BodySink& body, HttpAnswer& answer) {
  answer.answered = true;
  answer.status = static_cast<int>(QueryStatusCode(request));
  answer.hasLength = HasHeader(request, HTTP_QUERY_CONTENT_LENGTH);
  answer.contentLength = QueryContentLength(request);
  QueryText(request, HTTP_QUERY_CONTENT_RANGE, answer.contentRange);
  std::wstring text;
  if (QueryText(request, HTTP_QUERY_LOCATION, text)) answer.location = Absolute(url, text);
  answer.chunked = QueryText(request, HTTP_QUERY_TRANSFER_ENCODING, text) &&
                   text.find(L"chunked") != std::wstring::npos;
  answer.hasEtag = HasHeader(request, HTTP_QUERY_ETAG);
  answer.hasLastModified = HasHeader(request, HTTP_QUERY_LAST_MODIFIED);
  if (body && !FollowsRedirect(answer)) ReadBody(request, body, answer);
}

class WinInetAuditHttp : public AuditHttp {
 public:
  explicit WinInetAuditHttp(int timeoutSeconds)
      : timeoutMs_(static_cast<DWORD>(timeoutSeconds) * 1000) {}

  HttpAnswer Get(const std::wstring& url, Ask ask, const BodySink& body) override {
    const ULONGLONG started = ::GetTickCount64();
    HttpAnswer answer = Request(url, ask, body);
    // Wine ends a receive that waited the whole time-out as an aborted connection.
    if (!answer.failure.empty() && ::GetTickCount64() - started >= timeoutMs_) answer.timedOut = true;
    return answer;
  }

 private:
  HttpAnswer Request(const std::wstring& url, Ask ask, const BodySink& body) {
    HttpAnswer answer;
    const UniqueInternetHandle session = OpenInternetSession();
    if (!session) return Failed(answer);
    const GetRequest opened = OpenGetRequest(session.get(), url, INTERNET_FLAG_NO_AUTO_REDIRECT);
    if (!opened.request) {
      answer.failure = "not a URL, or no connection could be made";
      return answer;
    }
    const HINTERNET request = opened.request.get();
    // The audit's own time-out, in place of the bootstrapper's 30 s.
    SetRequestTimeouts(request, timeoutMs_);
    if (!SendRequest(request, ask == Ask::kFirstByte ? kFirstByteOnly : std::wstring())) return Failed(answer);
    ReadAnswer(request, url, body, answer);
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

bool AuditHttpTakesCaFile() { return false; }

std::unique_ptr<AuditHttp> MakeAuditHttp(const AuditHttpSettings& settings) {
  return std::make_unique<WinInetAuditHttp>(settings.timeoutSeconds);
}
