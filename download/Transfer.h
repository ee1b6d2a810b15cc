#pragma once
// One transfer from a URL to a file: up to 4 attempts, each with backup, body, checks and
// clean-up.
#include <windows.h>

#include <atomic>
#include <optional>
#include <string>

// Why an attempt failed. The detail of the outcome holds the Win32 error, the HTTP status or
// the number the comment names.
enum class AttemptFailure {
  kNone,
  kTargetNotCreated,      // Win32 error
  kNoSession,             // Win32 error
  kNoRequest,             // Win32 error: the URL cannot be used or a handle not opened
  kNoAnswer,              // Win32 error: no server, refused, DNS, time-out
  kReadFailed,            // Win32 error
  kStalled,               // fewer than 1024 bytes in 60 s
  kCancelled,
  kLongerThanAnnounced,   // the Content-Length
  kStatus,                // the HTTP status, not a 2xx
  kNoLength,              // the answer has no Content-Length
  kTitle404,              // a page titled 404 was dropped, so the length never matched
  kLengthDiffers,         // the bytes on disk when the grace time ran out
  kSizeUnreadable,        // Win32 error
  kHashDiffers,           // the bytes written have another SHA-256
  kSignedSizeDiffers,     // the Content-Length, which is not the size the description signed
  kWriteFailed,           // Win32 error; no further attempt follows
  kRangeStart,            // the offset asked for: the 206 starts elsewhere
  kRangeTotal,            // the first length: the 206 belongs to a file of another length
  kRangeUnusable,         // a 206 without the rest of the file in its Content-Range and Content-Length
  kKeptUnreadable,        // Win32 error, reading the kept bytes to hash them
};

struct TransferOutcome {
  bool succeeded = false;
  int attempts = 0;                                 // attempts made
  AttemptFailure failure = AttemptFailure::kNone;  // of the last failed attempt
  DWORD detail = 0;
};

// Up to 4 attempts, 2000 ms apart. An existing target is kept under its name + " Before
// Download" and put back when an attempt fails. Succeeds when the server answered with a 2xx
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

// The same, true when it succeeded.
bool DownloadUrlToFile(std::wstring url, std::wstring target, HWND window,
                       const std::atomic<bool>* cancel, const std::string& expectedSha256 = std::string(),
                       std::optional<DWORD> signedSize = std::nullopt);
