#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "description/EmbeddedKey.h"
#include "tests/support/BuildKey.h"
#include "tools/DescriptionCheck.h"

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

}  // namespace
