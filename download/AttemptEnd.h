#pragma once
// How one attempt at a request ended, and the one wording of it that every failure line uses
// (the transfer's attempts, the length probes, the acquisition). Plain values: built natively too.
#include <cstdint>
#include <string>

// Why an attempt failed. The detail holds the Win32 error, the HTTP status or the number the
// comment names.
enum class AttemptFailure {
  kNone,
  kNoConnection,          // no attempt made: the machine has no Internet connection
  kNoWorker,              // Win32 error: no attempt made, the worker thread was not created
  kTargetNotCreated,      // Win32 error
  kTargetNotEmptied,      // Win32 error: the kept bytes could not be cut for a whole file
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

struct AttemptEnd {
  AttemptFailure failure = AttemptFailure::kNone;  // kNone: success
  std::uint32_t detail = 0;
  bool succeeded() const { return failure == AttemptFailure::kNone; }
};

// What a failure line says of `failure` after its step and URL; empty for kNone.
std::wstring AttemptReason(AttemptFailure failure, std::uint32_t detail);
