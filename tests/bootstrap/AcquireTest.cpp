// Site choice and the whole download phase against nginx and the fault server, with the real
// progress window and fake time.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cctype>
#include <climits>
#include <cstdint>
#include <string>

#include "bootstrap/AcquireSetup.h"
#include "bootstrap/ChooseDownloadSite.h"
#include "bootstrap/DescriptionPlatformWin.h"
#include "description/LoadDescription.h"
#include "crypto/SignatureCheck.h"
#include "fs/ApplicationFolder.h"
#include "fs/FolderNameKey.h"
#include "fs/FileOperations.h"
#include "tests/download/Descriptions.h"
#include "tests/download/ServerRig.h"
#include "tests/support/DebugOutputListener.h"
#include "tests/support/FakeClock.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestFiles.h"
#include "ui/MessageSeam.h"
#include "ui/ProgressWindow.h"

namespace {

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

class AcquisitionFixture : public testing::Test {
 protected:
  void SetUp() override {
    if (!rig::Available()) GTEST_SKIP() << "run through tests/servers/run-with-servers.sh";
    hosts = {rig::Host(rig::kHost1), rig::Host(rig::kHost2)};
  }
  // Each test publishes under its own name, so server logs of different tests never mix.
  static std::string TestName() { return testing::UnitTest::GetInstance()->current_test_info()->name(); }
  static std::string Prefix() {
    std::string name = "/" + TestName();
    for (char& c : name) {
      if (c == '/' && &c != &name[0]) c = '_';
    }
    return name;
  }

  // The acquisition's own reason line: the last failure line, written just before its message.
  std::wstring ReasonLine() {
    const std::vector<std::wstring> lines = debugOutput.FailureLines();
    return lines.empty() ? std::wstring() : lines.back();
  }

  TempFolder temp;
  FakeClock clock;
  MessageRecorder messages;
  DebugOutputListener debugOutput;
  DefaultHosts hosts;
  DescriptionPlatform platform = WindowsDescriptionPlatform();
};

// ---- ChooseDownloadSite ----------------------------------------------------------------------

class ChooseSiteTest : public AcquisitionFixture {
 protected:
  std::wstring Choose(const std::vector<std::wstring>& sites, const std::string& firstFile) {
    WriteFileBytes(temp / L"d.eif", Encrypted(DescriptionText(sites, {firstFile})));
    const LoadedDescription loaded = LoadDescription(temp / L"d.eif", platform);
    if (!loaded.Accepted()) {
      ADD_FAILURE() << "the description did not load";
      return std::wstring();
    }
    const std::vector<ListedFile>& files = loaded.Description().ListedFiles();
    return ChooseDownloadSite(loaded.Description().Sites(), files.empty() ? std::wstring() : files.front().source);
  }
};

TEST_F(ChooseSiteTest, StopsAtTheFirstHostAbove1000AndNeverContactsTheRest) {
  const std::string file = Prefix() + "/a.bin";
  rig::Publish(rig::kSite1, Wide(file), rig::Pattern(1000));  // exactly 1000: passed over
  rig::Publish(rig::kSite2, Wide(file), rig::Pattern(1001));
  rig::Publish(rig::kSite3, Wide(file), rig::Pattern(5000));

  const std::wstring chosen = Choose(
      {rig::Host(rig::kSite1), L"  " + rig::Host(rig::kSite2) + L"  ", rig::Host(rig::kSite3)},
      file + " -> a.bin");

  EXPECT_EQ(chosen, rig::Host(rig::kSite2));  // trimmed, nothing added
  EXPECT_EQ(rig::CountRequests(rig::kSite1, file, 1), 1);
  EXPECT_EQ(rig::CountRequests(rig::kSite2, file, 1), 1);
  EXPECT_EQ(rig::CountRequests(rig::kSite3, file), 0);
  EXPECT_TRUE(messages.Texts().empty());
}

TEST_F(ChooseSiteTest, SkipsAHostThatIsDown) {
  const std::string file = Prefix() + "/a.bin";
  rig::Publish(rig::kSite1, Wide(file), rig::Pattern(2000));
  EXPECT_EQ(Choose({rig::Host(rig::kDown), rig::Host(rig::kSite1)}, file + " -> a.bin"),
            rig::Host(rig::kSite1));
}

TEST_F(ChooseSiteTest, AnEmptyLineEndsTheList) {
  const std::string file = Prefix() + "/a.bin";
  rig::Publish(rig::kSite2, Wide(file), rig::Pattern(2000));

  EXPECT_EQ(Choose({rig::Host(rig::kSite1), L"", rig::Host(rig::kSite2)}, file + " -> a.bin"), L"");

  EXPECT_EQ(rig::CountRequests(rig::kSite1, file, 1), 1);  // its error page is too short
  EXPECT_EQ(rig::CountRequests(rig::kSite2, file), 0);
}

TEST_F(ChooseSiteTest, AFirstItemWithoutArrowProbesTheHostsRoot) {
  rig::Publish(rig::kSite4, L"/index.html", rig::Pattern(2000));
  EXPECT_EQ(Choose({rig::Host(rig::kSite4)}, Prefix() + "/a.bin"), rig::Host(rig::kSite4));
  EXPECT_EQ(rig::CountRequests(rig::kSite4, "/", 1), 1);
}

// ---- AcquireSetup ----------------------------------------------------------------------------

class AcquireTest : public AcquisitionFixture {
 protected:
  void SetUp() override {
    AcquisitionFixture::SetUp();
    if (IsSkipped()) return;
    appFolder = temp / L"app";
    setupFolder = temp / L"setup";
    ASSERT_TRUE(CreateFolderPath(appFolder));
    SetApplicationFolder(appFolder + L"\\Setup.HLP");
    wchar_t current[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, current);
    savedDirectory_ = current;
    ::SetCurrentDirectoryW(appFolder.c_str());
    ASSERT_TRUE(window.Create(::GetModuleHandleW(nullptr)));
  }
  void TearDown() override {
    if (!savedDirectory_.empty()) ::SetCurrentDirectoryW(savedDirectory_.c_str());
  }

