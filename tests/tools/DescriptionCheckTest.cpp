#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "description/EmbeddedKey.h"
#include "tests/support/BuildKey.h"
#include "tools/check/DescriptionCheck.h"
#include "tools/pack/SignedSections.h"

namespace {

const std::string kGood =
    "// demo\n[Files to download]\n/d/Setup.exe -> Setup.exe\n/d/Data.cab -> Data.cab\n"
    "[Download Sites]\nhost1:8080\nhost2\n[Program to run]\nSetup.exe\n"
    "[User Info Filename]\n$Product$ Info.txt\n[Product]\nDemo\n[End]\nEnd\n";

std::string Replaced(const std::string& from, const std::string& to) {
  std::string text = kGood;
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return text.replace(at, from.size(), to);
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string all;
  for (const std::string& line : lines) all += line + "\n";
  return all;
}

TEST(DescriptionCheck, GoodDescriptionHasNoProblems) {
  EXPECT_EQ(Joined(CheckPlainDescription(kGood)), "");
  EXPECT_EQ(Joined(CheckDescriptionFile(PackWithEmbeddedKey(kGood), kEmbeddedPrivateKey)), "");
}

struct Mistake {
  std::string text;
  const char* reported;
};

TEST(DescriptionCheck, EachMistakeGetsItsLine) {
  const Mistake mistakes[] = {
      {Replaced("[End]\nEnd", "[End]\nend"), "[End] holds 'end' instead of 'End'"},
      {Replaced("[End]\nEnd", ""), "missing section [End]"},
      {Replaced("[Download Sites]", "[Sites]"), "missing section [Download Sites]"},
      {Replaced("[Program to run]\nSetup.exe\n", ""), "missing section [Program to run]"},
      {Replaced("/d/Data.cab -> Data.cab", "/d/Data.cab Data.cab"), "item 2 '/d/Data.cab Data.cab': no \"->\""},
      {Replaced("/d/Data.cab -> Data.cab", "/d/Data.cab -> "), "empty target"},
      {Replaced("/d/Data.cab -> Data.cab", " -> Data.cab"), "empty source"},
      {Replaced("/d/Data.cab -> Data.cab", "d/Data.cab -> Data.cab"), "must begin with \"/\""},
      {Replaced("-> Data.cab", "-> sub\\Data.cab"), "the target is not a plain file name"},
      {Replaced("host1:8080", "http://host1:8080"), "line 6: \"//\" in 'http://host1:8080'"},
      {Replaced("Setup.exe\n[User", "Setup[1].exe\n[User"), "\"[\" inside 'Setup[1].exe'"},
      {Replaced("[Product]", "[Product"), "\"[\" without \"]\""},
      {Replaced("$Product$", "$Prodcut$"), "placeholder '$Prodcut$' names no section"},
      {Replaced("[Product]\nDemo", "[Product]\n$Product$"), "placeholder expansion does not end"},
      {Replaced("host1:8080\n", "host1:8080\n\n"), "[Download Sites] item 2 is an empty line"},
      {Replaced("Setup.exe -> Setup.exe\n", "Setup.exe -> Setup.exe\n \n"), "[Files to download] item 2 is an empty line"},
      {Replaced("[Program to run]\nSetup.exe", "[Program to run]\n$Temp Folder$\\Setup.exe"),
       "[Program to run] 'C:\\Temp\\Setup.exe' is not a plain file name"},
      {Replaced("[End]", std::string("\0", 1) + "[End]"), "0x00 byte at offset"},
  };
  for (const Mistake& m : mistakes) {
    SCOPED_TRACE(m.text);
    const std::string report = Joined(CheckPlainDescription(m.text));
    EXPECT_NE(report.find(m.reported), std::string::npos) << report;
  }
}

TEST(DescriptionCheck, ExplainsWhyAFileDoesNotDecrypt) {
  const std::string good = PackWithEmbeddedKey(kGood);
  std::string changed = good;
  changed[14 + 128 + 5] ^= 0x10;
  const struct {
    std::string file;
    const char* reported;
  } cases[] = {
      {good.substr(0, 10), "shorter than the signature"},
      {"X" + good.substr(1), "does not begin with the signature"},
      {good.substr(0, good.size() - 1), "are not whole blocks of 128"},
      {changed, "block 2 does not decrypt with this key"},
      {good + std::string(128, '\xFF'), "decryption stopped part-way"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reported);
    const std::string report = Joined(CheckDescriptionFile(c.file, kEmbeddedPrivateKey));
    EXPECT_NE(report.find(c.reported), std::string::npos) << report;
  }
  EXPECT_NE(DescribeDecryptionFailure(good, "00").find("private key does not load"), std::string::npos);
}

// 2026-12-09 12:00:00 UTC.
constexpr std::int64_t kNow = 1796817600;

TEST(SignedText, SaysWhatASigningBuildRefusesAndWhatItWarnsOf) {
  const std::string hash = "9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08";
  const std::string files = "[Files to download]\n/a.exe -> a.exe\n\n[File Hashes]\n" + hash;
  const struct {
    const char* name;
    std::string text;
    std::string problems;
    std::string notes;
  } cases[] = {
      {"complete", files + " 5 a.exe\n\n[Valid Until]\n2027-01-01\n[Application]\nReader\n", "",
       "valid until 2027-01-01 23:59:59 UTC (23 days 11 hours left)\nfor application Reader (Setup_Reader_*.exe)\n"},
      {"expired", files + " 5 a.exe\n\n[Valid Until]\n2026-12-09 11:00:00\n[Application]\nReader\n",
       "expired at 2026-12-09 11:00:00 UTC: Setup.exe refuses it; sign it again\n",
       "for application Reader (Setup_Reader_*.exe)\n"},
      {"malformed expiry, empty application", files + " 5 a.exe\n\n[Valid Until]\nnext week\n[Application]\n\n",
       "[Valid Until] 'next week' is not YYYY-MM-DD or YYYY-MM-DD HH:MM:SS\n"
       "[Application] is empty: no Setup.exe accepts it\n",
       ""},
      {"nothing of it", files + " a.exe\n\n", "",
       "warning: the [File Hashes] line of 'a.exe' has no size: a build with a signing key refuses it (unless built "
       "with SETUP_REQUIRE_SIZES=OFF); `eiftool hash` writes it\n"
       "warning: no [Valid Until]: a build with a signing key refuses it (unless built with "
       "SETUP_REQUIRE_VALID_UNTIL=OFF); `pack --sign` writes one\n"
       "warning: for any application: a build with a signing key refuses it unless built with "
       "SETUP_REQUIRE_APPLICATION=OFF\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const SignedTextReport report = CheckSignedText(c.text, kNow);
    EXPECT_EQ(Joined(report.problems), c.problems);
    EXPECT_EQ(Joined(report.notes), c.notes);
  }
}

TEST(SignedText, PackWritesTheSectionsTheTextLacks) {
  const struct {
    const char* name;
    std::string plain;
    std::optional<std::string> application;
    std::string signedText;
    std::vector<std::string> kept;
  } cases[] = {
      {"both, after a last line without its end", "[End]\nEnd", "Reader",
       "[End]\nEnd\n[Valid Until]\n2026-12-09 12:00:00\n\n[Application]\nReader\n\n", {}},
      {"any application, CR LF kept", "[End]\r\nEnd\r\n", std::nullopt,
       "[End]\r\nEnd\r\n[Valid Until]\r\n2026-12-09 12:00:00\r\n\r\n", {}},
      {"the text's own sections stay", "[valid until]\n2020-01-01\n[Application]\nOld\n", "Reader",
       "[valid until]\n2020-01-01\n[Application]\nOld\n", {"[Valid Until]", "[Application]"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> kept;
    EXPECT_EQ(WithSignedSections(c.plain, kNow, c.application, kept), c.signedText);
    EXPECT_EQ(kept, c.kept);
  }
}

TEST(SignedText, AServedDescriptionIsWorthAWarningAWeekBeforeItExpires) {
  const struct {
    std::string validUntil;  // empty: no section
    std::optional<std::string> warning;
  } cases[] = {
      {"", std::nullopt},
      {"2026-12-16 12:00:01", std::nullopt},
      {"2026-12-16 12:00:00", "it expires at 2026-12-16 12:00:00 UTC (7 days 0 hours left): sign it again before then"},
      {"2026-12-09 12:00:00", "it expires at 2026-12-09 12:00:00 UTC (0 days 0 hours left): sign it again before then"},
      {"2026-12-09 11:59:59",
       "it expired at 2026-12-09 11:59:59 UTC: a build with a signing key refuses it; sign it again"},
      {"someday", "its [Valid Until] is malformed: a build with a signing key refuses it"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.validUntil);
    const std::string text = c.validUntil.empty() ? "[End]\nEnd\n" : "[Valid Until]\n" + c.validUntil + "\n[End]\nEnd\n";
    EXPECT_EQ(ExpiryWarning(text, kNow), c.warning);
  }
}

}  // namespace
