// A body that broke off is continued by the next attempt, against the fault server with real
// WinINet: what was asked, what the server sent, what the bar saw and what ended on disk.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "download/Transfer.h"
#include "tests/download/Descriptions.h"
#include "tests/download/ProgressRecorder.h"
#include "tests/download/ServerRig.h"
#include "tests/support/DebugOutputListener.h"
#include "tests/support/FakeClock.h"
#include "tests/support/TempFolder.h"

namespace {

constexpr long long kSize = 200 * 1024;
constexpr long long kCut = 120 * 1024;  // 60 %
constexpr long long kRest = kSize - kCut;
constexpr DWORD kRetryPauseMs = 2000;

// Changes one kept byte of the target during the first pause between attempts.
class KeptByteSpoiler {
 public:
  explicit KeptByteSpoiler(const std::wstring& target) {
    target_ = target;
    spoiled_ = false;
    previous_ = clock_seam::SetSleepForTesting(Sleep);
  }
  ~KeptByteSpoiler() { clock_seam::SetSleepForTesting(previous_); }
  KeptByteSpoiler(const KeptByteSpoiler&) = delete;
  KeptByteSpoiler& operator=(const KeptByteSpoiler&) = delete;
  static bool Spoiled() { return spoiled_; }

 private:
  static void Sleep(DWORD milliseconds) {
    if (milliseconds == kRetryPauseMs && !spoiled_) {
      std::string bytes = ReadFileBytes(target_);
      if (bytes.size() > 1000) {
        bytes[1000] = bytes[1000] == 'x' ? 'y' : 'x';
        WriteFileBytes(target_, bytes);
        spoiled_ = true;
      }
    }
    previous_(milliseconds);
  }
  static inline std::wstring target_;
  static inline bool spoiled_ = false;
  static inline clock_seam::SleepFunction previous_ = nullptr;
};

struct ResumeCase {
  const char* name;
  const char* query;        // fault server parameters
  bool previousCopy;        // the target held a file before the transfer
  bool hashed;              // the body's SHA-256 is expected
  bool spoilKept;           // one kept byte changes on disk before the next attempt
  const char* answers;      // "STATUS RANGE" per request, '|' between them
  int seed;                 // the file that ends on disk: 0, or 1 for the changed one
  long long bodyBytesSent;  // summed over the server's answers; -1: not checked
  long long progress;       // the chunks the bar was sent
  bool keeps;               // the first failure line says the bytes stay
  const wchar_t* secondFailure = nullptr;  // in the line of attempt 2; nullptr: attempt 2 succeeded
};

void PrintTo(const ResumeCase& c, std::ostream* out) { *out << c.name; }

std::vector<std::string> Split(const std::string& text) {
  std::vector<std::string> parts;
  std::istringstream in(text);
  for (std::string part; std::getline(in, part, '|');) parts.push_back(part);
  return parts;
}

// "STATUS BYTES RANGE" to "STATUS RANGE", with the bytes added to `sent`.
std::string StatusAndRange(const std::string& answer, long long& sent) {
  std::istringstream in(answer);
  std::string status, range;
  long long bytes = 0;
  in >> status >> bytes >> range;
  sent += bytes;
  return status + " " + range;
}

class ResumeTest : public testing::TestWithParam<ResumeCase> {
 protected:
  void SetUp() override {
    if (!rig::Available()) GTEST_SKIP() << "run through tests/servers/run-with-servers.sh";
  }
  // The failure line of attempt `n`; empty when there is none.
  std::wstring FailureOfAttempt(int n) {
    const std::wstring marker = L" attempt " + std::to_wstring(n) + L" of 4: ";
    for (const std::wstring& line : debugOutput.FailureLines()) {
      if (line.find(marker) != std::wstring::npos) return line;
    }
    return std::wstring();
  }

