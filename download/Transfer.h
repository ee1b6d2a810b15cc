#pragma once
// One transfer from a URL to a file: up to 4 attempts, each with backup, body, checks and
// clean-up. The read loop and the retries live here; what makes an answer the file is
// download/AnswerRules, the backup download/TargetBackup.
#include <windows.h>

#include <atomic>
#include <optional>
#include <string>

#include "download/AttemptEnd.h"

struct TransferOutcome {
  bool succeeded = false;
  int attempts = 0;                                 // attempts made
  AttemptFailure failure = AttemptFailure::kNone;  // of the last failed attempt (AttemptReason words it)
  DWORD detail = 0;
};

// Up to 4 attempts, 2000 ms apart (no pause after the last one, nor after a write failure,
// which ends the transfer). An existing target is kept under its name + " Before Download" and
// put back when an attempt fails. Succeeds when the server answered with a 2xx
// status and a Content-Length, and the file on disk has that length. An attempt ends failed as
// soon as more bytes come than were announced, and when fewer than 1024 bytes came in 60 s.
// When a body of a file with a validator broke off after at least 64 KB, in a target that held
// nothing before, the bytes stay and the next attempt asks for the rest (Range and If-Range):
// a 206 that continues them is appended, a 200 replaces them, any other answer fails.
// `window` and `cancel` may be null. With `expectedSha256` (64 lower-case hexadecimal digits),
// an attempt also fails when the SHA-256 of the bytes it wrote differs, or could not be taken;
// the bytes are hashed as they are written, never read back. Every failed attempt writes one
// line through LogFailure. With `signedSize`, an attempt whose answer announces another length
// (or none) fails as soon as the headers are in, before a byte of the body is read or written;
// so no read goes past that size.
TransferOutcome TransferUrlToFile(const std::wstring& url, const std::wstring& target, HWND window,
                                  const std::atomic<bool>* cancel,
                                  const std::string& expectedSha256 = std::string(),
                                  std::optional<DWORD> signedSize = std::nullopt);
