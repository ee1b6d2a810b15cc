#pragma once
// One URL asked as the bootstrapper asks it: the length probe, then the GET, each through its
// redirects; and the report lines that come of the answers, one function each.
#include <cstdint>
#include <string>
#include <vector>

#include "tools/audit/AuditRedirects.h"

struct UrlAnswers {
  std::wstring url;
  FollowedAnswer probe;  // "Range: bytes=0-0", headers only
  bool getAsked = false;
  FollowedAnswer get;    // a plain GET; not asked when the probe got no answer
  // The length the bootstrapper's probe reads: 0 also when a redirect on the way would stop it.
  std::uint32_t probedLength = 0;
  bool titled404 = false;      // the bootstrapper's transfer drops the body's start
  std::string redirectProblem; // a hop the bootstrapper cannot take
  bool ignoresRange = false;   // the probe was answered with the whole file
  std::vector<std::string> warnings;  // what costs or risks something, without stopping a user
};

// Asks `url` (probe, then GET). The GET's body goes to `more` as well; it is read to its end
// when `wholeBody`, otherwise only as far as the title check looks.
UrlAnswers AskUrl(AuditHttp& http, const std::wstring& url, const std::wstring& scheme,
                  bool wholeBody, const BodySink& more);

// The GET's answers, or the probe's when the GET was not asked.
const FollowedAnswer& Shown(const UrlAnswers& asked);

// Why the bootstrapper's transfer of this URL fails before its length and digest are
// compared; empty when it would not.
std::string TransferProblem(const UrlAnswers& asked);

// The report lines, each empty when the answers give no cause.
// A hop to another scheme than the one the build requests.
std::string SchemeChangeProblem(const std::vector<RedirectHop>& hops, const std::wstring& scheme);
// The probe's total against the GET's Content-Length.
std::string RangeTotalWarning(const HttpAnswer& probe, const HttpAnswer& get);
// Neither ETag nor Last-Modified: nothing to resume an interrupted transfer against.
std::string ResumeWarning(const HttpAnswer& get);
// The line for a host whose probes cost a whole GET.
std::string RangeIgnoredWarning(const std::wstring& host);
