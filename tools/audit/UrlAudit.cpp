#include "tools/audit/UrlAudit.h"

#include "download/ErrorPage.h"
#include "download/ProbeAnswer.h"
#include "tools/audit/ToolText.h"

namespace {

// The first bytes of a body, as many as the bootstrapper's title check looks at. Widened byte
// for byte: only the tag letters and the digits need to survive.
class BodyStart {
 public:
  void Add(const char* bytes, std::size_t count) {
    for (std::size_t i = 0; i < count && text_.size() < kTitleCheckBytes; ++i) {
      text_.push_back(static_cast<wchar_t>(static_cast<unsigned char>(bytes[i])));
    }
  }
  bool Full() const { return text_.size() >= kTitleCheckBytes; }
  bool Says404() const { return TitleSays404(text_); }

 private:
  std::wstring text_;
};

std::string HopText(const RedirectHop& hop) {
  return std::to_string(hop.status) + " to " + Utf8(hop.location);
}

}  // namespace

std::string SchemeChangeProblem(const std::vector<RedirectHop>& hops, const std::wstring& scheme) {
  for (const RedirectHop& hop : hops) {
    if (SchemeOf(hop.location) == scheme) continue;
    if (scheme == L"http") {
      return "redirected to another scheme (" + HopText(hop) + "): Setup.exe built for http stops there on "
             "Windows (WinINet error 12039); serve it over http, or build Setup.exe with "
             "-DSETUP_URL_SCHEME=https and audit with --scheme https";
    }
    return "redirected to another scheme (" + HopText(hop) + "): Setup.exe built for https never "
           "falls back to http; serve it over https";
  }
  return std::string();
}

std::string RangeTotalWarning(const HttpAnswer& probe, const HttpAnswer& get) {
  if (probe.status != 206 || !get.hasLength) return std::string();
  const std::uint32_t total = CompleteLength(probe.contentRange);
  if (total == get.contentLength) return std::string();
  return "the Range probe names " + std::to_string(total) + " bytes, a plain GET's Content-Length " +
         std::to_string(get.contentLength) + ": Setup.exe sizes with the first, downloads with the second";
}

std::string ResumeWarning(const HttpAnswer& get) {
  const bool served = get.answered && get.status >= 200 && get.status <= 299;
  if (!served || get.hasEtag || get.hasLastModified) return std::string();
  return "neither ETag nor Last-Modified: an interrupted transfer cannot resume";
}

std::string RangeIgnoredWarning(const std::wstring& host) {
  return "host " + Utf8(host) +
         " ignores Range: sizing costs a whole GET per file";
}

UrlAnswers AskUrl(AuditHttp& http, const std::wstring& url, const std::wstring& scheme,
                  bool wholeBody, const BodySink& more) {
  UrlAnswers asked;
  asked.url = url;
  asked.probe = Follow(http, url, Ask::kFirstByte, BodySink());
  // A hop the bootstrapper cannot take stops its probe there, whatever comes after it.
  asked.redirectProblem = SchemeChangeProblem(asked.probe.hops, scheme);
  if (!asked.probe.answer.answered) return asked;
  BodyStart start;
  asked.getAsked = true;
  asked.get = Follow(http, url, Ask::kWhole, [&](const char* bytes, std::size_t count) {
    start.Add(bytes, count);
    if (more && !more(bytes, count)) return false;
    return wholeBody || !start.Full();
  });
  asked.titled404 = start.Says404();
  const bool probeStops = asked.probe.tooManyHops || !asked.redirectProblem.empty();
  if (asked.redirectProblem.empty()) asked.redirectProblem = SchemeChangeProblem(asked.get.hops, scheme);
  const HttpAnswer& probe = asked.probe.answer;
  if (!probeStops) {
    asked.probedLength = ProbedLength(static_cast<std::uint32_t>(probe.status), probe.contentRange,
                                      probe.contentLength);
  }
  asked.ignoresRange = probe.status >= 200 && probe.status <= 299 && probe.status != 206;
  for (const std::string& line : {RangeTotalWarning(probe, asked.get.answer), ResumeWarning(asked.get.answer)}) {
    if (!line.empty()) asked.warnings.push_back(line);
  }
  return asked;
}

const FollowedAnswer& Shown(const UrlAnswers& asked) {
  return asked.getAsked ? asked.get : asked.probe;
}

std::string TransferProblem(const UrlAnswers& asked) {
  if (!asked.redirectProblem.empty()) return asked.redirectProblem;
  const FollowedAnswer& shown = Shown(asked);
  const HttpAnswer& answer = shown.answer;
  if (!answer.answered) {
    // The GET is not asked when the probe found no server.
    const HttpAnswer& failed = asked.probe.answer.answered ? answer : asked.probe.answer;
    return failed.timedOut ? "timed out" : "no answer (" + failed.failure + ")";
  }
  if (shown.tooManyHops) return "more than " + std::to_string(kMaxRedirectHops) + " redirects";
  if (answer.status < 200 || answer.status > 299) return "status " + std::to_string(answer.status);
  if (asked.titled404) return "a page titled 404: Setup.exe drops it";
  if (!answer.hasLength) {
    return answer.chunked ? "served chunked without a Content-Length: Setup.exe refuses it" : "no Content-Length";
  }
  return std::string();
}
