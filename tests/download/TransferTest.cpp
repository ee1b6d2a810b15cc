// One transfer against real servers: nginx for well-formed answers, the fault server for the rest.
// Time is fake, so every 20 s grace time and 2 s pause costs nothing.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "download/Downloader.h"
#include "download/HttpSession.h"
#include "download/LengthProbe.h"
#include "download/HttpRules.h"
#include "download/Transfer.h"
#include "fs/FileOperations.h"
#include "tests/download/Descriptions.h"
#include "tests/download/ProgressRecorder.h"
#include "tests/download/ServerRig.h"
#include "tests/support/FakeClock.h"
#include "tests/support/TempFolder.h"

namespace {

constexpr DWORD kRetryPauseMs = 2000;

class TransferTest : public testing::Test {
 protected:
  void SetUp() override {
    if (!rig::Available()) GTEST_SKIP() << "run through tests/servers/run-with-servers.sh";
  }

  // The pauses between attempts: none follows the last one.
  static int RetryPauses() {
    int pauses = 0;
    for (DWORD ms : FakeClock::Sleeps()) pauses += ms == kRetryPauseMs;
    return pauses;
  }
  // Time spent waiting for late data after empty reads, over all attempts.
  static unsigned long long GraceWaited() {
    unsigned long long waited = 0;
    for (DWORD ms : FakeClock::Sleeps()) waited += ms == kRetryPauseMs ? 0 : ms;
    return waited;
  }
  // Within an attempt lParam runs up by at least each reported chunk (dropped chunks count in
  // it too); every attempt that reached the server ends with one message of 0.
  void ExpectConsistentProgress() const {
    LPARAM last = 0;
    for (const ProgressMessage& m : progress.messages()) {
      if (m.chunk == 0) {
        EXPECT_GE(m.received, last);
        last = 0;
        continue;
      }
      EXPECT_GE(m.received, last + static_cast<LPARAM>(m.chunk));
      last = m.received;
    }
    ASSERT_FALSE(progress.messages().empty());
    EXPECT_EQ(progress.messages().back().chunk, 0u);
  }

