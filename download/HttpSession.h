#pragma once
// How every transfer and probe talks to a server: the same agent, access type, flags and
// time-outs.
#include <string>

#include "download/InternetHandle.h"

// Whether the system reports a connection to the Internet.
bool InternetConnected();

// A fresh Internet handle with the system's preconfigured settings and the time-outs; empty on
// failure.
UniqueInternetHandle OpenInternetSession();

// A GET on a connection of its own. The request is declared last, so it is closed first.
struct GetRequest {
  UniqueInternetHandle connection;
  UniqueInternetHandle request;
  DWORD error = 0;  // when `request` is empty: the Win32 error of the step that failed
};

// A GET of `url` that bypasses every cache, prepared but not yet sent, with the connect, send
// and receive time-outs on it. A user name and password in the URL (user:password@host) go to
// the connection, which answers the server's challenge with them. The request is empty when the
// URL cannot be read or a handle cannot be opened. `extraFlags` are for the audit only (it walks
// redirects itself).
GetRequest OpenGetRequest(HINTERNET session, const std::wstring& url, DWORD extraFlags = 0);

// Sends a prepared request with `headers` (lines ending in CR LF, may be empty) and waits for
// the answer's headers. False when no answer came (no server, refused, DNS, time-out).
bool SendRequest(HINTERNET request, const std::wstring& headers);

// Status code of an answered request; 0 when unreadable.
DWORD QueryStatusCode(HINTERNET request);

// The Content-Length of an answered request; false when absent or unreadable.
bool QueryAnnouncedLength(HINTERNET request, DWORD& length);
// The same as a number: 0 for a null handle or a missing or unreadable header.
DWORD QueryContentLength(HINTERNET request);

// The text of one header of an answered request (an HTTP_QUERY_ value, such as HTTP_QUERY_ETAG);
// empty when absent or unreadable.
std::wstring QueryHeaderText(HINTERNET request, DWORD query);

// Sets the connect, send and receive time-outs of `handle` to `milliseconds`; on a request, before
// it is sent (Wine takes them only then).
void SetRequestTimeouts(HINTERNET handle, DWORD milliseconds);

// The connect, send and receive time-out in milliseconds, 30 s unless a test shortened it
// (0 restores it). Returns the value it replaced.
DWORD SetRequestTimeoutForTesting(DWORD milliseconds);
