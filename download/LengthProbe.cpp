// ProbeContentLength: the length of a file on a server, at the cost of little more than its
// headers.
#include <cwchar>

#include "download/Downloader.h"
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
}  // namespace

DWORD ProbeContentLength(std::wstring url) {
  const UniqueInternetHandle session = OpenInternetSession();
  if (!session) return 0;
  UniqueInternetHandle connection;
  const UniqueInternetHandle request = OpenGetRequest(session.get(), url, connection);
  if (!request || !SendRequest(request.get(), kFirstByteOnly)) return 0;
  const DWORD status = QueryStatusCode(request.get());
  if (status == kPartialContent) return CompleteLength(request.get());
  // An error page is not the file, whatever its length.
  if (!IsSuccessStatus(status)) return 0;
  return QueryContentLength(request.get());
}
