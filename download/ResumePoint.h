#pragma once
// What a failed attempt leaves for the next one: the bytes already on disk, the length of the
// whole file and the validator that proves the server still has the same file. Plain values:
// built natively too.
#include <cstdint>
#include <optional>
#include <string>

// Fewer kept bytes are cheaper to fetch again than a ranged request is to get wrong.
inline constexpr std::uint64_t kMinimumKeptBytes = 64 * 1024;

struct ResumePoint {
  std::uint32_t offset = 0;  // bytes on disk, the first one to ask for
  std::uint32_t total = 0;   // the Content-Length of the answer those bytes came from
  std::wstring validator;    // sent as If-Range
};

// The validator to send in If-Range: the ETag unless it is weak (the server compares only a
// strong one), else Last-Modified; empty when neither can be used. A value holding a control
// character is refused: it would end the request header.
std::wstring ChooseValidator(const std::wstring& etag, const std::wstring& lastModified);

// The request lines that ask for the rest of the file, ending in CR LF.
std::wstring RangeRequestHeaders(const ResumePoint& point);

// What a failed attempt knew when it ended.
struct AttemptRecord {
  bool broken = false;         // the body stopped early: a read failed, stalled or ended short
  bool fileIsStart = false;    // a 2xx with a Content-Length whose bytes, title-checked, begin at 0 on disk
  std::uint32_t total = 0;     // the length of the whole file that answer belongs to
  std::wstring validator;      // of that answer; empty: none usable
  bool hadCopy = false;        // the target existed before this transfer (a backup was made)
  std::uint64_t onDisk = 0;    // bytes of the target after the attempt
};

// Where the next attempt goes on, or empty when the bytes are to be deleted as after any failed
// attempt: only a broken body of a known file, with at least kMinimumKeptBytes and not all of
// them, in a target that held nothing before.
std::optional<ResumePoint> PointToKeep(const AttemptRecord& record);
