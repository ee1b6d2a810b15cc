// The steps of a run built for https hosts, against the rig's HTTPS listeners with real WinINet:
// the rig's CA is trusted in the project's Wine prefix while the tests run, and a certificate
// that does not hold makes its host fail like one that is down.
#include <windows.h>
#include <wininet.h>
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "bootstrap/AcquireSetup.h"
#include "bootstrap/DescriptionPlatformWin.h"
#include "download/HttpRules.h"
#include "download/LengthProbe.h"
#include "download/Transfer.h"
#include "fs/ApplicationFolder.h"
#include "fs/FileOperations.h"
#include "tests/download/Descriptions.h"
#include "tests/download/ServerRig.h"
#include "tests/support/DebugOutputListener.h"
#include "tests/support/FakeClock.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/RootStore.h"
#include "tests/support/TempFolder.h"
#include "ui/MessageSeam.h"
#include "ui/ProgressWindow.h"

namespace {

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

class HttpsTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (rig::Available()) trusted_ = TrustRootCertificate(ReadFileBytes(rig::CaPath()));
  }
  static void TearDownTestSuite() {
    if (trusted_) {
      EXPECT_TRUE(DistrustRootCertificate(ReadFileBytes(rig::CaPath())));
    }
    trusted_ = false;
  }
  void SetUp() override {
    if (!rig::Available()) GTEST_SKIP() << "run through tests/servers/run-with-servers.sh";
    ASSERT_TRUE(trusted_) << "the rig's CA could not be trusted in the Wine prefix";
    SetApplicationFolder(temp / L"Setup.HLP");  // no local description there
    ASSERT_TRUE(window.Create(::GetModuleHandleW(nullptr)));
  }

  // A run whose default hosts are `hosts` and whose description, on `publishedOn`, lists
  // `sites` and two files of site 1 (which every HTTPS listener of the rig serves).
  AcquireResult Run(const std::string& name, const DefaultHosts& hosts, rig::Server publishedOn,
                    const std::vector<std::wstring>& sites) {
    const std::string folder = "/" + name;
    rig::Publish(rig::kSite1, Wide(folder + "/a.bin"), rig::Pattern(2000, 1));
    rig::Publish(rig::kSite1, Wide(folder + "/b.bin"), rig::Pattern(1500, 2));
    rig::Publish(publishedOn, L"/downloads/Setups/" + Wide(name) + L"/SetupInitial.eif",
                 Encrypted(DescriptionText(sites, {folder + "/a.bin -> a.bin", folder + "/b.bin -> b.bin"})));
    setupFolder = temp / Wide(name);
    Downloader downloader;
    const ProgressSink progress{window.GetSafeHwnd(), [this](int bound) { window.SetRangeMax(bound); }};
    return AcquireSetup(WindowsDescriptionPlatform(), downloader, {Wide(name), setupFolder, hosts}, progress,
                        [this](const std::wstring& text) { message_seam::ShowWarning(window.GetSafeHwnd(), text, L"Setup"); });
  }
  void ExpectInstalled() {
    EXPECT_TRUE(messages.Texts().empty());
    EXPECT_EQ(ReadFileBytes(setupFolder + L"\\a.bin"), rig::Pattern(2000, 1));
    EXPECT_EQ(ReadFileBytes(setupFolder + L"\\b.bin"), rig::Pattern(1500, 2));
  }
  // Failure lines that name an https URL of `host` and end with one of `errors`.
  int FailuresNaming(const std::wstring& host, const std::set<DWORD>& errors) {
    int count = 0;
    for (const std::wstring& line : debugOutput.FailureLines()) {
      if (line.find(L"https://" + host + L"/") == std::wstring::npos) continue;
      for (DWORD error : errors) count += EndsWith(line, L": error " + std::to_wstring(error));
    }
    return count;
  }
  static bool EndsWith(const std::wstring& text, const std::wstring& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
  }

  static bool trusted_;
  TempFolder temp;
  FakeClock clock;
  MessageRecorder messages;
  DebugOutputListener debugOutput;
  ProgressWindow window;
  std::wstring setupFolder;
};
bool HttpsTest::trusted_ = false;

TEST_F(HttpsTest, AWholeRunGoesOverHttpsOnly) {
  EXPECT_EQ(std::wstring(http_rules::kScheme), L"https://");
  const std::wstring site = rig::Host(rig::Tls(rig::kSite1));
  const AcquireResult result = Run("whole", {rig::Host(rig::Tls(rig::kHost1)), rig::Host(rig::Tls(rig::kHost2))},
                                   rig::kHost1, {site});

  EXPECT_TRUE(result.Succeeded());
  ExpectInstalled();
  EXPECT_TRUE(debugOutput.FailureLines().empty());
  EXPECT_EQ(result.downloadSite, site);
  EXPECT_EQ(rig::CountRequests(rig::Tls(rig::kHost1), "/downloads/Setups/whole/SetupInitial.eif", 2), 2);
  EXPECT_EQ(rig::CountRequests(rig::Tls(rig::kSite1), "/whole/a.bin", 3), 3);  // chosen, sized, fetched
  EXPECT_EQ(rig::CountRequests(rig::Tls(rig::kSite1), "/whole/b.bin", 2), 2);
  for (rig::Server plain : {rig::kHost1, rig::kHost2, rig::kSite1}) EXPECT_EQ(rig::Log(plain), "");
}