  AcquireRequest Request() const { return {Wide(TestName()), setupFolder, hosts}; }
  // The program's warning box, owned by the window while it exists.
  MessageSink Messages() {
    return [this](const std::wstring& text) { message_seam::ShowWarning(window.GetSafeHwnd(), text, L"Setup"); };
  }
  bool Acquire() {
    const ProgressSink progress{window.GetSafeHwnd(), [this](int upperBound) { window.SetRangeMax(upperBound); }};
    result = AcquireSetup(platform, downloader, Request(), progress, Messages());
    return result.Succeeded();
  }
  std::wstring DescriptionPath() const { return L"/downloads/Setups/" + Wide(TestName()) + L"/SetupInitial.eif"; }
  // Files "a.bin", "b.bin", ... of the given sizes on site 1, listed in that order.
  std::vector<std::string> PublishFiles(const std::vector<size_t>& sizes) {
    std::vector<std::string> items;
    for (size_t i = 0; i < sizes.size(); ++i) {
      const std::string name = std::string(1, static_cast<char>('a' + i)) + ".bin";
      rig::Publish(rig::kSite1, Wide(Prefix() + "/" + name), rig::Pattern(sizes[i], static_cast<int>(i)));
      items.push_back(Prefix() + "/" + name + " -> " + name);
    }
    return items;
  }
  PBRANGE Range() const {
    PBRANGE range = {};
    ::SendMessageW(Bar(), PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    return range;
  }
  int Position() const { return static_cast<int>(::SendMessageW(Bar(), PBM_GETPOS, 0, 0)); }

  std::wstring appFolder, setupFolder;
  ProgressWindow window;
  Downloader downloader;
  AcquireResult result;

 private:
  HWND Bar() const { return ::GetDlgItem(window.GetSafeHwnd(), ProgressWindow::kProgressBarId); }
  std::wstring savedDirectory_;
};

TEST_F(AcquireTest, FetchesTheDescriptionFromTheFirstHostAndEveryFileSizingTheBar) {
  // The first file must be above 1000 bytes for the site to qualify.
  const std::vector<std::string> files = PublishFiles({2000, 1000, 3000});
  rig::Publish(rig::kHost1, DescriptionPath(), Encrypted(DescriptionText({rig::Host(rig::kSite1)}, files)));

  EXPECT_TRUE(Acquire());

  EXPECT_TRUE(messages.Texts().empty());
  EXPECT_TRUE(debugOutput.FailureLines().empty());
  EXPECT_EQ(result.downloadSite, rig::Host(rig::kSite1));
  EXPECT_EQ(ReadFileBytes(setupFolder + L"\\a.bin"), rig::Pattern(2000, 0));
  EXPECT_EQ(ReadFileBytes(setupFolder + L"\\b.bin"), rig::Pattern(1000, 1));
  EXPECT_EQ(ReadFileBytes(setupFolder + L"\\c.bin"), rig::Pattern(3000, 2));
  EXPECT_EQ(Range().iLow, 0);
  EXPECT_EQ(Range().iHigh, 6000);
  EXPECT_EQ(Position(), 6000);  // 1 + 6000, held at the bound
  EXPECT_EQ(rig::CountRequests(rig::kHost1, Narrow(DescriptionPath()), 2), 2);  // probe, download
  EXPECT_EQ(rig::CountRequests(rig::kHost2, Narrow(DescriptionPath())), 0);
  // The first file is probed by the site choice and by the sizing, then fetched.
  EXPECT_EQ(rig::CountRequests(rig::kSite1, Prefix() + "/a.bin", 3), 3);
  EXPECT_EQ(rig::CountRequests(rig::kSite1, Prefix() + "/c.bin", 2), 2);
}

TEST_F(AcquireTest, FetchesTheDescriptionFromTheSecondHostWhenTheFirstLacksIt) {
  const std::vector<std::string> files = PublishFiles({1500});
  rig::Publish(rig::kHost2, DescriptionPath(), Encrypted(DescriptionText({rig::Host(rig::kSite1)}, files)));

  EXPECT_TRUE(Acquire());

  EXPECT_TRUE(messages.Texts().empty());
  EXPECT_EQ(rig::CountRequests(rig::kHost1, Narrow(DescriptionPath()), 1), 1);
  EXPECT_EQ(rig::CountRequests(rig::kHost2, Narrow(DescriptionPath()), 2), 2);
  EXPECT_TRUE(PathExists(setupFolder + L"\\a.bin"));
}

TEST_F(AcquireTest, ALocalCopysDownloadPathNamesTheServerFolder) {
  const std::vector<std::string> files = PublishFiles({1500});
  const std::wstring folder = Wide(Prefix()) + L"/beta/Reader";
  rig::Publish(rig::kHost1, folder + L"/SetupInitial.eif",
               Encrypted(DescriptionText({rig::Host(rig::kSite1)}, files)));
  WriteFileBytes(appFolder + L"\\SetupInitial.eif",
                 Encrypted(DescriptionText({}, {}, "[Download Initial Setup]\r\nYes\r\n[Download Path]\r\n" +
                                                         Narrow(folder) + "\r\n")));

  EXPECT_TRUE(Acquire());

  EXPECT_TRUE(messages.Texts().empty());
  EXPECT_EQ(rig::CountRequests(rig::kHost1, Narrow(folder) + "/SetupInitial.eif", 2), 2);
  EXPECT_EQ(rig::CountRequests(rig::kHost1, Narrow(DescriptionPath())), 0);
  EXPECT_TRUE(PathExists(setupFolder + L"\\a.bin"));
}

TEST_F(AcquireTest, LocalCopyModeCopiesTheApplicationFolderAndStillFetchesTheFiles) {
  std::vector<std::string> files = PublishFiles({1500});
  files.push_back(Prefix() + "/gone.bin -> extra.txt");  // fails, but the copy is there
  const std::string description = Encrypted(DescriptionText(
      {rig::Host(rig::kSite1)}, files, "[Download Initial Setup]\r\nNo\r\n"));
  WriteFileBytes(appFolder + L"\\SetupInitial.eif", description);
  WriteFileBytes(appFolder + L"\\extra.txt", "extra");

  EXPECT_TRUE(Acquire());

  EXPECT_TRUE(messages.Texts().empty());
  EXPECT_EQ(ReadFileBytes(setupFolder + L"\\SetupInitial.eif"), description);
  EXPECT_EQ(ReadFileBytes(setupFolder + L"\\extra.txt"), "extra");
  EXPECT_EQ(ReadFileBytes(setupFolder + L"\\a.bin"), rig::Pattern(1500, 0));
  for (rig::Server host : {rig::kHost1, rig::kHost2}) {
    EXPECT_EQ(rig::CountRequests(host, Narrow(DescriptionPath())), 0);
    EXPECT_EQ(rig::CountRequests(host, "/SetupInitial.eif"), 0);
  }
}

TEST_F(AcquireTest, OnlyAnExactNoSelectsTheLocalCopy) {
  for (const char* value : {"no", "NO"}) {
    MessageRecorder recorder;
    WriteFileBytes(appFolder + L"\\SetupInitial.eif",
                   Encrypted(DescriptionText({}, {}, std::string("[Download Initial Setup]\r\n") + value + "\r\n")));
    const int before = rig::CountRequests(rig::kHost1, "/SetupInitial.eif");
    Downloader freshDownloader;  // the phase runs once per downloader

    EXPECT_FALSE(AcquireSetup(WindowsDescriptionPlatform(), freshDownloader, Request(), {}, Messages()).Succeeded()) << value;

    // Download mode; the local copy has no "Download Path", so the host's root is asked.
    EXPECT_EQ(rig::CountRequests(rig::kHost1, "/SetupInitial.eif", before + 1), before + 1) << value;
    ASSERT_FALSE(MessageRecorder::Texts().empty());
    EXPECT_EQ(MessageRecorder::Texts().back(), L"Error: Download site not found.");
  }
}

TEST_F(AcquireTest, WithoutFilesToDownloadTheRangeIsZeroAndTheResultTrue) {
  rig::Publish(rig::kHost1, DescriptionPath(),
               Encrypted("// " + std::string(700, '=') + "\r\n[Download Sites]\r\n" +
                         Narrow(rig::Host(rig::kSite1)) + "\r\n[End]\r\nEnd\r\n"));

  EXPECT_TRUE(Acquire());

  const std::vector<RecordedMessage>& shown = MessageRecorder::Messages();
  ASSERT_EQ(shown.size(), 2u);
  for (const RecordedMessage& m : shown) {
    EXPECT_EQ(m.caption, L"Ini Parser");
    EXPECT_EQ(m.text, L"Tag 'Files to download' not found.");
  }
  EXPECT_EQ(Range().iHigh, 0);
  EXPECT_EQ(result.downloadSite, L"");
}

TEST_F(AcquireTest, AFileAbsentAfterItsFailureStopsTheWalk) {
  std::vector<std::string> files = PublishFiles({1200, 1300, 1400});
  ::DeleteFileW(rig::DocumentPath(rig::kSite1, Wide(Prefix() + "/b.bin")).c_str());
  rig::Publish(rig::kHost1, DescriptionPath(), Encrypted(DescriptionText({rig::Host(rig::kSite1)}, files)));

  EXPECT_FALSE(Acquire());

  EXPECT_EQ(messages.Texts(), std::vector<std::wstring>{L"Error: Failed to download b.bin"});
  EXPECT_EQ(ReasonLine(),
            L"file b.bin not downloaded from " + rig::Url(rig::kSite1, Wide(Prefix() + "/b.bin")) + L": status 404");
  EXPECT_EQ(result.failure, AcquireFailure::kFileNotDownloaded);
  EXPECT_TRUE(PathExists(setupFolder + L"\\a.bin"));
  EXPECT_FALSE(PathExists(setupFolder + L"\\b.bin"));
  EXPECT_EQ(rig::CountRequests(rig::kSite1, Prefix() + "/b.bin", 1 + 4), 1 + 4);  // sized, 4 attempts
  EXPECT_EQ(rig::CountRequests(rig::kSite1, Prefix() + "/c.bin", 1), 1);      // sized only
}

// A forged description must not reach outside the setup temp folder.
TEST_F(AcquireTest, ATargetThatIsNotAPlainFileNameIsNeverWritten) {
  const std::vector<std::string> files = PublishFiles({2000});
  const std::string source = files[0].substr(0, files[0].find(" ->"));
  for (const std::string target : {"..\\evil.bin", "sub/evil.bin", "C:evil.bin", "\\evil.bin", ".."}) {
    MessageRecorder recorder;
    debugOutput.Clear();
    rig::Publish(rig::kHost1, DescriptionPath(),
                 Encrypted(DescriptionText({rig::Host(rig::kSite1)}, {source + " -> " + target})));
    const int before = rig::CountRequests(rig::kSite1, source);
    Downloader freshDownloader;  // the phase runs once per downloader

    EXPECT_FALSE(AcquireSetup(WindowsDescriptionPlatform(), freshDownloader, Request(), {}, Messages()).Succeeded()) << target;

    EXPECT_EQ(MessageRecorder::Texts(), std::vector<std::wstring>{L"Error: Failed to download " + Wide(target)});
    EXPECT_EQ(ReasonLine(), L"listed target " + Wide(target) + L" is not a plain file name");
    // Sized (site choice and sizing), never fetched.
    EXPECT_EQ(rig::CountRequests(rig::kSite1, source, before + 2), before + 2) << target;
    EXPECT_FALSE(PathExists(temp / L"evil.bin"));
    EXPECT_FALSE(PathExists(L"C:\\evil.bin"));
  }
}

TEST_F(AcquireTest, TheTotalOfLengthsIsHeldToTheBarsRange) {
  WriteFileBytes(appFolder + L"\\unused.txt", "");
  const std::wstring fault = rig::Host(rig::kFault);
  const std::string p = Prefix();
  rig::Publish(rig::kHost1, DescriptionPath(),
               Encrypted(DescriptionText({fault}, {p + "/ok?size=2000 -> ok.bin",
                                                   p + "/big?length=2000000000&size=0 -> big1.bin",
                                                   p + "/big?length=2000000000&size=0&n=2 -> big2.bin"})));

  EXPECT_FALSE(Acquire());

  EXPECT_EQ(Range().iHigh, INT_MAX);
  EXPECT_EQ(messages.Texts(), std::vector<std::wstring>{L"Error: Failed to download big1.bin"});
  EXPECT_EQ(ReadFileBytes(setupFolder + L"\\ok.bin").size(), 2000u);
}

// ---- Signed descriptions and file hashes -----------------------------------------------------

// What a build with the test signing key checks descriptions with: the signature and a hash
// line per listed file, no section required.
DescriptionPlatform BuildKeyPlatform() {
  const std::string der = ReadTestFile(std::string(KEYS_FOLDER) + "/signing-public.der");
  DescriptionPlatform platform = WindowsDescriptionPlatform();
  platform.verifySignature = SignatureCheckFor(reinterpret_cast<const unsigned char*>(der.data()), der.size());
  platform.signing = SigningPolicy();
  return platform;
}

// Site 1 serves "a.bin" (2000 bytes, so the site qualifies) and "c.bin" (1500 bytes), listed as
// "a.bin" and "My Setup.cab".
class HashedAcquireTest : public AcquireTest {
 protected:
  void SetUp() override {
    AcquireTest::SetUp();
    if (IsSkipped()) return;
    rig::Publish(rig::kSite1, Wide(Prefix() + "/a.bin"), a);
    rig::Publish(rig::kSite1, Wide(Prefix() + "/c.bin"), c);
  }
  void UseBuildKey() { platform = BuildKeyPlatform(); }
  // As a build with every requirement on sees it, on 2026-12-09 at noon (UTC).
  void UseRequiringBuildKey() {
    platform = BuildKeyPlatform();
    platform.signing.requireValidUntil = platform.signing.requireApplication = platform.signing.requireSizes = true;
    platform.signedContext.utcNow = [] { return std::int64_t{1796817600}; };
    platform.signedContext.applicationName = Wide(TestName());
    platform.signedContext.sameApplication = [](const std::wstring& x, const std::wstring& y) {
      return FolderNameKey(x) == FolderNameKey(y);
    };
  }
  // Both files with their sizes, then the expiry and the application (in other letter case).
  std::string SignedSections(const std::string& validUntil, const std::string& application) const {
    std::string lower = application;
    for (char& ch : lower) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return "[File Hashes]\r\n" + Sha256Hex(a) + " 2000 a.bin\r\n" + Sha256Hex(c) + " 1500 My Setup.cab\r\n\r\n" +
           "[Valid Until]\r\n" + validUntil + "\r\n[Application]\r\n" + lower + "\r\n";
  }
  std::vector<std::string> Items() const { return {Prefix() + "/a.bin -> a.bin", Prefix() + "/c.bin -> My Setup.cab"}; }
  // Both hash lines as publishers write them: upper case, and several spaces before a name with
  // spaces; `aDigest` replaces the first one's digest.
  std::string HashSection(const std::string& aDigest) const {
    std::string upper = aDigest;
    for (char& ch : upper) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    return "[File Hashes]\r\n" + upper + " a.bin\r\n" + Sha256Hex(c) + "    My Setup.cab\r\n\r\n";
  }
  std::string Plain(const std::string& extra) const {
    return DescriptionText({rig::Host(rig::kSite1)}, Items(), extra);
  }
  int FileRequests() const {
    return rig::CountRequests(rig::kSite1, Prefix() + "/a.bin") + rig::CountRequests(rig::kSite1, Prefix() + "/c.bin");
  }

