#pragma once
// The audit's view of one HTTP GET, made with the bootstrapper's own request: its user agent,
// its cache-bypassing headers. Redirects are not followed here: the audit walks them itself
// (AuditRedirects.h), to show every hop. Native builds use libcurl, Windows builds WinINet
// with the bootstrapper's own request flags.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

struct HttpAnswer {
  bool answered = false;  // a status line came back
  bool timedOut = false;  // the connection or the data stalled past the time-out
  std::string failure;    // the transport's reason when not answered or the body broke off
  int status = 0;
  bool hasLength = false;            // a Content-Length header came
  std::uint32_t contentLength = 0;   // as the bootstrapper reads it: 0 when absent or unreadable
  std::wstring contentRange;         // the Content-Range header, empty without one
  std::wstring location;             // a Location header made absolute; empty without one
  bool chunked = false;              // Transfer-Encoding: chunked
  bool hasEtag = false;
  bool hasLastModified = false;
  std::uint64_t bodyBytes = 0;       // received, when the body was read
  bool bodyComplete = false;         // the body was read to its end
};

// Bytes of the body as they arrive; false when no more are wanted (the transfer then ends
// without a failure of its own).
using BodySink = std::function<bool(const char* bytes, std::size_t count)>;

// What a request asks for: the whole file, or its first byte as the bootstrapper's length probe.
enum class Ask { kWhole, kFirstByte };

class AuditHttp {
 public:
  virtual ~AuditHttp() = default;
  // One GET of `url`, redirects not followed. Without `body` only the headers are read; with it
  // the body goes there, unless the answer is a redirect that is followed. Never waits longer than the time-out for a connection or for the next
  // data.
  virtual HttpAnswer Get(const std::wstring& url, Ask ask, const BodySink& body) = 0;
};

struct AuditHttpSettings {
  int timeoutSeconds = 30;  // bounds every wait of every request
  std::string caFile;       // a private CA's certificates (PEM) to trust besides the usual ones
};

// Whether WinINet would follow this answer: a 301, 302, 303, 307 or 308 with a Location.
bool FollowsRedirect(const HttpAnswer& answer);

// Whether this build's client takes a CA file (libcurl does; WinINet trusts what Windows trusts).
bool AuditHttpTakesCaFile();

// The client of this build.
std::unique_ptr<AuditHttp> MakeAuditHttp(const AuditHttpSettings& settings);

// A Content-Length value read as WinINet's numeric query reads it: leading blanks, an optional
// sign, decimal digits up to the first other character, wrapped to 32 bits; a value beyond
// 32 bits fails the query and reads 0.
std::uint32_t BootstrapperContentLength(const std::string& value);