// A host that sends an https request on to http:// fails it, as Windows does (Wine would follow
// the redirect): the answer of the plain connection is never taken.
TEST_F(HttpsTest, ARedirectToHttpFailsTheRequest) {
  rig::Publish(rig::kSite1, L"/to-http/file.bin", rig::Pattern(3000));
  const std::wstring url = http_rules::Url(rig::Host(rig::Tls(rig::kSite1)), L"/to-http/file.bin");

  const ProbeOutcome probe = ProbeLength(url);
  const TransferOutcome transfer = TransferUrlToFile(url, temp / L"file.bin", nullptr, nullptr, std::string());

  EXPECT_EQ(probe.length, 0u);
  EXPECT_EQ(probe.failure, ProbeFailure::kNoAnswer);
  EXPECT_EQ(probe.detail, static_cast<DWORD>(ERROR_INTERNET_HTTPS_TO_HTTP_ON_REDIR));
  EXPECT_FALSE(transfer.succeeded);
  EXPECT_EQ(transfer.attempts, 4);
  EXPECT_EQ(transfer.detail, static_cast<DWORD>(ERROR_INTERNET_HTTPS_TO_HTTP_ON_REDIR));
  EXPECT_FALSE(PathExists(temp / L"file.bin"));
  EXPECT_EQ(rig::CountRequests(rig::Tls(rig::kSite1), "/to-http/file.bin", 5), 5);  // each stopped there
}

// Each listener that fails the check: the error WinINet reports for it (Wine 8 reports an
// unknown CA as a failed revocation check, Windows as an invalid CA).
struct RefusedHost {
  const char* name;
  rig::Server server;
  std::set<DWORD> errors;
};
void PrintTo(const RefusedHost& c, std::ostream* out) { *out << c.name; }
const RefusedHost kRefused[] = {
    {"wrong_name", rig::kWrongName, {ERROR_INTERNET_SEC_CERT_CN_INVALID}},
    {"expired", rig::kExpired, {ERROR_INTERNET_SEC_CERT_DATE_INVALID}},
    {"unknown_ca", rig::kUnknownCa, {ERROR_INTERNET_INVALID_CA, ERROR_INTERNET_SEC_CERT_REV_FAILED}},
    {"http_only_port", rig::kSite2, {ERROR_INTERNET_SECURITY_CHANNEL_ERROR}},
};

class RefusedHostTest : public HttpsTest, public testing::WithParamInterface<RefusedHost> {};

// As first default host and as first site, the host is passed over with its reason.
TEST_P(RefusedHostTest, IsPassedOverLikeAHostThatIsDown) {
  const RefusedHost& c = GetParam();
  const std::wstring refused = rig::Host(c.server);
  const std::wstring site = rig::Host(rig::Tls(rig::kSite1));  // the same files as the refused host

  const AcquireResult result = Run(c.name, {refused, rig::Host(rig::Tls(rig::kHost2))}, rig::kHost2, {refused, site});

  EXPECT_TRUE(result.Succeeded());
  ExpectInstalled();
  EXPECT_EQ(result.downloadSite, site);
  EXPECT_EQ(FailuresNaming(refused, c.errors), 2);  // the description's probe, the site's probe
  // No request got through, nor one without TLS (the handshakes sent to the http-only port
  // are logged there as bad requests).
  EXPECT_EQ(rig::Log(c.server).find("GET "), std::string::npos);
}

// A file on such a host fails after every attempt, each for the certificate.
TEST_P(RefusedHostTest, FailsAFileAfterItsAttempts) {
  const RefusedHost& c = GetParam();
  rig::Publish(rig::kSite1, L"/file.bin", rig::Pattern(3000));
  const std::wstring url = http_rules::Url(rig::Host(c.server), L"/file.bin");

  const TransferOutcome outcome = TransferUrlToFile(url, temp / L"file.bin", nullptr, nullptr, std::string());

  EXPECT_FALSE(outcome.succeeded);
  EXPECT_EQ(outcome.attempts, 4);
  EXPECT_EQ(outcome.failure, AttemptFailure::kNoAnswer);
  EXPECT_EQ(c.errors.count(outcome.detail), 1u) << outcome.detail;
  EXPECT_EQ(FailuresNaming(rig::Host(c.server), c.errors), 4);
  EXPECT_FALSE(PathExists(temp / L"file.bin"));
}

INSTANTIATE_TEST_SUITE_P(Certificates, RefusedHostTest, testing::ValuesIn(kRefused),
                         [](const testing::TestParamInfo<RefusedHost>& info) { return std::string(info.param.name); });

}  // namespace