  const std::string a = rig::Pattern(2000, 5);
  const std::string c = rig::Pattern(1500, 6);
};

// Signed sizes size the bar: no site is asked for a file's length that the description signed.
TEST_F(HashedAcquireTest, SignedSizesSizeTheBarWithoutProbes) {
  UseRequiringBuildKey();
  rig::Publish(rig::kHost1, DescriptionPath(), Encrypted(Signed(Plain(SignedSections("2026-12-09", TestName())))));

  EXPECT_TRUE(Acquire());

  EXPECT_TRUE(messages.Texts().empty());
  EXPECT_EQ(ReadFileBytes(setupFolder + L"\\My Setup.cab"), c);
  EXPECT_EQ(Range().iHigh, 3500);
  EXPECT_EQ(rig::CountRequests(rig::kSite1, Prefix() + "/a.bin", 2), 2);  // the site choice, the download
  EXPECT_EQ(rig::CountRequests(rig::kSite1, Prefix() + "/c.bin", 1), 1);
}

TEST_F(HashedAcquireTest, ASignedDescriptionWithHashesInstallsUnderTheKey) {
  UseBuildKey();
  rig::Publish(rig::kHost1, DescriptionPath(), Encrypted(Signed(Plain(HashSection(Sha256Hex(a))))));

  EXPECT_TRUE(Acquire());

  EXPECT_TRUE(messages.Texts().empty());
  EXPECT_EQ(ReadFileBytes(setupFolder + L"\\a.bin"), a);
  EXPECT_EQ(ReadFileBytes(setupFolder + L"\\My Setup.cab"), c);
}

// The served bytes against the hash line, with and without a key built in.
TEST_F(HashedAcquireTest, AFileIsCheckedAgainstItsHashLineAsItIsWritten) {
  std::string sameLength = a;
  sameLength[1999] = sameLength[1999] == 'a' ? 'b' : 'a';
  const struct {
    const char* name;
    bool key;
    std::string section;  // [File Hashes]
    bool succeeds;
  } cases[] = {
      {"no key, right hash", false, HashSection(Sha256Hex(a)), true},
      {"no key, hash of other bytes of the same length", false, HashSection(Sha256Hex(sameLength)), false},
      {"no key, no hash line: unchecked", false, "[File Hashes]\r\n" + Sha256Hex(c) + " My Setup.cab\r\n\r\n", true},
      {"key, hash of other bytes of the same length", true, HashSection(Sha256Hex(sameLength)), false},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.name);
    MessageRecorder recorder;
    debugOutput.Clear();
    const DescriptionPlatform keyed = k.key ? BuildKeyPlatform() : WindowsDescriptionPlatform();
    Downloader freshDownloader;  // the phase runs once per downloader
    const std::string plain = Plain(k.section);
    rig::Publish(rig::kHost1, DescriptionPath(), Encrypted(k.key ? Signed(plain) : plain));
    const int before = rig::CountRequests(rig::kSite1, Prefix() + "/a.bin");

    EXPECT_EQ(AcquireSetup(keyed, freshDownloader, Request(), {}, Messages()).Succeeded(), k.succeeds);

    if (k.succeeds) {
      EXPECT_TRUE(MessageRecorder::Texts().empty());
      EXPECT_EQ(ReadFileBytes(setupFolder + L"\\a.bin"), a);
    } else {
      EXPECT_EQ(MessageRecorder::Texts(), std::vector<std::wstring>{L"Error: Failed to download a.bin"});
      EXPECT_EQ(ReasonLine(), L"file a.bin not downloaded from " + rig::Url(rig::kSite1, Wide(Prefix() + "/a.bin")) +
                                  L": SHA-256 differs from the listed one");
      EXPECT_FALSE(PathExists(setupFolder + L"\\a.bin"));
      // Probed by the site choice and the sizing, then the 4 attempts.
      EXPECT_EQ(rig::CountRequests(rig::kSite1, Prefix() + "/a.bin", before + 6), before + 6);
    }
  }
}

struct RefusalCase {
  const char* name;
  const wchar_t* message;
  const wchar_t* reason;  // after "description PATH refused: "
};

const wchar_t kUnsigned[] = L"no well-formed [Signature] at its end";
const wchar_t kMismatch[] = L"signature does not match";

class RefusedDescriptionTest : public HashedAcquireTest, public testing::WithParamInterface<RefusalCase> {};

// A build with a key refuses these like a damaged description, before any file is asked for.
TEST_P(RefusedDescriptionTest, ShowsTheDescriptionMessageAndFetchesNothing) {
  UseBuildKey();
  const std::string name = GetParam().name;
  const std::string app = TestName();
  const std::string hashed = Plain(HashSection(Sha256Hex(a)));
  std::string published;
  if (name == "unsigned") {
    published = hashed;
  } else if (name == "tampered") {
    published = Signed(hashed);
    published[published.find("a.bin") + 1] = '-';  // "a-bin": another file, same length
  } else if (name == "other_key") {
    published = Signed(hashed, true);
  } else if (name == "missing_hash_line") {
    published = Signed(Plain("[File Hashes]\r\n" + Sha256Hex(a) + " a.bin\r\n\r\n"));
  } else if (name == "expired") {
    UseRequiringBuildKey();
    published = Signed(Plain(SignedSections("2026-12-09 11:59:59", app)));
  } else if (name == "other_application") {
    UseRequiringBuildKey();
    published = Signed(Plain(SignedSections("2026-12-10", "Writer")));
  } else if (name == "unsized") {
    UseRequiringBuildKey();
    published = Signed(Plain(HashSection(Sha256Hex(a)) + "[Valid Until]\r\n2026-12-10\r\n[Application]\r\n" + app));
  } else if (name == "planted_unsigned_local_copy") {
    WriteFileBytes(appFolder + L"\\SetupInitial.eif", Encrypted(Plain("[Download Initial Setup]\r\nNo\r\n")));
    WriteFileBytes(appFolder + L"\\a.bin", "planted");
  }
  if (!published.empty()) rig::Publish(rig::kHost1, DescriptionPath(), Encrypted(published));

  EXPECT_FALSE(Acquire());

  EXPECT_EQ(messages.Texts(), std::vector<std::wstring>{GetParam().message});
  const std::wstring path = name == "planted_unsigned_local_copy" ? L"SetupInitial.eif" : setupFolder + L"\\SetupInitial.eif";
  EXPECT_EQ(ReasonLine(), L"description " + path + L" refused: " + GetParam().reason);
  EXPECT_EQ(FileRequests(), 0);
  EXPECT_FALSE(PathExists(setupFolder + L"\\a.bin"));
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, RefusedDescriptionTest,
    testing::Values(RefusalCase{"unsigned", L"Error opening the initial setup eif.", kUnsigned},
                    RefusalCase{"tampered", L"Error opening the initial setup eif.", kMismatch},
                    RefusalCase{"other_key", L"Error opening the initial setup eif.", kMismatch},
                    RefusalCase{"missing_hash_line", L"Error opening the initial setup eif.",
                                L"a listed file has no hash line, or a hash line is malformed"},
                    RefusalCase{"expired", L"Error opening the initial setup eif.",
                                L"it expired at 2026-12-09 11:59:59 UTC"},
                    RefusalCase{"other_application", L"Error opening the initial setup eif.",
                                L"its [Application] writer is not ShowsTheDescriptionMessageAndFetchesNothing/other_application"},
                    RefusalCase{"unsized", L"Error opening the initial setup eif.", L"the hash line of a.bin has no size"},
                    RefusalCase{"planted_unsigned_local_copy", L"Error opening the local initial setup eif.", kUnsigned}),
    [](const testing::TestParamInfo<RefusalCase>& info) { return std::string(info.param.name); });

// Local-copy mode: a file copied from beside the executable counts only with its hash.
TEST_F(HashedAcquireTest, ACopiedFileCountsOnlyWithItsHash) {
  const std::string extra = "the copy that was signed for";
  const struct {
    const char* name;
    std::string besideExecutable;
    bool served;  // the site also has the right bytes
    bool succeeds;
  } cases[] = {
      {"matching copy, not on the site", extra, false, true},
      {"other bytes, not on the site: deleted", "other bytes", false, false},
      {"other bytes, on the site: downloaded", "other bytes", true, true},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.name);
    MessageRecorder recorder;
    debugOutput.Clear();
    const DescriptionPlatform keyed = BuildKeyPlatform();
    Downloader freshDownloader;
    const std::string source = Prefix() + "/extra" + std::to_string(&k - cases) + ".bin";
    if (k.served) rig::Publish(rig::kSite1, Wide(source), extra);
    const std::string plain = DescriptionText(
        {rig::Host(rig::kSite1)}, {Prefix() + "/a.bin -> a.bin", source + " -> extra.bin"},
        "[Download Initial Setup]\r\nNo\r\n[File Hashes]\r\n" + Sha256Hex(a) + " a.bin\r\n" + Sha256Hex(extra) +
            " extra.bin\r\n\r\n");
    WriteFileBytes(appFolder + L"\\SetupInitial.eif", Encrypted(Signed(plain)));
    WriteFileBytes(appFolder + L"\\extra.bin", k.besideExecutable);

    EXPECT_EQ(AcquireSetup(keyed, freshDownloader, Request(), {}, Messages()).Succeeded(), k.succeeds);

    if (k.succeeds) {
      EXPECT_TRUE(MessageRecorder::Texts().empty());
      EXPECT_EQ(ReadFileBytes(setupFolder + L"\\extra.bin"), extra);
    } else {
      EXPECT_EQ(MessageRecorder::Texts(), std::vector<std::wstring>{L"Error: Failed to download extra.bin"});
      EXPECT_EQ(ReasonLine(), L"file extra.bin not downloaded from " + rig::Url(rig::kSite1, Wide(source)) +
                                  L": status 404; the copy present differs from its hash line and was deleted");
      EXPECT_FALSE(PathExists(setupFolder + L"\\extra.bin"));
    }
  }
}

