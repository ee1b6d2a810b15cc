// What makes an answer the file, judged from plain facts: the order of the refusals, the signed
// size, a body running past its length, and where the bytes of an answer to a Range go.
#include <gtest/gtest.h>

#include "download/AnswerRules.h"

namespace {

AnswerFacts Whole(std::uint32_t status, std::uint32_t length) { return AnswerFacts{status, true, length, 0, false}; }
AnswerFacts Unannounced() { return AnswerFacts{200, false, 0, 0, false}; }
AnswerFacts Titled404() { return AnswerFacts{200, true, 600, 0, true}; }
AnswerFacts Continuation() { return AnswerFacts{206, true, 80000, 120000, false}; }

struct VerdictCase {
  const char* name;
  AnswerFacts answer;
  AttemptEnd (*rule)(const AnswerFacts&);
  AttemptFailure failure;
  std::uint32_t detail;
};

AttemptEnd DigestMatches(const AnswerFacts& a) { return JudgeWholeBody(a, true); }
AttemptEnd DigestDiffers(const AnswerFacts& a) { return JudgeWholeBody(a, false); }
AttemptEnd SignedMegabyte(const AnswerFacts& a) { return SignedSizeRefusal(a, 1048576); }
AttemptEnd Unsigned(const AnswerFacts& a) { return SignedSizeRefusal(a, std::nullopt); }
AttemptEnd LastByteFits(const AnswerFacts& a) { return ChunkRefusal(a, a.length - 1, 1); }
AttemptEnd OneByteOver(const AnswerFacts& a) { return ChunkRefusal(a, a.length - 1, 2); }

class VerdictTest : public testing::TestWithParam<VerdictCase> {};

TEST_P(VerdictTest, RefusesForTheFirstReasonTheAnswerGives) {
  const VerdictCase& c = GetParam();
  const AttemptEnd end = c.rule(c.answer);
  EXPECT_EQ(end.failure, c.failure);
  EXPECT_EQ(end.detail, c.detail);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VerdictTest,
    testing::Values(
        VerdictCase{"whole_body", Whole(200, 5000), DigestMatches, AttemptFailure::kNone, 0},
        VerdictCase{"other_digest", Whole(200, 5000), DigestDiffers, AttemptFailure::kHashDiffers, 0},
        VerdictCase{"status_before_title", AnswerFacts{404, true, 600, 0, true}, DigestMatches,
                    AttemptFailure::kStatus, 404},
        VerdictCase{"title_before_length", AnswerFacts{200, false, 0, 0, true}, DigestMatches,
                    AttemptFailure::kTitle404, 0},
        VerdictCase{"no_length", Unannounced(), DigestMatches, AttemptFailure::kNoLength, 0},
        VerdictCase{"unsigned", Whole(200, 7), Unsigned, AttemptFailure::kNone, 0},
        VerdictCase{"signed_size_announced", Whole(200, 1048576), SignedMegabyte, AttemptFailure::kNone, 0},
        VerdictCase{"other_length_than_signed", Whole(200, 1048575), SignedMegabyte,
                    AttemptFailure::kSignedSizeDiffers, 1048575},
        VerdictCase{"a_continuation_counts_the_kept_bytes", AnswerFacts{206, true, 1048576 - 70000, 70000, false},
                    SignedMegabyte, AttemptFailure::kNone, 0},
        VerdictCase{"signed_size_but_no_length", Unannounced(), SignedMegabyte, AttemptFailure::kNoLength, 0},
        VerdictCase{"an_error_status_before_the_other_length", Whole(500, 1500), SignedMegabyte,
                    AttemptFailure::kStatus, 500},
        VerdictCase{"last_byte_fits", Whole(200, 1000), LastByteFits, AttemptFailure::kNone, 0},
        VerdictCase{"one_byte_past_the_length", Whole(200, 1000), OneByteOver,
                    AttemptFailure::kLongerThanAnnounced, 1000},
        // Without a length, the first byte is already one too many.
        VerdictCase{"any_byte_without_a_length", Unannounced(), LastByteFits, AttemptFailure::kNoLength, 0}),
    [](const testing::TestParamInfo<VerdictCase>& info) { return std::string(info.param.name); });

TEST(FileIsStartTest, OnlyAFileFromItsFirstByteCanBeContinued) {
  const struct {
    const char* name;
    AnswerFacts answer;
    bool start;
  } cases[] = {
      {"whole file", Whole(200, 5000), true},
      {"the continuation asked for", Continuation(), true},
      {"a 206 nobody asked for", Whole(206, 5000), false},
      {"an error status", Whole(500, 5000), false},
      {"no length", Unannounced(), false},
      {"a dropped 404 page", Titled404(), false},
  };
  for (const auto& c : cases) EXPECT_EQ(FileIsStart(c.answer), c.start) << c.name;
}

TEST(PlaceAnswerTest, KeptBytesAreContinuedOnlyByTheirOwnRest) {
  const ResumePoint kept{120000, 200000, L"\"v1\""};
  const AnswerFacts rest{206, true, 80000, 0, false};
  const struct {
    const char* name;
    AnswerFacts answer;
    bool resuming;
    const wchar_t* contentRange;
    Placement placement;
    AttemptFailure failure;
    std::uint32_t detail;
  } cases[] = {
      {"nothing kept", Whole(200, 5000), false, L"", Placement::kFromStart, AttemptFailure::kNone, 0},
      {"range ignored: a whole file", Whole(200, 200000), true, L"", Placement::kOverKept, AttemptFailure::kNone, 0},
      {"the rest", rest, true, L"bytes 120000-199999/200000", Placement::kAfterKept, AttemptFailure::kNone, 0},
      {"another start", rest, true, L"bytes 100000-179999/200000", Placement::kRefused, AttemptFailure::kRangeStart,
       120000},
      {"another file", rest, true, L"bytes 120000-199999/200001", Placement::kRefused, AttemptFailure::kRangeTotal,
       200000},
      {"no range", rest, true, L"", Placement::kRefused, AttemptFailure::kRangeUnusable, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const PlaceVerdict verdict = PlaceAnswer(c.answer, c.resuming ? std::optional<ResumePoint>(kept) : std::nullopt,
                                             c.contentRange);
    EXPECT_EQ(verdict.placement, c.placement);
    EXPECT_EQ(verdict.end.failure, c.failure);
    EXPECT_EQ(verdict.end.detail, c.detail);
  }
}

}  // namespace
