#include "download/LengthProbe.h"

#include <cwchar>

#include "base/FailureLog.h"
#include "download/HttpRules.h"
#include "download/HttpSession.h"

namespace {
// Asks for the first byte only. A server that serves ranges answers 206 and names the whole
// length after the slash of its Content-Range; one that does not answers 200 with the whole
// body, whose Content-Length is that length. Dropping a request with body left unread makes
// WinINet drain it to keep the connection (Wine does so even when the server closes it), so a
// plain GET would cost the server the whole file.
const wchar_t kFirstByteOnly[] = L"Range: bytes=0-0\r\n";
constexpr DWORD kPartialContent = 206;

// LENGTH of "bytes FIRST-LAST/LENGTH"; 0 when unknown ("*"), missing or malformed.
DWORD CompleteLength(HINTERNET request) {
  wchar_t text[80] = {};
  DWORD size = sizeof(text);
  DWORD index = 0;
  if (!::HttpQueryInfoW(request, HTTP_QUERY_CONTENT_RANGE, text, &size, &index)) return 0;
  const wchar_t* slash = std::wcschr(text, L'/');
  if (slash == nullptr || slash[1] < L'0' || slash[1] > L'9') return 0;
  wchar_t* end = nullptr;
  const unsigned long long value = std::wcstoull(slash + 1, &end, 10);
  if (*end != L'\0' || value > 0xFFFFFFFFull) return 0;
  return static_cast<DWORD>(value);
}

// The length an answered request names for the whole file.
ProbeOutcome LengthOfAnswer(HINTERNET request) {
  ProbeOutcome outcome;
  const DWORD status = QueryStatusCode(request);
  if (status == kPartialContent) {
    outcome.length = CompleteLength(request);
  } else if (IsSuccessStatus(status)) {
    outcome.length = QueryContentLength(request);
  } else {
    // An error page is not the file, whatever its length.
    return ProbeOutcome{0, ProbeFailure::kStatus, status};
  }
  if (outcome.length == 0) outcome.failure = ProbeFailure::kNoLength;
  return outcome;
}

ProbeOutcome Probe(const std::wstring& url) {
  const UniqueInternetHandle session = OpenInternetSession();
  if (!session) return ProbeOutcome{0, ProbeFailure::kNoSession, ::GetLastError()};
  const GetRequest opened = OpenGetRequest(session.get(), url);
  if (!opened.request) return ProbeOutcome{0, ProbeFailure::kNoRequest, opened.error};
  if (!SendRequest(opened.request.get(), kFirstByteOnly)) {
    return ProbeOutcome{0, ProbeFailure::kNoAnswer, ::GetLastError()};
  }
  return LengthOfAnswer(opened.request.get());
}

std::wstring Reason(const ProbeOutcome& outcome) {
  const std::wstring detail = std::to_wstring(outcome.detail);
  switch (outcome.failure) {
    case ProbeFailure::kNone: break;
    case ProbeFailure::kNoSession: return L"no Internet session, error " + detail;
    case ProbeFailure::kNoRequest: return L"request not opened, error " + detail;
    case ProbeFailure::kNoAnswer: return L"error " + detail;
    case ProbeFailure::kStatus: return L"status " + detail;
    case ProbeFailure::kNoLength: return L"no length in the answer";
  }
  return std::wstring();
}
}  // namespace

ProbeOutcome ProbeLength(const std::wstring& url) {
  const ProbeOutcome outcome = Probe(url);
  if (outcome.failure != ProbeFailure::kNone) LogFailure(L"probe " + http_rules::UrlForLog(url) + L": " + Reason(outcome));
  return outcome;
}

DWORD ProbeContentLength(std::wstring url) { return ProbeLength(url).length; }

