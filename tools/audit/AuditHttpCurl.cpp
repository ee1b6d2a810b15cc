// The audit's requests over libcurl, shaped like the ones WinINet sends for the bootstrapper's
// flags: "Accept: */*", the user agent and "Pragma: no-cache" (and the probe's Range), nothing
// else of our own. Certificates are checked with libcurl's defaults, plus a CA file if given.
#include <curl/curl.h>

#include <cctype>
#include <memory>

#include "download/HttpRules.h"
#include "download/ProbeAnswer.h"
#include "tools/audit/AuditHttp.h"
#include "tools/audit/ToolText.h"

namespace {

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

std::wstring Widened(const std::string& text) { return std::wstring(text.begin(), text.end()); }

// What one transfer collects from libcurl's callbacks.
struct Exchange {
  HttpAnswer answer;
  const BodySink* body = nullptr;
  bool stoppedOnPurpose = false;  // the body was not (or no longer) wanted
};

void OnField(const std::string& name, const std::string& value, HttpAnswer& answer) {
  if (name == "content-length") {
    answer.hasLength = true;
    answer.contentLength = BootstrapperContentLength(value);
  } else if (name == "content-range") {
    answer.contentRange = Widened(value);
  } else if (name == "transfer-encoding") {
    answer.chunked = Lower(value).find("chunked") != std::string::npos;
  } else if (name == "etag") {
    answer.hasEtag = true;
  } else if (name == "last-modified") {
    answer.hasLastModified = true;
  }
}

// Each header line of the response.
std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* user) {
  auto& exchange = *static_cast<Exchange*>(user);
  const std::string line(data, size * count);
  if (line.compare(0, 5, "HTTP/") == 0) {
    exchange.answer = HttpAnswer();  // an interim answer's fields do not count
    exchange.answer.answered = true;
    const std::size_t blank = line.find(' ');
    exchange.answer.status = blank == std::string::npos ? 0 : std::atoi(line.c_str() + blank + 1);
    return size * count;
  }
  const std::size_t colon = line.find(':');
  if (colon == std::string::npos) return size * count;
  std::string value = line.substr(colon + 1);
  while (!value.empty() && (value.back() == '\r' || value.back() == '\n')) value.pop_back();
  const std::size_t start = value.find_first_not_of(" \t");
  OnField(Lower(line.substr(0, colon)), start == std::string::npos ? "" : value.substr(start),
          exchange.answer);
  return size * count;
}

std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* user) {
  auto& exchange = *static_cast<Exchange*>(user);
  // Without a sink only the headers are read; returning short ends the transfer here.
  if (exchange.body == nullptr || !*exchange.body || FollowsRedirect(exchange.answer)) {
    exchange.stoppedOnPurpose = true;
    return 0;
  }
  exchange.answer.bodyBytes += size * count;
  if (!(*exchange.body)(data, size * count)) {
    exchange.stoppedOnPurpose = true;
    return 0;
  }
  return size * count;
}

class CurlAuditHttp : public AuditHttp {
 public:
  explicit CurlAuditHttp(const AuditHttpSettings& settings) : settings_(settings) {
    curl_global_init(CURL_GLOBAL_DEFAULT);
    plain_.reset(curl_slist_append(nullptr, "Pragma: no-cache"));
    const std::string range = Utf8(kFirstByteOnly);
    probe_.reset(curl_slist_append(curl_slist_append(nullptr, "Pragma: no-cache"),
                                   range.substr(0, range.find('\r')).c_str()));
  }
  ~CurlAuditHttp() override { curl_global_cleanup(); }

  HttpAnswer Get(const std::wstring& url, Ask ask, const BodySink& body) override {
    Exchange exchange;
    exchange.body = &body;
    const UniqueCurl curl(curl_easy_init());
    if (!curl) {
      exchange.answer.failure = "libcurl could not start a transfer";
      return exchange.answer;
    }
    const std::string address = Utf8(url);
    char error[CURL_ERROR_SIZE] = {};
    Prepare(curl.get(), address, ask == Ask::kFirstByte ? probe_.get() : plain_.get(), exchange, error);
    const CURLcode result = curl_easy_perform(curl.get());
    HttpAnswer& answer = exchange.answer;
    if (result == CURLE_OK) {
      answer.bodyComplete = true;
    } else if (!(result == CURLE_WRITE_ERROR && exchange.stoppedOnPurpose)) {
      answer.timedOut = result == CURLE_OPERATION_TIMEDOUT;
      answer.failure = error[0] != '\0' ? error : curl_easy_strerror(result);
    }
    char* next = nullptr;
    if (curl_easy_getinfo(curl.get(), CURLINFO_REDIRECT_URL, &next) == CURLE_OK && next != nullptr) {
      answer.location = Widened(next);
    }
    return answer;
  }

 private:
  void Prepare(CURL* handle, const std::string& address, curl_slist* headers, Exchange& exchange,
               char* error) const {
    curl_easy_setopt(handle, CURLOPT_URL, address.c_str());
    curl_easy_setopt(handle, CURLOPT_USERAGENT, agent_.c_str());
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 0L);  // the audit walks the hops itself
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    if (!settings_.caFile.empty()) curl_easy_setopt(handle, CURLOPT_CAINFO, settings_.caFile.c_str());
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    // A stalled server: no connection within the time-out, or no byte for that long.
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, static_cast<long>(settings_.timeoutSeconds));
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, static_cast<long>(settings_.timeoutSeconds));
    curl_easy_setopt(handle, CURLOPT_HEADERFUNCTION, OnHeader);
    curl_easy_setopt(handle, CURLOPT_HEADERDATA, &exchange);
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, OnBody);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &exchange);
    curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, error);
  }

  AuditHttpSettings settings_;
  std::string agent_ = Utf8(http_rules::kUserAgent);
  UniqueHeaderList plain_;
  UniqueHeaderList probe_;
};

}  // namespace

bool AuditHttpTakesCaFile() { return true; }

std::unique_ptr<AuditHttp> MakeAuditHttp(const AuditHttpSettings& settings) {
  return std::make_unique<CurlAuditHttp>(settings);
}
