#pragma once
// How every transfer and probe talks to a server: the same agent, access type and flags.
#include <string>

#include "download/InternetHandle.h"

// Whether the system reports a connection to the Internet.
bool InternetConnected();

// A fresh Internet handle with the system's preconfigured settings; empty on failure.
UniqueInternetHandle OpenInternetSession();

// A GET of `url` that bypasses every cache; empty on failure (no server, refused, DNS).
UniqueInternetHandle OpenUrlRequest(HINTERNET session, const std::wstring& url);
