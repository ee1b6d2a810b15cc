// The audit's requests over libcurl, shaped like the ones WinINet sends for the bootstrapper's
// flags: "Accept: */*", the user agent and "Pragma: no-cache", nothing else of our own.
#include <curl/curl.h>

#include <cctype>
#include <memory>

#include "download/HttpRules.h"
#include "tools/AuditHttp.h"
#include "tools/ToolText.h"

namespace {

// A redirect loop must end; no real mirror chains this many.
constexpr long kMaxRedirects = 30;

struct CurlDeleter {
  void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct HeaderListDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using UniqueCurl = std::unique_ptr<CURL, CurlDeleter>;
using UniqueHeaderList = std::unique_ptr<curl_slist, HeaderListDeleter>;

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// What one transfer collects from libcurl's callbacks.
struct Exchange {
  HttpAnswer answer;
  const BodySink* body = nullptr;
  bool stoppedAfterHeaders = false;
};

// Each header line of each response (redirects included): the last response's status and
// length count, so both are reset at every status line.
std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* user) {
  auto& exchange = *static_cast<Exchange*>(user);
  const std::string line(data, size * count);
  if (line.compare(0, 5, "HTTP/") == 0) {
    exchange.answer.answered = true;
    exchange.answer.hasLength = false;
    exchange.answer.contentLength = 0;
    const std::size_t blank = line.find(' ');
    exchange.answer.status = blank == std::string::npos ? 0 : std::atoi(line.c_str() + blank + 1);
    return size * count;
  }
  const std::size_t colon = line.find(':');
  if (colon != std::string::npos && Lower(line.substr(0, colon)) == "content-length") {
    std::string value = line.substr(colon + 1);
    while (!value.empty() && (value.back() == '\r' || value.back() == '\n')) value.pop_back();
    exchange.answer.hasLength = true;
    exchange.answer.contentLength = BootstrapperContentLength(value);
  }
  return size * count;
}

std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* user) {
  auto& exchange = *static_cast<Exchange*>(user);
  if (exchange.body == nullptr || !*exchange.body) {
    // The probe reads the headers only; returning short ends the transfer here.
    exchange.stoppedAfterHeaders = true;
    return 0;
  }
  exchange.answer.bodyBytes += size * count;
  (*exchange.body)(data, size * count);
  return size * count;
}

class CurlAuditHttp : public AuditHttp {
 public:
  explicit CurlAuditHttp(int timeoutSeconds) : timeoutSeconds_(timeoutSeconds) {
    curl_global_init(CURL_GLOBAL_DEFAULT);
    headers_.reset(curl_slist_append(nullptr, "Pragma: no-cache"));
  }
  ~CurlAuditHttp() override { curl_global_cleanup(); }

  HttpAnswer Get(const std::wstring& url, const BodySink& body) override {
    Exchange exchange;
    exchange.body = &body;
    const UniqueCurl curl(curl_easy_init());
    if (!curl) {
      exchange.answer.failure = "libcurl could not start a transfer";
      return exchange.answer;
    }
    const std::string agent = Utf8(http_rules::kUserAgent);
    const std::string address = Utf8(url);
    char error[CURL_ERROR_SIZE] = {};
    CURL* handle = curl.get();
    curl_easy_setopt(handle, CURLOPT_URL, address.c_str());
    curl_easy_setopt(handle, CURLOPT_USERAGENT, agent.c_str());
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers_.get());
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);  // WinINet follows redirects too
    curl_easy_setopt(handle, CURLOPT_MAXREDIRS, kMaxRedirects);
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http");
    curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "http");
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    // A stalled server: no connection within the time-out, or no byte for that long.
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, static_cast<long>(timeoutSeconds_));
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, static_cast<long>(timeoutSeconds_));
    curl_easy_setopt(handle, CURLOPT_HEADERFUNCTION, OnHeader);
    curl_easy_setopt(handle, CURLOPT_HEADERDATA, &exchange);
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, OnBody);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &exchange);
    curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, error);
    const CURLcode result = curl_easy_perform(handle);
    HttpAnswer& answer = exchange.answer;
    if (result == CURLE_OK) {
      answer.bodyComplete = true;
    } else if (!(result == CURLE_WRITE_ERROR && exchange.stoppedAfterHeaders)) {
      answer.timedOut = result == CURLE_OPERATION_TIMEDOUT;
      answer.failure = error[0] != '\0' ? error : curl_easy_strerror(result);
    }
    return answer;
  }

 private:
  int timeoutSeconds_;
  UniqueHeaderList headers_;
};

}  // namespace

std::unique_ptr<AuditHttp> MakeAuditHttp(int timeoutSeconds) {
  return std::make_unique<CurlAuditHttp>(timeoutSeconds);
}
