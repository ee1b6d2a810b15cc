#pragma once
// What makes an answer the file: judged from what its headers said and what its body brought,
// never from the connection itself. Plain values: built natively too.
#include <cstdint>
#include <optional>
#include <string>

#include "download/AttemptEnd.h"
#include "download/ResumePoint.h"

// What one answer showed.
struct AnswerFacts {
  std::uint32_t status = 0;
  bool announced = false;     // it came with a Content-Length
  std::uint32_t length = 0;   // the Content-Length; 0 without one
  std::uint32_t offset = 0;   // kept bytes it continues (a 206 answering a Range)
  bool droppedTitle = false;  // its first bytes were a page titled 404, and were not written
};

// The length of the whole file the answer belongs to: a continuation brings only its rest.
std::uint32_t FileLength(const AnswerFacts& answer);

// What the answer itself says against it, ahead of `otherwise`: its status, a page titled 404, a
// missing length. Without a length no amount is known to be right, so any byte is one too many.
AttemptEnd AnswerRefusal(const AnswerFacts& answer, AttemptEnd otherwise);

// Held against the headers, before a byte of the body is read: an answer for another length
// than the signed one (or for none) fails. Success without a signed size.
AttemptEnd SignedSizeRefusal(const AnswerFacts& answer, std::optional<std::uint32_t> signedSize);

// A chunk of `count` bytes arriving after `received` bytes of this answer: refused once the
// body would run past its Content-Length.
AttemptEnd ChunkRefusal(const AnswerFacts& answer, std::uint32_t received, std::uint32_t count);

// A body of the announced length: only a success status with a length (and the expected digest,
// when there is one) makes it the file.
AttemptEnd JudgeWholeBody(const AnswerFacts& answer, bool digestMatches);

// Whether the bytes on disk begin the file: a 2xx with a length whose first bytes were written,
// and a 206 only as the continuation that was asked for.
bool FileIsStart(const AnswerFacts& answer);

// Where the answer's bytes go.
enum class Placement {
  kFromStart,  // no kept bytes: from byte 0 of the emptied target
  kOverKept,   // a whole answer (the server ignored the range, or the file changed): cut the kept bytes
  kAfterKept,  // a 206 that continues the kept bytes
  kRefused,    // a 206 that does not: the attempt fails
};

struct PlaceVerdict {
  Placement placement = Placement::kFromStart;
  AttemptEnd end;  // why, for kRefused
};

// With kept bytes `resume`, judges the answer's status and Content-Range against them.
PlaceVerdict PlaceAnswer(const AnswerFacts& answer, const std::optional<ResumePoint>& resume,
                         const std::wstring& contentRange);