  TempFolder temp;
  FakeClock clock;
  ProgressRecorder progress;
};

TEST_F(TransferTest, CopiesAFileAndReportsEveryChunkThenZero) {
  const std::string body = rig::Pattern(5000, 3);
  rig::Publish(rig::kSite1, L"/files/app.bin", body);
  const std::wstring target = temp / L"app.bin";

  EXPECT_TRUE(TransferUrlToFile(rig::Url(rig::kSite1, L"/files/app.bin"), target, progress.window(), nullptr).succeeded);

  EXPECT_EQ(ReadFileBytes(target), body);
  EXPECT_EQ(progress.Total(), 5000u);
  ASSERT_EQ(progress.messages().size(), 6u);  // 4 full reads, 904 bytes, then 0
  EXPECT_EQ(progress.messages()[0].chunk, 1024u);
  ExpectConsistentProgress();
  EXPECT_EQ(RetryPauses(), 0);
  EXPECT_EQ(rig::CountRequests(rig::kSite1, "/files/app.bin", 1), 1);
}

TEST_F(TransferTest, StartDownloadInLineRunsTheTransferOnTheCallingThread) {
  rig::Publish(rig::kSite1, L"/files/inline.bin", rig::Pattern(3072));
  Downloader downloader;

  EXPECT_TRUE(downloader.StartDownload(rig::Url(rig::kSite1, L"/files/inline.bin"), temp / L"inline.bin",
                                       progress.window(), TransferMode::kInLine).succeeded);

  EXPECT_EQ(downloader.threadId, 0u);
  EXPECT_FALSE(downloadBusy);
  EXPECT_EQ(ReadFileBytes(temp / L"inline.bin"), rig::Pattern(3072));
  EXPECT_EQ(progress.messages().size(), 4u);  // exactly three reads of 1024, then 0
}

// The real nginx error page is recognised by its title: nothing of it is written.
TEST_F(TransferTest, NginxNotFoundPageFailsFourTimesAndLeavesNoFile) {
  const std::wstring target = temp / L"missing.bin";

  EXPECT_FALSE(TransferUrlToFile(rig::Url(rig::kSite1, L"/no/such/file.bin"), target, progress.window(), nullptr).succeeded);

  EXPECT_FALSE(PathExists(target));
  EXPECT_EQ(rig::CountRequests(rig::kSite1, "/no/such/file.bin", 4), 4);
  EXPECT_EQ(RetryPauses(), 3);
  EXPECT_EQ(progress.Total(), 0u);
  // Each attempt waited out the whole grace time for the announced bytes.
  EXPECT_GE(GraceWaited(), 4u * 20000u);
  EXPECT_LE(GraceWaited(), 4u * 20100u);
}

TEST_F(TransferTest, HostThatIsDownFailsEveryAttemptAndLeavesNoFile) {
  const std::wstring target = temp / L"down.bin";
  EXPECT_FALSE(TransferUrlToFile(rig::Url(rig::kDown, L"/a.bin"), target, progress.window(), nullptr).succeeded);
  EXPECT_FALSE(PathExists(target));
  EXPECT_EQ(RetryPauses(), 3);
  EXPECT_TRUE(progress.messages().empty());  // no request handle, so no end-of-attempt message
}

constexpr long long kNoAnswer = -2;  // progressTotal: no answer came, so no message at all

struct FaultCase {
  const char* name;
  const char* query;  // fault server parameters
  bool succeeds;
  int requests;
  long long fileSize;       // -1: no file afterwards
  long long progressTotal;  // -1: not checked; kNoAnswer: no progress message
  DWORD timeoutMs = 0;      // connect, send and receive time-out; 0: the real 30 s
};

class FaultTransferTest : public TransferTest, public testing::WithParamInterface<FaultCase> {
 protected:
  void TearDown() override { SetRequestTimeoutForTesting(0); }
};

TEST_P(FaultTransferTest, SucceedsOnlyWhenTheFileHasTheAnnouncedLength) {
  const FaultCase& c = GetParam();
  SetRequestTimeoutForTesting(c.timeoutMs);
  const std::string path = std::string("/") + c.name;
  const std::wstring url = rig::Url(rig::kFault, std::wstring(path.begin(), path.end()) + L"?" +
                                                     std::wstring(c.query, c.query + strlen(c.query)));
  const std::wstring target = temp / L"fault.bin";

  EXPECT_EQ(TransferUrlToFile(url, target, progress.window(), nullptr).succeeded, c.succeeds);

  EXPECT_EQ(rig::CountRequests(rig::kFault, path + "?", c.requests), c.requests);
  EXPECT_EQ(RetryPauses(), c.requests - 1);
  if (c.fileSize < 0) {
    EXPECT_FALSE(PathExists(target));
  } else {
    EXPECT_EQ(static_cast<long long>(ReadFileBytes(target).size()), c.fileSize);
  }
  if (c.progressTotal == kNoAnswer) {
    EXPECT_TRUE(progress.messages().empty());
    return;
  }
  if (c.progressTotal >= 0) {
    EXPECT_EQ(static_cast<long long>(progress.Total()), c.progressTotal);
  }
  ExpectConsistentProgress();
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FaultTransferTest,
    testing::Values(
        // Without a length no amount is known to be right: nothing counts as downloaded.
        FaultCase{"no_length_empty", "length=none&size=0", false, 4, -1, 0},
        FaultCase{"no_length_body", "length=none&size=500", false, 4, -1, 0},
        FaultCase{"endless_without_length", "length=none&endless=1", false, 4, -1, 0},
        FaultCase{"shorter_than_announced", "length=2000&size=1500", false, 4, -1, 4 * 1500},
        // WinINet stops reading at the announced length (Wine only hands over surplus bytes
        // that came in one piece with the headers, so the body follows them a little later).
        FaultCase{"longer_than_announced", "length=1000&size=1500&stall_after=0&stall_ms=100", true, 1, 1000, 1000},
        // Surplus that WinINet does hand over ends the attempt at the first chunk past the length.
        FaultCase{"more_than_announced", "length=1000&size=1500&together=1", false, 4, -1, 0},
        FaultCase{"dropped_connection", "length=3000&size=1000&drop=1", false, 4, -1, -1},
        FaultCase{"closed_before_answer", "close=before", false, 4, -1, -1},
        // An error status fails even with a long page of exactly the announced length.
        FaultCase{"status_500_long_page", "status=500&size=1500", false, 4, -1, 4 * 1500},
        FaultCase{"status_403_long_page", "status=403&size=1200", false, 4, -1, 4 * 1200},
        // Silence ends at the receive time-out, shortened here.
        FaultCase{"no_answer_at_all", "answer=never", false, 4, -1, kNoAnswer, 300},
        // The read that waits for the rest of its kilobyte fails at the time-out, bytes and all.
        FaultCase{"stops_half_way", "length=3000&size=1000&hold=1", false, 4, -1, 0, 300},
        FaultCase{"stall_then_rest", "size=3000&stall_after=1000&stall_ms=1500", true, 1, 3000, 3000},
        FaultCase{"exactly_1000", "size=1000", true, 1, 1000, 1000},
        FaultCase{"title_error_404", "title=Error%20404&size=600", false, 4, -1, 0},
        FaultCase{"title_version_2404", "title=Version%202404", false, 4, -1, 0},
        FaultCase{"title_lower_case", "title=404%20Not%20Found&lower=1", false, 4, -1, 0},
        FaultCase{"two_titles", "title=404&titles=2&size=400", true, 1, 400, 400},
        FaultCase{"title_404_without_length", "title=404%20Not%20Found&length=none", false, 4, -1, 0},
        // Only the first 1024 bytes are checked; a 404 title after them is data.
        FaultCase{"title_404_after_first_kilobyte", "pad=1024&title=404&size=3000", true, 1, 3000, 3000},
        // The first read is dropped, the rest is written, and the length never matches.
        FaultCase{"title_404_in_long_body", "title=Error%20404&size=3000", false, 4, -1, 4 * 1976},
        // The first read waits for the whole first kilobyte, so a title cut across two
        // segments is still seen whole.
        FaultCase{"title_404_split_across_segments", "title=404&stall_after=21&stall_ms=300&size=600",
                  false, 4, -1, 0}),
    [](const testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.name); });