struct FailureCase {
  const char* name;
  const wchar_t* message;
  AcquireFailure failure;
  // How the reason line starts; "<setup>" stands for the setup temp folder, "<prefix>" for the
  // test's server folder.
  const wchar_t* reason;
};

class AcquireFailureTest : public AcquireTest, public testing::WithParamInterface<FailureCase> {
 protected:
  // Puts in place what makes the acquisition fail with this case's message.
  void Arrange(const std::string& name) {
    const std::wstring fault = rig::Host(rig::kFault) + L"/" + Wide(name);
    if (name == "local_copy_unreadable") {
      WriteFileBytes(appFolder + L"\\SetupInitial.eif", "not a description");
    } else if (name == "temp_folder_impossible") {
      WriteFileBytes(temp / L"file", "x");
      setupFolder = temp / L"file\\setup";
    } else if (name == "default_host_offers_999_bytes") {
      hosts.first = fault + L"?size=999&from=";  // the host text may carry a path
      hosts.second = rig::Host(rig::kDown);
    } else if (name == "default_host_offers_1000_bytes") {
      hosts.first = fault + L"?size=1000&from=";  // accepted, but not a description
      hosts.second = rig::Host(rig::kDown);
    } else if (name == "description_transfer_fails") {
      hosts.first = fault + L"?length=5000&size=100&from=";
    } else if (name == "default_host_answers_500_with_a_long_page") {
      hosts.first = fault + L"?status=500&size=1500&from=";
      hosts.second = rig::Host(rig::kDown);
    } else if (name == "site_answers_403_with_a_long_page") {
      rig::Publish(rig::kHost1, DescriptionPath(),
                   Encrypted(DescriptionText({rig::Host(rig::kFault)},
                                             {Prefix() + "/a?status=403&size=1500 -> a.bin"})));
    } else if (name == "file_answers_500_with_a_long_page") {
      rig::Publish(rig::kHost1, DescriptionPath(),
                   Encrypted(DescriptionText({rig::Host(rig::kFault)},
                                             {Prefix() + "/ok?size=2000 -> ok.bin",
                                              Prefix() + "/bad?status=500&size=1500 -> bad.bin"})));
    } else if (name == "no_download_site") {
      rig::Publish(rig::kHost1, DescriptionPath(),
                   Encrypted(DescriptionText({rig::Host(rig::kDown), rig::Host(rig::kSite1)},
                                             {Prefix() + "/absent.bin -> absent.bin"})));
    }
  }
};

