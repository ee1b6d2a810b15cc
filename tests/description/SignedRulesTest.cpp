// What a build with a signing key demands of a signed description: an expiry that has not
// passed, the application it serves, signed sizes; and the time format of [Valid Until].
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "description/DescriptionRefusal.h"
#include "description/LoadDescription.h"
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

SigningPolicy Requiring(bool validUntil, bool application, bool sizes) {
  SigningPolicy policy;
  policy.requireValidUntil = validUntil;
  policy.requireApplication = application;
  policy.requireSizes = sizes;
  return policy;
}

// Letter case ignored, as the folder names compare.
SignedRuleContext Context() {
  return {[] { return kNow; }, L"Reader",
          [](const std::wstring& a, const std::wstring& b) { return UpperAscii(a) == UpperAscii(b); }};
}

// How a build words the first refusal; empty when there is none.
std::wstring FirstRefusal(const SignedSections& sections, const SigningPolicy& policy, const SignedRuleContext& context) {
  const std::vector<DescriptionRefusal> refusals = SignedRuleRefusals(sections, policy, context);
  return refusals.empty() ? std::wstring() : DescribeRefusal(refusals.front());
}

TEST(SignedRules, RefuseWhatTheBuildRequiresAndHonourWhatIsPresent) {
  const std::vector<ListedFile> files = {{L"/a.exe", L"a.exe"}};
  const FileHashList sized = ParseFileHashLines({kHash + L" 10 a.exe"});
  const FileHashList unsized = ParseFileHashLines({kHash + L" a.exe"});
  const SigningPolicy all = Requiring(true, true, true);
  const SigningPolicy none = Requiring(false, false, false);
  const std::optional<std::wstring> absent;
  const struct {
    const char* name;
    const FileHashList& hashes;
    std::optional<std::wstring> validUntil;
    std::optional<std::wstring> application;
    const SigningPolicy& policy;
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
    EXPECT_EQ(FirstRefusal({c.hashes, files, c.validUntil, c.application}, c.policy, Context()), c.refusal);
  }
  SignedRuleContext noClock = Context();
  noClock.utcNow = nullptr;
  EXPECT_EQ(FirstRefusal({sized, files, L"2027-01-01", L"Reader"}, all, noClock),
            L"no clock to compare its [Valid Until] with");
  // Every rule that refuses, in order, as `eiftool check` lists them.
  const std::vector<ListedFile> two = {{L"/a.exe", L"a.exe"}, {L"/b.exe", L"b.exe"}};
  const FileHashList bothUnsized = ParseFileHashLines({kHash + L" a.exe", kHash + L" b.exe"});
  std::vector<std::wstring> words;
  for (const DescriptionRefusal& refusal : SignedRuleRefusals({bothUnsized, two, L"soon", L"Writer"}, all, Context())) {
    words.push_back(DescribeRefusal(refusal));
  }
  EXPECT_EQ(words, (std::vector<std::wstring>{L"its [Valid Until] is not YYYY-MM-DD or YYYY-MM-DD HH:MM:SS",
                                              L"its [Application] Writer is not Reader",
                                              L"the hash line of a.exe has no size", L"the hash line of b.exe has no size"}));
}

TEST(SignedRules, AreAppliedByTheLoadOfASignedDescriptionOnly) {
  const std::string body = "[Files to download]\n/a.exe -> a.exe\n\n[File Hashes]\n" +
                           std::string(kHash.begin(), kHash.end()) + " 10 a.exe\n\n[Application]\nReader\n\n";
  const std::string end = "[End]\nEnd\n[Signature]\nABCD\n";
  DescriptionPlatform platform;
  platform.verifySignature = [](const std::string&, const std::vector<unsigned char>&) { return true; };
  platform.signing = Requiring(true, true, true);
  platform.signedContext = Context();
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
    const LoadedDescription loaded = LoadPlainDescription(c.text, platform);
    EXPECT_EQ(loaded.Accepted(), c.refusal.empty());
    EXPECT_EQ(loaded.Accepted() ? std::wstring() : DescribeRefusal(loaded.Refusal()), c.refusal);
    // A build without a signing key accepts the same text.
    EXPECT_TRUE(LoadPlainDescription(c.text, {}).Accepted());
  }
}

}  // namespace
