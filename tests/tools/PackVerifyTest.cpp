// Pack-and-sign and the checks of `check --verify`, on the library's own calls.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "description/DecryptDescription.h"
#include "description/EmbeddedKey.h"
#include "description/ValidUntil.h"
#include "tests/support/BuildKey.h"
#include "tools/check/VerifyProblems.h"
#include "tools/pack/EifSigning.h"
#include "tools/pack/PackDescription.h"
#include "tools/pack/ToolFiles.h"

namespace {

const std::string kKeys = KEYS_FOLDER;
const std::string kText = "[Download Sites]\nhost1\n[End]\nEnd\n";
constexpr std::int64_t kNow = 1900000000;
constexpr std::int64_t kDay = 86400;

std::string Decrypted(const std::string& file) {
  const DecryptedDescription plain = DecryptDescriptionBytes(file, kEmbeddedPrivateKey, nullptr);
  EXPECT_TRUE(plain.HasText() && plain.complete);
  return plain.HasText() ? std::string(plain.text.data(), static_cast<std::size_t>(plain.length)) : "";
}

std::string SignatureProblemOf(const std::string& text) {
  std::string publicDer;
  EXPECT_TRUE(ReadFileBytes(kKeys + "/signing-public.der", publicDer));
  return SignatureProblem(text, publicDer);
}

TEST(PackDescription, SignsPadsAndNamesWhatTheTextHad) {
  const std::string until = "[Valid Until]\n" + FormatValidUntil(kNow + 30 * kDay) + "\n";
  const struct {
    const char* name;
    std::string plain;
    PackSigning sign;
    std::string problem;
    std::vector<std::string> kept;
    bool padded;
    std::string holds;  // in the decrypted text
  } cases[] = {
      {"unsigned, short", kText, {}, "", {}, true, kText + "//"},
      {"signed for Demo", kText, {kKeys + "/signing-private.der", 30, "Demo"}, "", {}, false,
       kText + until + "\n[Application]\nDemo\n\n[Signature]\n"},
      {"signed, the text's own sections kept", kText + "[Valid Until]\n2030-01-01\n[Application]\nMine\n",
       {kKeys + "/signing-private.der", 30, "Demo"}, "", {"[Valid Until]", "[Application]"}, false,
       "[Application]\nMine\n[Signature]\n"},
      {"no signing key", kText, {kKeys + "/missing.der", 30, "Demo"},
       "cannot read signing key " + kKeys + "/missing.der", {}, false, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const PackedDescription packed = PackDescription(c.plain, EmbeddedPublicKey(), c.sign, kNow);
    EXPECT_EQ(packed.problem, c.problem);
    EXPECT_EQ(packed.kept, c.kept);
    EXPECT_EQ(packed.padding > 0, c.padded);
    if (!c.problem.empty()) {
      EXPECT_EQ(packed.file, "");
      continue;
    }
    const std::string text = Decrypted(packed.file);
    EXPECT_NE(text.find(c.holds), std::string::npos) << text;
    if (c.padded) {
      EXPECT_EQ(text.size(), c.plain.size() + packed.padding);
    }
    if (!c.sign.keyPath.empty()) {
      EXPECT_EQ(SignatureProblemOf(text), "");
    }
  }
}

TEST(VerifyProblems, NamesTheKeyThatSignedOrWhyNone) {
  const std::string signing = kKeys + "/signing-public.der";
  const std::string other = kKeys + "/other-public.der";
  const std::string missing = kKeys + "/missing.der";
  const PackedDescription packed =
      PackDescription(kText, EmbeddedPublicKey(), {kKeys + "/signing-private.der", 30, "Demo"}, kNow);
  const std::string oneKeyProblem = VerifyProblems(packed.file, kEmbeddedPrivateKey, {other}, kNow).problems.at(0);
  const struct {
    const char* name;
    std::vector<std::string> keys;
    std::int64_t now;
    std::vector<std::string> firstProblems;  // in the report's first problems, in order
    std::string signedBy;  // the first note, when the signature was verified
  } cases[] = {
      {"its key", {signing}, kNow, {}, "signed by the key of " + signing},
      {"two other keys", {other, other}, kNow,
       {"no --verify key verifies the signature", other + ": " + oneKeyProblem, other + ": " + oneKeyProblem}, ""},
      {"an unreadable key", {missing, signing}, kNow, {"cannot read signing public key " + missing}, ""},
      {"expired", {signing}, kNow + 31 * kDay,
       {"expired at " + FormatValidUntil(kNow + 30 * kDay)},
       "signed by the key of " + signing},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const VerifyReport report = VerifyProblems(packed.file, kEmbeddedPrivateKey, c.keys, c.now);
    ASSERT_GE(report.problems.size(), c.firstProblems.size());
    for (std::size_t i = 0; i < c.firstProblems.size(); ++i) {
      EXPECT_NE(report.problems[i].find(c.firstProblems[i]), std::string::npos) << report.problems[i];
    }
    if (c.firstProblems.empty()) {
      EXPECT_EQ(report.problems, std::vector<std::string>{});
    }
    ASSERT_FALSE(report.notes.empty());  // the expiry is always noted
    EXPECT_EQ(report.notes[0].rfind("signed by", 0) == 0 ? report.notes[0] : "", c.signedBy);
  }
}

}  // namespace