TEST_P(AcquireFailureTest, ShowsItsMessageAndGivesUp) {
  Arrange(GetParam().name);

  EXPECT_FALSE(Acquire());

  ASSERT_EQ(MessageRecorder::Messages().size(), 1u);
  EXPECT_EQ(MessageRecorder::Messages()[0].text, GetParam().message);
  EXPECT_EQ(MessageRecorder::Messages()[0].type & 0xFFu, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
  EXPECT_EQ(result.failure, GetParam().failure);
  std::wstring reason = GetParam().reason;
  for (const auto& [token, value] : {std::pair<std::wstring, std::wstring>{L"<setup>", setupFolder},
                                     {L"<prefix>", Wide(Prefix())}}) {
    const std::size_t at = reason.find(token);
    if (at != std::wstring::npos) reason.replace(at, token.size(), value);
  }
  const std::wstring line = ReasonLine();
  EXPECT_EQ(line.substr(0, reason.size()), reason) << Narrow(line);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, AcquireFailureTest,
    testing::Values(
        FailureCase{"local_copy_unreadable", L"Error opening the local initial setup eif.",
                    AcquireFailure::kLocalDescriptionRefused, L"description SetupInitial.eif refused: not decrypted: "},
        FailureCase{"temp_folder_impossible", L"Error: Failed to create the Windows temp subfolder.",
                    AcquireFailure::kFolderNotCreated, L"cannot create folder <setup> (error "},
        FailureCase{"default_host_offers_999_bytes", L"Error: Download site not found.", AcquireFailure::kNoDefaultHost,
                    L"no default host offers the description with at least 1000 bytes: http://"},
        FailureCase{"default_host_offers_1000_bytes", L"Error opening the initial setup eif.",
                    AcquireFailure::kDescriptionRefused, L"description <setup>\\SetupInitial.eif refused: not decrypted: not an encrypted description"},
        FailureCase{"description_transfer_fails", L"Error: Failed to download.",
                    AcquireFailure::kDescriptionNotDownloaded, L"description not downloaded from http://"},
        FailureCase{"no_download_site", L"Error: Download site not found.", AcquireFailure::kNoDownloadSite,
                    L"no download site serves <prefix>/absent.bin with more than 1000 bytes"},
        // Error pages longer than 1000 bytes are neither a host, a site nor a file.
        FailureCase{"default_host_answers_500_with_a_long_page", L"Error: Download site not found.",
                    AcquireFailure::kNoDefaultHost, L"no default host offers the description"},
        FailureCase{"site_answers_403_with_a_long_page", L"Error: Download site not found.",
                    AcquireFailure::kNoDownloadSite, L"no download site serves <prefix>/a?status=403&size=1500 "},
        FailureCase{"file_answers_500_with_a_long_page", L"Error: Failed to download bad.bin",
                    AcquireFailure::kFileNotDownloaded, L"file bad.bin not downloaded from http://"}),
    [](const testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

}  // namespace