// One byte every 20 ms holds each read, which waits for a whole kilobyte; the watchdog ends
// every attempt once 60 s passed with fewer than 1024 bytes. Here fake time runs a hundred
// times faster than real time.
TEST_F(TransferTest, ATricklingServerEndsEveryAttemptAsStalled) {
  const std::wstring target = temp / L"trickle.bin";
  std::atomic<bool> done{false};
  std::thread fastTime([&done] {
    while (!done) {
      ::Sleep(10);
      FakeClock::Advance(1000);
    }
  });
  const TransferOutcome outcome =
      TransferUrlToFile(rig::Url(rig::kFault, L"/trickle?size=2000&trickle_ms=20"), target, progress.window(), nullptr);
  done = true;
  fastTime.join();

  EXPECT_FALSE(outcome.succeeded);
  EXPECT_EQ(outcome.failure, AttemptFailure::kStalled);
  EXPECT_EQ(rig::CountRequests(rig::kFault, "/trickle?", 4), 4);
  EXPECT_EQ(RetryPauses(), 3);
  EXPECT_FALSE(PathExists(target));
}

// Each failed attempt knows why; the outcome keeps the reason of the last one.
TEST_F(TransferTest, AFailedTransferSaysWhy) {
  rig::Publish(rig::kSite1, L"/why/app.bin", rig::Pattern(3000));
  const std::wstring fault = rig::Host(rig::kFault);
  const struct {
    const char* name;
    std::wstring url;
    AttemptFailure failure;
    DWORD detail;
    std::string digest;
  } cases[] = {
      {"nothing listens", rig::Url(rig::kDown, L"/a.bin"), AttemptFailure::kNoAnswer,
       ERROR_INTERNET_CANNOT_CONNECT, ""},
      {"not an HTTP URL", L"ftp://" + fault + L"/a.bin", AttemptFailure::kNoRequest,
       ERROR_INTERNET_UNRECOGNIZED_SCHEME, ""},
      {"an error status", rig::Url(rig::kFault, L"/why503?status=503&size=1500"), AttemptFailure::kStatus, 503, ""},
      {"nginx's page for a missing file", rig::Url(rig::kSite1, L"/why/absent.bin"), AttemptFailure::kStatus, 404, ""},
      {"no Content-Length", rig::Url(rig::kFault, L"/whynone?length=none&size=500"), AttemptFailure::kNoLength, 0, ""},
      {"shorter than announced", rig::Url(rig::kFault, L"/whyshort?length=2000&size=1500"),
       AttemptFailure::kLengthDiffers, 1500, ""},
      {"more than announced", rig::Url(rig::kFault, L"/whymore?length=1000&size=1500&together=1"),
       AttemptFailure::kLongerThanAnnounced, 1000, ""},
      {"a page titled 404 with status 200", rig::Url(rig::kFault, L"/why404?title=404&size=600"),
       AttemptFailure::kTitle404, 0, ""},
      {"other bytes than listed", rig::Url(rig::kSite1, L"/why/app.bin"), AttemptFailure::kHashDiffers, 0,
       std::string(64, '0')},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const TransferOutcome outcome = TransferUrlToFile(c.url, temp / L"why.bin", nullptr, nullptr, c.digest);
    EXPECT_FALSE(outcome.succeeded);
    EXPECT_EQ(outcome.attempts, 4);
    EXPECT_EQ(outcome.failure, c.failure);
    EXPECT_EQ(outcome.detail, c.detail);
  }
}

