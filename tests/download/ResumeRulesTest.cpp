// When a broken body is kept, which validator goes into If-Range, and which 206 continues it.
#include <gtest/gtest.h>

#include "download/ContentRange.h"
#include "download/ResumePoint.h"

namespace {

constexpr std::uint32_t kOffset = 65536;
constexpr std::uint32_t kTotal = 200000;
constexpr std::uint32_t kRest = kTotal - kOffset;
const std::optional<std::uint32_t> kNoLength;

struct RangeCase {
  const wchar_t* contentRange;
  std::optional<std::uint32_t> contentLength;
  RangeVerdict verdict;
};

class ContinuationTest : public testing::TestWithParam<RangeCase> {};

TEST_P(ContinuationTest, AppendsOnlyTheRestOfTheSameFile) {
  const RangeCase& c = GetParam();
  EXPECT_EQ(JudgeContinuation(c.contentRange, c.contentLength, kOffset, kTotal), c.verdict) << c.contentRange;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ContinuationTest,
    testing::Values(
        RangeCase{L"bytes 65536-199999/200000", kRest, RangeVerdict::kContinues},
        RangeCase{L" BYTES  65536-199999/200000 ", kRest, RangeVerdict::kContinues},
        RangeCase{L"bytes 65535-199999/200000", kRest + 1, RangeVerdict::kOtherStart},
        RangeCase{L"bytes 0-199999/200000", kTotal, RangeVerdict::kOtherStart},
        RangeCase{L"bytes 65536-200000/200001", kRest + 1, RangeVerdict::kOtherTotal},
        // A total beyond 32 bits must not wrap around to the first length.
        RangeCase{L"bytes 65536-4295167295/4295167296", kRest, RangeVerdict::kOtherTotal},
        RangeCase{L"bytes 65536-199998/200000", kRest - 1, RangeVerdict::kUnusable},
        RangeCase{L"bytes 65536-199999/200000", kNoLength, RangeVerdict::kOtherLength},
        RangeCase{L"bytes 65536-199999/200000", kRest - 1, RangeVerdict::kOtherLength},
        RangeCase{L"bytes 65536-199999/*", kRest, RangeVerdict::kUnusable},
        RangeCase{L"bytes */200000", kRest, RangeVerdict::kUnusable},
        RangeCase{L"", kRest, RangeVerdict::kUnusable},
        RangeCase{L"bytes 65536-65535/200000", kRest, RangeVerdict::kUnusable},
        RangeCase{L"bytes 65536-200000/200000", kRest, RangeVerdict::kUnusable},
        RangeCase{L"bytes=65536-199999/200000", kRest, RangeVerdict::kUnusable},
        RangeCase{L"bytes65536-199999/200000", kRest, RangeVerdict::kUnusable},
        RangeCase{L"bytes 65536-199999/200000x", kRest, RangeVerdict::kUnusable},
        RangeCase{L"items 65536-199999/200000", kRest, RangeVerdict::kUnusable},
        RangeCase{L"bytes +65536-199999/200000", kRest, RangeVerdict::kUnusable},
        RangeCase{L"bytes 99999999999999999999-199999/200000", kRest, RangeVerdict::kUnusable}));

struct KeepCase {
  const char* name;
  void (*change)(AttemptRecord&);
  std::optional<std::uint32_t> keptOffset;  // empty: the bytes are deleted
};

class KeepTest : public testing::TestWithParam<KeepCase> {};

// A body of a fresh target broke off after 120000 of 200000 bytes.
AttemptRecord BrokenBody() {
  AttemptRecord record;
  record.broken = true;
  record.fileIsStart = true;
  record.total = kTotal;
  record.validator = L"\"v1\"";
  record.onDisk = 120000;
  return record;
}

TEST_P(KeepTest, KeepsABrokenStartOfAKnownFileInAFreshTarget) {
  const KeepCase& c = GetParam();
  AttemptRecord record = BrokenBody();
  c.change(record);
  const std::optional<ResumePoint> point = PointToKeep(record);
  ASSERT_EQ(point.has_value(), c.keptOffset.has_value());
  if (!point) return;
  EXPECT_EQ(point->offset, *c.keptOffset);
  EXPECT_EQ(point->total, kTotal);
  EXPECT_EQ(point->validator, L"\"v1\"");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KeepTest,
    testing::Values(
        KeepCase{"broken_body", [](AttemptRecord&) {}, 120000},
        KeepCase{"exactly_64_kb", [](AttemptRecord& r) { r.onDisk = 65536; }, 65536},
        KeepCase{"one_byte_short_of_64_kb", [](AttemptRecord& r) { r.onDisk = 65535; }, std::nullopt},
        KeepCase{"all_bytes_there", [](AttemptRecord& r) { r.onDisk = kTotal; }, std::nullopt},
        KeepCase{"more_than_the_file", [](AttemptRecord& r) { r.onDisk = kTotal + 1; }, std::nullopt},
        KeepCase{"failed_otherwise", [](AttemptRecord& r) { r.broken = false; }, std::nullopt},
        KeepCase{"not_the_start_of_the_file", [](AttemptRecord& r) { r.fileIsStart = false; }, std::nullopt},
        KeepCase{"target_had_a_copy", [](AttemptRecord& r) { r.hadCopy = true; }, std::nullopt},
        KeepCase{"no_validator", [](AttemptRecord& r) { r.validator.clear(); }, std::nullopt}),
    [](const testing::TestParamInfo<KeepCase>& info) { return std::string(info.param.name); });

TEST(ChooseValidatorTest, PrefersAStrongETagThenLastModified) {
  const std::wstring date = L"Wed, 21 Oct 2026 07:28:00 GMT";
  const struct {
    const wchar_t* etag;
    const wchar_t* lastModified;
    std::wstring expected;
  } cases[] = {
      {L"\"v1\"", date.c_str(), L"\"v1\""},
      {L"W/\"v1\"", date.c_str(), date},
      {L"w/\"v1\"", L"", L""},
      {L"", date.c_str(), date},
      {L"\"v1\"\r\nX-Injected: 1", date.c_str(), date},
      {L"\"v1\"", L"Wed\n", L"\"v1\""},
      {L"", L"Wed,\t21 Oct", L""},
      {L"", L"", L""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ChooseValidator(c.etag, c.lastModified), c.expected) << c.etag << L" | " << c.lastModified;
  }
}

}  // namespace
