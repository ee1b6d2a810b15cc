#pragma once
// The audit's view of one HTTP GET, made with the bootstrapper's own request: its user agent,
// its cache-bypassing headers, redirects followed. Native builds use libcurl, Windows builds
// WinINet with the bootstrapper's own request flags.
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
  std::uint64_t bodyBytes = 0;       // received, when the body was read
  bool bodyComplete = false;         // the body was read to its end
};

// Bytes of the body as they arrive.
using BodySink = std::function<void(const char* bytes, std::size_t count)>;

class AuditHttp {
 public:
  virtual ~AuditHttp() = default;
  // A GET of `url`. Without `body` only the headers are read (as the bootstrapper's probe does);
  // with it the whole body goes there. Never waits longer than the time-out for a connection
  // or for the next data.
  virtual HttpAnswer Get(const std::wstring& url, const BodySink& body) = 0;
};

// The client of this build; `timeoutSeconds` bounds every wait of every request.
std::unique_ptr<AuditHttp> MakeAuditHttp(int timeoutSeconds);

// A Content-Length value read as WinINet's numeric query reads it: leading blanks, an optional
// sign, decimal digits up to the first other character, wrapped to 32 bits; a value beyond
// 32 bits fails the query and reads 0.
std::uint32_t BootstrapperContentLength(const std::string& value);
