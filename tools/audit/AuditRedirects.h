#pragma once
// Every redirect between a URL the bootstrapper requests and the answer it gets, walked by the
// audit so that each hop can be shown.
#include <string>
#include <vector>

#include "tools/audit/AuditHttp.h"

// A redirect loop must end; no real mirror chains this many.
inline constexpr std::size_t kMaxRedirectHops = 30;

struct RedirectHop {
  int status = 0;
  std::wstring location;  // absolute
  bool schemeChanges = false;  // against the URL this hop answered
  bool hostChanges = false;    // host or port
};

struct FollowedAnswer {
  std::vector<RedirectHop> hops;  // in order; empty when the first answer was the last
  HttpAnswer answer;              // of the last request
  bool tooManyHops = false;       // the walk gave up: the answer is that of a redirect
};

// "http" of "http://host/path", lower-cased; empty without "://".
std::wstring SchemeOf(const std::wstring& url);
// "host:port" of "scheme://user@host:port/path", lower-cased; empty without "://".
std::wstring HostOf(const std::wstring& url);
// `url` with its scheme replaced by `scheme`.
std::wstring WithScheme(const std::wstring& scheme, const std::wstring& url);

// GETs `url` and every URL it is redirected to; the body comes from the last one only.
FollowedAnswer Follow(AuditHttp& http, const std::wstring& url, Ask ask, const BodySink& body);