// A signed size holds every attempt to it from the headers on: an answer announcing another
// length fails before a byte of its body is read or written, and no read goes past the size.
TEST_F(TransferTest, ASignedSizeBoundsEveryAttempt) {
  constexpr DWORD kMegabyte = 1024 * 1024;
  const struct {
    const char* name;
    const wchar_t* query;  // fault server parameters
    DWORD signedSize;
    bool succeeds;
    AttemptFailure failure;
    DWORD detail;
  } cases[] = {
      {"4 GB announced for a signed 1 MB file", L"length=4000000000&size=1048576", kMegabyte, false,
       AttemptFailure::kSignedSizeDiffers, 4000000000u},
      {"one byte less announced", L"length=1048575&size=1048575", kMegabyte, false,
       AttemptFailure::kSignedSizeDiffers, 1048575},
      {"no length announced", L"length=none&size=1048576", kMegabyte, false, AttemptFailure::kNoLength, 0},
      {"the signed size announced", L"size=1048576", kMegabyte, true, AttemptFailure::kNone, 0},
      // The body goes on past the announced (and signed) size: the file ends at the size.
      {"more than the signed size sent", L"length=1000&size=1500&stall_after=0&stall_ms=100", 1000, true,
       AttemptFailure::kNone, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ProgressRecorder caseProgress;
    const std::wstring target = temp / L"signed-size.bin";
    const std::wstring path = L"/signed-size-" + std::to_wstring(&c - cases);
    const TransferOutcome outcome =
        TransferUrlToFile(rig::Url(rig::kFault, path + L"?" + c.query), target, caseProgress.window(), nullptr,
                          std::string(), c.signedSize);
    EXPECT_EQ(outcome.succeeded, c.succeeds);
    EXPECT_EQ(outcome.attempts, c.succeeds ? 1 : 4);
    EXPECT_EQ(outcome.failure, c.failure);
    EXPECT_EQ(outcome.detail, c.detail);
    if (c.succeeds) {
      EXPECT_EQ(ReadFileBytes(target).size(), c.signedSize);
      EXPECT_EQ(caseProgress.Total(), c.signedSize);
    } else {
      EXPECT_FALSE(PathExists(target));
      EXPECT_EQ(caseProgress.Total(), 0u);  // not a byte written in any attempt
    }
  }
}

// A site item "user:password@host" answers the server's challenge with its credentials.
TEST_F(TransferTest, ASiteItemWithCredentialsQualifiesOnlyWithTheRightOnes) {
  const std::string body = rig::Pattern(3000, 5);
  rig::Publish(rig::kSite4, L"/private/app.bin", body);
  const std::wstring host = rig::Host(rig::kSite4);
  const struct {
    const char* name;
    std::wstring item;
    bool qualifies;
  } cases[] = {
      // In this order: WinINet keeps the credentials that worked for the rest of the process.
      {"without credentials", host, false},
      {"with a wrong password", L"tester:wrong@" + host, false},
      {"with the right user and password", L"tester:s3cret@" + host, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::wstring url = http_rules::Url(c.item, L"/private/app.bin");
    const ProbeOutcome probe = ProbeLength(url);
    EXPECT_EQ(http_rules::SiteQualifies(probe.length), c.qualifies);
    EXPECT_EQ(probe.failure, c.qualifies ? ProbeFailure::kNone : ProbeFailure::kStatus);
    EXPECT_EQ(probe.detail, c.qualifies ? 0u : 401u);
    const std::wstring target = temp / L"private.bin";
    EXPECT_EQ(TransferUrlToFile(url, target, nullptr, nullptr).succeeded, c.qualifies);
    if (c.qualifies) {
      EXPECT_EQ(ReadFileBytes(target), body);
    }
  }
}

struct BackupCase {
  const char* name;
  bool targetExists;
  bool olderBackupExists;
  bool transferSucceeds;
  const char* targetAfter;  // nullptr: absent
  const char* backupAfter;  // nullptr: absent
};

class BackupTest : public TransferTest, public testing::WithParamInterface<BackupCase> {};

TEST_P(BackupTest, KeepsOrRestoresThePreviousCopy) {
  const BackupCase& c = GetParam();
  rig::Publish(rig::kSite2, L"/new.bin", "new");
  const std::wstring target = temp / L"data.bin";
  const std::wstring backup = temp / L"data.bin Before Download";
  if (c.targetExists) WriteFileBytes(target, "current");
  if (c.olderBackupExists) WriteFileBytes(backup, "older");
  const std::wstring url = rig::Url(rig::kSite2, c.transferSucceeds ? L"/new.bin" : L"/absent.bin");

  EXPECT_EQ(TransferUrlToFile(url, target, nullptr, nullptr).succeeded, c.transferSucceeds);

  EXPECT_EQ(PathExists(target), c.targetAfter != nullptr);
  if (c.targetAfter) {
    EXPECT_EQ(ReadFileBytes(target), c.targetAfter);
  }
  EXPECT_EQ(PathExists(backup), c.backupAfter != nullptr);
  if (c.backupAfter) {
    EXPECT_EQ(ReadFileBytes(backup), c.backupAfter);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Backups, BackupTest,
    testing::Values(BackupCase{"success_keeps_both", true, false, true, "new", "current"},
                    BackupCase{"failure_restores", true, false, false, "current", nullptr},
                    BackupCase{"older_backup_untouched_on_success", true, true, true, "new", "older"},
                    BackupCase{"older_backup_comes_back_on_failure", true, true, false, "older", nullptr},
                    BackupCase{"nothing_before_failure", false, false, false, nullptr, nullptr},
                    BackupCase{"stray_backup_stays_on_failure", false, true, false, nullptr, "older"}),
    [](const testing::TestParamInfo<BackupCase>& info) { return std::string(info.param.name); });

// With an expected digest, the bytes written must have it: a body of the announced length is not enough.
TEST_F(TransferTest, AnExpectedDigestDecidesEachAttempt) {
  const std::string body = rig::Pattern(5000, 4);
  std::string sameLength = body;
  sameLength[4000] = sameLength[4000] == 'a' ? 'b' : 'a';
  rig::Publish(rig::kSite1, L"/hashed/app.bin", body);
  const struct {
    const char* name;
    std::string digest;
    bool previousCopy;
    bool succeeds;
    int requests;
    const char* left;  // what the target holds afterwards; nullptr: absent (or the body when succeeded)
  } cases[] = {
      {"the body's digest", Sha256Hex(body), false, true, 1, nullptr},
      {"the digest of other bytes of the same length", Sha256Hex(sameLength), false, false, 4, nullptr},
      {"a previous copy comes back after the last attempt", Sha256Hex(sameLength), true, false, 4, "current"},
      {"not a digest at all", "not hex", false, false, 4, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeClock caseClock;  // counts this case's pauses only
    const std::wstring target = temp / L"hashed.bin";
    ::DeleteFileW(target.c_str());
    if (c.previousCopy) WriteFileBytes(target, "current");
    const int before = rig::CountRequests(rig::kSite1, "/hashed/app.bin");

    EXPECT_EQ(TransferUrlToFile(rig::Url(rig::kSite1, L"/hashed/app.bin"), target, nullptr, nullptr, c.digest).succeeded,
              c.succeeds);

    EXPECT_EQ(rig::CountRequests(rig::kSite1, "/hashed/app.bin", before + c.requests), before + c.requests);
    EXPECT_EQ(RetryPauses(), c.requests - 1);
    if (c.succeeds) {
      EXPECT_EQ(ReadFileBytes(target), body);
    } else {
      EXPECT_EQ(PathExists(target), c.left != nullptr);
      if (c.left) {
        EXPECT_EQ(ReadFileBytes(target), c.left);
      }
    }
  }
}

// The rig links disk-full/full.bin to /dev/full, with an older backup already beside it, so the
// target is opened in place and every write fails as on a full disk. (Wine cannot delete that
// device link, so the restore is not observed here; the backup tests cover it.)
TEST_F(TransferTest, WriteFailureStopsAfterOneAttempt) {
  const std::wstring target = rig::StatePath(L"disk-full/full.bin");
  ASSERT_TRUE(FileExists(target)) << "the rig prepares it";
  rig::Publish(rig::kSite3, L"/big.bin", rig::Pattern(4000));

  EXPECT_FALSE(TransferUrlToFile(rig::Url(rig::kSite3, L"/big.bin"), target, progress.window(), nullptr).succeeded);

  EXPECT_EQ(rig::CountRequests(rig::kSite3, "/big.bin", 1), 1);
  EXPECT_EQ(RetryPauses(), 0);
  // The chunk that could not be written is still reported, then the attempt's 0.
  ASSERT_EQ(progress.messages().size(), 2u);
  EXPECT_EQ(progress.messages()[0].chunk, 1024u);
  EXPECT_EQ(progress.messages()[1].chunk, 0u);
  EXPECT_EQ(ReadFileBytes(target + L" Before Download"), "older");
}

TEST_F(TransferTest, WorkerThreadTransfersAndClearsTheSharedState) {
  rig::Publish(rig::kSite1, L"/files/worker.bin", rig::Pattern(2500));
  Downloader downloader;

  ASSERT_TRUE(downloader.StartDownload(rig::Url(rig::kSite1, L"/files/worker.bin"), temp / L"worker.bin",
                                       progress.window(), TransferMode::kWorkerThread).succeeded);
  EXPECT_NE(downloader.threadId, 0u);
  progress.PumpUntil([] { return !downloadBusy; });

  EXPECT_TRUE(downloadOutcome.succeeded);
  EXPECT_EQ(downloadThread.load(), nullptr);
  EXPECT_EQ(ReadFileBytes(temp / L"worker.bin"), rig::Pattern(2500));
  EXPECT_EQ(progress.Total(), 2500u);
}

TEST_F(TransferTest, CancelledWorkerFailsEveryAttemptAfterOpeningItsRequest) {
  Downloader downloader;
  const std::wstring target = temp / L"cancelled.bin";

  ASSERT_TRUE(downloader.StartDownload(rig::Url(rig::kFault, L"/cancelled?size=5000&stall_after=100&stall_ms=500"),
                                       target, progress.window(), TransferMode::kWorkerThread).succeeded);
  downloadCancel = true;
  progress.PumpUntil([] { return !downloadBusy; });

  EXPECT_FALSE(downloadOutcome.succeeded);
  EXPECT_EQ(downloadOutcome.failure, AttemptFailure::kCancelled);
  EXPECT_FALSE(PathExists(target));
  EXPECT_EQ(rig::CountRequests(rig::kFault, "/cancelled?", 4), 4);
  EXPECT_EQ(RetryPauses(), 3);
}

struct ProbeCase {
  const char* name;
  rig::Server server;
  const wchar_t* path;
  long long expected;
};

class ProbeTest : public TransferTest, public testing::WithParamInterface<ProbeCase> {};

TEST_P(ProbeTest, GivesTheAnnouncedLengthOrZero) {
  const ProbeCase& c = GetParam();
  rig::Publish(rig::kSite4, L"/probe/file.bin", rig::Pattern(4321));
  EXPECT_EQ(static_cast<long long>(ProbeContentLength(rig::Url(c.server, c.path))), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Probes, ProbeTest,
    testing::Values(ProbeCase{"nginx_file", rig::kSite4, L"/probe/file.bin", 4321},
                    // An error page is not the file, whatever its length.
                    ProbeCase{"nginx_error_page", rig::kSite4, L"/probe/missing.bin", 0},
                    ProbeCase{"status_500_long_page", rig::kFault, L"/p500?status=500&size=1500", 0},
                    ProbeCase{"status_403_long_page", rig::kFault, L"/p403?status=403&size=1200", 0},
                    ProbeCase{"exactly_1000", rig::kFault, L"/p1000?length=1000&size=0", 1000},
                    ProbeCase{"exactly_1001", rig::kFault, L"/p1001?length=1001&size=0", 1001},
                    ProbeCase{"no_length", rig::kFault, L"/pnone?length=none&size=10", 0},
                    ProbeCase{"endless_without_length", rig::kFault, L"/pendless?length=none&endless=1", 0},
                    ProbeCase{"closed_before_answer", rig::kFault, L"/pclosed?close=before", 0},
                    // Answered at once from the headers, however slowly the body would come.
                    ProbeCase{"one_byte_every_10_s", rig::kFault, L"/ptrickle?size=2000&trickle_ms=10000", 2000},
                    ProbeCase{"host_down", rig::kDown, L"/x.bin", 0}),
    [](const testing::TestParamInfo<ProbeCase>& info) { return std::string(info.param.name); });

// nginx's own count of the bytes it sent for a request (the last field of its log line).
long long BytesSent(rig::Server server, const std::string& path) {
  rig::CountRequests(server, path, 1);
  const std::string log = rig::Log(server);
  const size_t line = log.rfind("GET " + path + " ");
  if (line == std::string::npos) return -1;
  const std::string text = log.substr(line, log.find('\n', line) - line);
  return std::stoll(text.substr(text.rfind(' ') + 1));
}

// A probe costs the server its headers and a byte, not the file: dropping a request with the
// body unread would make WinINet drain all of it.
TEST_F(TransferTest, AProbeCostsTheServerItsHeadersNotTheFile) {
  const size_t size = 20 * 1024 * 1024;
  rig::Publish(rig::kSite4, L"/probe/large.bin", rig::Pattern(size));

  EXPECT_EQ(ProbeContentLength(rig::Url(rig::kSite4, L"/probe/large.bin")), size);

  const long long sent = BytesSent(rig::kSite4, "/probe/large.bin");
  EXPECT_GT(sent, 0);
  EXPECT_LT(sent, 4096);
}

}  // namespace

namespace {

// The one case on the real clock and the real 30 s time-outs (ctest label "slow"): a server
// that stops half-way ends every attempt at the receive time-out, and the transfer fails.
TEST(RealTimeTransferTest, ServerStoppingHalfWayFailsEachAttemptAtTheRealTimeout) {
  if (!rig::Available()) GTEST_SKIP() << "run through tests/servers/run-with-servers.sh";
  TempFolder temp;
  const std::wstring target = temp / L"stopped.bin";
  const DWORD start = ::GetTickCount();

  EXPECT_FALSE(TransferUrlToFile(rig::Url(rig::kFault, L"/realtime?length=3000&size=1000&hold=1"),
                                 target, nullptr, nullptr).succeeded);

  const DWORD elapsed = ::GetTickCount() - start;
  EXPECT_EQ(rig::CountRequests(rig::kFault, "/realtime?", 4), 4);
  EXPECT_FALSE(PathExists(target));
  // Four time-outs of 30 s and four pauses of 2 s, with some leeway.
  EXPECT_GE(elapsed, 4u * 30000u);
  EXPECT_LT(elapsed, 4u * 30000u + 4u * 2000u + 20000u);
}

}  // namespace
