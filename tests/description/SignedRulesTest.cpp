// What a build with a signing key demands of a signed description: an expiry that has not
// passed, the application it serves, signed sizes; and the time format of [Valid Until].
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "description/SetupDescription.h"
#include "description/SignedRules.h"
#include "description/ValidUntil.h"

namespace {

constexpr std::int64_t kDay = 86400;
// 2026-12-09 12:00:00 UTC.
constexpr std::int64_t kNow = 20796 * kDay + 12 * 3600;

TEST(ValidUntil, ReadsTheTwoFormsAndNothingElse) {
  const struct {
    const wchar_t* value;
    std::optional<std::int64_t> seconds;
  } cases[] = {
      {L"1970-01-01 00:00:00", 0},
      {L"2026-12-09 12:00:00", kNow},
      {L"2026-12-09", 20796 * kDay + kDay - 1},  // the end of the day
      {L"2024-02-29", 19782 * kDay + kDay - 1},  // a leap day
      {L"9999-12-31 23:59:59", 253402300799},
      {L"2023-02-29", std::nullopt},
      {L"2100-02-29", std::nullopt},  // no leap year
      {L"2026-13-01", std::nullopt},
      {L"2026-00-10", std::nullopt},
      {L"2026-12-32", std::nullopt},
      {L"2026-12-09 24:00:00", std::nullopt},
      {L"2026-12-09 12:60:00", std::nullopt},
      {L"2026-12-09T12:00:00", std::nullopt},
      {L"2026-12-09 12:00", std::nullopt},
      {L"1969-12-31", std::nullopt},
      {L"26-12-09", std::nullopt},
      {L"2026/12/09", std::nullopt},
      {L"+026-12-09", std::nullopt},
      {L"", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.value)));
    const std::optional<std::int64_t> seconds = ParseValidUntil(c.value);
    EXPECT_EQ(seconds, c.seconds);
    if (seconds && std::wstring(c.value).size() == 19) {
      const std::string back = FormatValidUntil(*seconds);
      EXPECT_EQ(std::wstring(back.begin(), back.end()), c.value);
    }
  }
  EXPECT_TRUE(StillValid(kNow, kNow));
  EXPECT_FALSE(StillValid(kNow - 1, kNow));
}

const std::wstring kHash = L"9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08";

// Letter case ignored, as the folder names compare.
SignedRequirements Rules(bool validUntil, bool application, bool sizes) {
  SignedRequirements rules;
  rules.validUntil = validUntil;
  rules.application = application;
  rules.sizes = sizes;
  rules.utcNow = [] { return kNow; };
  rules.applicationName = L"Reader";
  rules.sameApplication = [](const std::wstring& a, const std::wstring& b) {
    return UpperAscii(a) == UpperAscii(b);
  };
  return rules;
}

TEST(SignedRules, RefuseWhatTheBuildRequiresAndHonourWhatIsPresent) {
  const std::vector<ListedFile> files = {{L"/a.exe", L"a.exe"}};
  const FileHashList sized = ParseFileHashLines({kHash + L" 10 a.exe"});
  const FileHashList unsized = ParseFileHashLines({kHash + L" a.exe"});
  const SignedRequirements all = Rules(true, true, true);
  const SignedRequirements none = Rules(false, false, false);
  const std::optional<std::wstring> absent;
  const struct {
    const char* name;
    const FileHashList& hashes;
    std::optional<std::wstring> validUntil;
    std::optional<std::wstring> application;
    const SignedRequirements& rules;
    std::wstring refusal;  // empty: accepted
  } cases[] = {
      {"everything there", sized, L"2026-12-09 12:00:00", L"reader", all, L""},
      {"nothing required, nothing there", unsized, absent, absent, none, L""},
      {"a file without hash line", ParseFileHashLines({}), L"2027-01-01", L"Reader", none,
       L"a listed file has no hash line, or a hash line is malformed"},
      {"no expiry", sized, absent, L"Reader", all, L"it has no [Valid Until]"},
      {"expired a second ago", sized, L"2026-12-09 11:59:59", L"Reader", all, L"it expired at 2026-12-09 11:59:59 UTC"},
      {"expired, though not required", sized, L"2026-12-08", absent, none, L"it expired at 2026-12-08 23:59:59 UTC"},
      {"malformed expiry, though not required", sized, L"soon", absent, none,
       L"its [Valid Until] is not YYYY-MM-DD or YYYY-MM-DD HH:MM:SS"},
      {"no application", sized, L"2026-12-09", absent, all, L"it has no [Application]"},
      {"another application", sized, L"2026-12-09", L"Writer", all, L"its [Application] Writer is not Reader"},
      {"another application, though not required", sized, absent, L"Writer", none,
       L"its [Application] Writer is not Reader"},
      {"an empty application", sized, L"2026-12-09", L"", all, L"its [Application]  is not Reader"},
      {"no size", unsized, L"2026-12-09", L"Reader", all, L"the hash line of a.exe has no size"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(SignedRuleRefusal({c.hashes, files, c.validUntil, c.application}, c.rules), c.refusal);
  }
  SignedRequirements noClock = all;
  noClock.utcNow = nullptr;
  EXPECT_EQ(SignedRuleRefusal({sized, files, L"2027-01-01", L"Reader"}, noClock),
            L"no clock to compare its [Valid Until] with");
}

TEST(SignedRules, AreAppliedByTheLoadOfASignedDescriptionOnly) {
  const std::string body = "[Files to download]\n/a.exe -> a.exe\n\n[File Hashes]\n" +
                           std::string(kHash.begin(), kHash.end()) + " 10 a.exe\n\n[Application]\nReader\n\n";
  const std::string end = "[End]\nEnd\n[Signature]\nABCD\n";
  DescriptionPlatform platform;
  platform.verifySignature = [](const std::string&, const std::vector<unsigned char>&) { return true; };
  platform.signedRules = Rules(true, true, true);
  const struct {
    const char* name;
    std::string text;
    std::wstring refusal;
  } cases[] = {
      {"valid until tomorrow", body + "[Valid Until]\n2026-12-10 // a comment\n\n" + end, L""},
      {"expired yesterday", body + "[Valid Until]\n2026-12-08\n\n" + end, L"it expired at 2026-12-08 23:59:59 UTC"},
      {"no expiry", body + end, L"it has no [Valid Until]"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SetupDescription description(platform);
    EXPECT_EQ(description.LoadPlainText(c.text), c.refusal.empty());
    EXPECT_EQ(description.SignedRefusal(), c.refusal);
    // A build without a signing key reads the same text as before.
    SetupDescription keyless;
    EXPECT_TRUE(keyless.LoadPlainText(c.text));
  }
}

}  // namespace