  TempFolder temp;
  FakeClock clock;
  ProgressRecorder progress;
  DebugOutputListener debugOutput;
};

TEST_P(ResumeTest, GoesOnWhereTheBodyBrokeOffOnlyWhenTheServerContinuesTheSameFile) {
  const ResumeCase& c = GetParam();
  const std::string path = std::string("/resume_") + c.name;
  const std::wstring url = rig::Url(rig::kFault, std::wstring(path.begin(), path.end()) + L"?" +
                                                     std::wstring(c.query, c.query + strlen(c.query)));
  const std::wstring target = temp / L"resumed.bin";
  if (c.previousCopy) WriteFileBytes(target, "current");
  const std::string body = rig::Pattern(kSize, c.seed);
  std::optional<KeptByteSpoiler> spoiler;
  if (c.spoilKept) spoiler.emplace(target);

  const TransferOutcome outcome =
      TransferUrlToFile(url, target, progress.window(), nullptr, c.hashed ? Sha256Hex(body) : std::string());

  const std::vector<std::string> expected = Split(c.answers);
  EXPECT_TRUE(outcome.succeeded);
  EXPECT_EQ(outcome.attempts, static_cast<int>(expected.size()));
  EXPECT_TRUE(ReadFileBytes(target) == body) << "the file on disk";
  EXPECT_EQ(ReadFileBytes(target + L" Before Download"), c.previousCopy ? "current" : "");
  const std::vector<std::string> answers = rig::FaultAnswers(path + "?", expected.size());
  ASSERT_EQ(answers.size(), expected.size());
  long long sent = 0;
  for (size_t i = 0; i < answers.size(); ++i) EXPECT_EQ(StatusAndRange(answers[i], sent), expected[i]) << i;
  if (c.bodyBytesSent >= 0) {
    EXPECT_EQ(sent, c.bodyBytesSent);
  }
  EXPECT_EQ(static_cast<long long>(progress.Total()), c.progress);
  const std::wstring first = FailureOfAttempt(1);
  EXPECT_NE(first.find(L"body ended after"), std::wstring::npos) << first;
  EXPECT_EQ(first.find(L"; keeps " + std::to_wstring(kCut) + L" of " + std::to_wstring(kSize) + L" bytes") !=
                std::wstring::npos,
            c.keeps)
      << first;
  const std::wstring second = FailureOfAttempt(2);
  if (c.secondFailure) {
    EXPECT_NE(second.find(c.secondFailure), std::wstring::npos) << second;
  } else {
    EXPECT_EQ(second, L"");
  }
  if (c.spoilKept) {
    EXPECT_TRUE(KeptByteSpoiler::Spoiled());
  }
}

#define SIZED "size=204800&cut_first=122880&"
#define RANGED "206 bytes=122880-"
constexpr long long kRestarted = kCut + kSize;

INSTANTIATE_TEST_SUITE_P(
    Cuts, ResumeTest,
    testing::Values(
        // One ranged request, and the server sends the file's bytes once.
        ResumeCase{"etag", SIZED "etag=v1&ranges=1", false, false, false, "200 -|" RANGED, 0, kSize, kSize, true},
        ResumeCase{"last_modified", SIZED "modified=1&ranges=1", false, false, false, "200 -|" RANGED, 0, kSize,
                   kSize, true},
        ResumeCase{"hashed", SIZED "etag=v1&ranges=1", false, true, false, "200 -|" RANGED, 0, kSize, kSize, true},
        // A 200 to the ranged request replaces the kept bytes.
        ResumeCase{"server_without_ranges", SIZED "etag=v1", false, false, false, "200 -|200 bytes=122880-", 0,
                   kRestarted, kRestarted, true},
        ResumeCase{"file_changed", SIZED "etag=v1&ranges=1&changed=1", false, false, false,
                   "200 -|200 bytes=122880-", 1, kRestarted, kRestarted, true},
        // A 206 that does not continue the kept bytes fails its attempt; the next starts over.
        ResumeCase{"wrong_start", SIZED "etag=v1&ranges=1&range_shift=1024", false, false, false,
                   "200 -|" RANGED "|200 -", 0, -1, kRestarted, true, L"Content-Range does not continue at 122880"},
        ResumeCase{"wrong_total", SIZED "etag=v1&ranges=1&total_shift=1", false, false, false,
                   "200 -|" RANGED "|200 -", 0, -1, kRestarted, true,
                   L"Content-Range total is not the first length 204800"},
        // The digest covers the kept bytes as they are on disk.
        ResumeCase{"hashed_kept_part_altered", SIZED "etag=v1&ranges=1", false, true, true,
                   "200 -|" RANGED "|200 -", 0, kCut + kRest + kSize, kCut + kRest + kSize, true,
                   L"SHA-256 differs"},
        // Nothing is kept: a previous copy, too few bytes, no validator.
        ResumeCase{"previous_copy", SIZED "etag=v1&ranges=1", true, false, false, "200 -|200 -", 0, kRestarted,
                   kRestarted, false},
        ResumeCase{"cut_below_64_kb", "size=204800&cut_first=65535&etag=v1&ranges=1", false, false, false,
                   "200 -|200 -", 0, 65535 + kSize, 65535 + kSize, false},
        ResumeCase{"no_validator", SIZED "ranges=1", false, false, false, "200 -|200 -", 0, kRestarted, kRestarted,
                   false}),
    [](const testing::TestParamInfo<ResumeCase>& info) { return std::string(info.param.name); });

}  // namespace
