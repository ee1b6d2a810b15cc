#include "download/LengthProbe.h"

#include "base/FailureLog.h"
#include "download/AttemptEnd.h"
#include "download/HttpRules.h"
#include "download/HttpSession.h"
#include "download/ProbeAnswer.h"

namespace {
// The length an answered request names for the whole file.
ProbeOutcome LengthOfAnswer(HINTERNET request) {
  const DWORD status = QueryStatusCode(request);
  // An error page is not the file, whatever its length.
  if (!http_rules::IsSuccessStatus(status)) return ProbeOutcome{0, ProbeFailure::kStatus, status};
  ProbeOutcome outcome;
  outcome.length =
      ProbedLength(status, QueryHeaderText(request, HTTP_QUERY_CONTENT_RANGE), QueryContentLength(request));
  if (outcome.length == 0) outcome.failure = ProbeFailure::kNoLength;
  return outcome;
}

// Asks for the first byte only: dropping a plain GET with its body unread makes WinINet drain
// the body to keep the connection (Wine does so even when the server closes it), so it would
// cost the server the whole file.
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

// Worded as a transfer's attempt words the same cause; only the length has a rule of its own.
std::wstring Reason(const ProbeOutcome& outcome) {
  switch (outcome.failure) {
    case ProbeFailure::kNone: break;
    case ProbeFailure::kNoSession: return AttemptReason(AttemptFailure::kNoSession, outcome.detail);
    case ProbeFailure::kNoRequest: return AttemptReason(AttemptFailure::kNoRequest, outcome.detail);
    case ProbeFailure::kNoAnswer: return AttemptReason(AttemptFailure::kNoAnswer, outcome.detail);
    case ProbeFailure::kStatus: return AttemptReason(AttemptFailure::kStatus, outcome.detail);
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

