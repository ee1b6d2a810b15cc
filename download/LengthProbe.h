#pragma once
// How long the file behind a URL is, asked of its server at the cost of little more than the
// headers.
#include <windows.h>

#include <string>

// Why a probe found no length.
enum class ProbeFailure {
  kNone,
  kNoSession,  // detail: Win32 error
  kNoRequest,  // the URL cannot be used or no handle opened; detail: Win32 error
  kNoAnswer,   // detail: Win32 error
  kStatus,     // not a 2xx; detail: the HTTP status
  kNoLength,   // neither a Content-Length nor a Content-Range with one
};

struct ProbeOutcome {
  DWORD length = 0;  // 0 when `failure` says why
  ProbeFailure failure = ProbeFailure::kNone;
  DWORD detail = 0;
};

// The probe, with its reason; a failure also writes one line through LogFailure.
ProbeOutcome ProbeLength(const std::wstring& url);

// Length of the file a GET of `url` would bring; 0 on any failure and on an answer that is not
// a 2xx. Costs the server its headers and a byte. Callers compare it as a signed number.
DWORD ProbeContentLength(std::wstring url);
