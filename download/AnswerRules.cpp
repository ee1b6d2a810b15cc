#include "download/AnswerRules.h"

#include "download/ContentRange.h"
#include "download/HttpRules.h"

namespace {
constexpr std::uint32_t kPartialContent = 206;
}  // namespace

std::uint32_t FileLength(const AnswerFacts& answer) { return answer.offset + answer.length; }

AttemptEnd AnswerRefusal(const AnswerFacts& answer, AttemptEnd otherwise) {
  if (!http_rules::IsSuccessStatus(answer.status)) return AttemptEnd{AttemptFailure::kStatus, answer.status};
  if (answer.droppedTitle) return AttemptEnd{AttemptFailure::kTitle404, 0};
  if (!answer.announced) return AttemptEnd{AttemptFailure::kNoLength, 0};
  return otherwise;
}

AttemptEnd SignedSizeRefusal(const AnswerFacts& answer, std::optional<std::uint32_t> signedSize) {
  if (!signedSize || (answer.announced && FileLength(answer) == *signedSize)) return AttemptEnd{};
  return AnswerRefusal(answer, AttemptEnd{AttemptFailure::kSignedSizeDiffers, FileLength(answer)});
}

AttemptEnd ChunkRefusal(const AnswerFacts& answer, std::uint32_t received, std::uint32_t count) {
  const std::uint32_t room = answer.length > received ? answer.length - received : 0;
  if (count <= room) return AttemptEnd{};
  return AnswerRefusal(answer, AttemptEnd{AttemptFailure::kLongerThanAnnounced, answer.length});
}

AttemptEnd JudgeWholeBody(const AnswerFacts& answer, bool digestMatches) {
  return AnswerRefusal(answer, digestMatches ? AttemptEnd{} : AttemptEnd{AttemptFailure::kHashDiffers, 0});
}

bool FileIsStart(const AnswerFacts& answer) {
  const bool partial = answer.status == kPartialContent;
  return http_rules::IsSuccessStatus(answer.status) && answer.announced && !answer.droppedTitle && partial == (answer.offset > 0);
}

PlaceVerdict PlaceAnswer(const AnswerFacts& answer, const std::optional<ResumePoint>& resume,
                         const std::wstring& contentRange) {
  if (!resume) return PlaceVerdict{Placement::kFromStart, {}};
  if (answer.status != kPartialContent) return PlaceVerdict{Placement::kOverKept, {}};
  const std::optional<std::uint32_t> length = answer.announced ? std::optional<std::uint32_t>(answer.length)
                                                               : std::nullopt;
  switch (JudgeContinuation(contentRange, length, resume->offset, resume->total)) {
    case RangeVerdict::kContinues: return PlaceVerdict{Placement::kAfterKept, {}};
    case RangeVerdict::kOtherStart:
      return PlaceVerdict{Placement::kRefused, AttemptEnd{AttemptFailure::kRangeStart, resume->offset}};
    case RangeVerdict::kOtherTotal:
      return PlaceVerdict{Placement::kRefused, AttemptEnd{AttemptFailure::kRangeTotal, resume->total}};
    case RangeVerdict::kUnusable:
    case RangeVerdict::kOtherLength: break;
  }
  return PlaceVerdict{Placement::kRefused, AttemptEnd{AttemptFailure::kRangeUnusable, 0}};
}
