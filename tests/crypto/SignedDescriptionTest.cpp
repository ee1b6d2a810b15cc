// A build with a signing key loads only descriptions that its key signed and that hash every
// listed file; without a key, the same texts load as before.
#include <gtest/gtest.h>

#include <string>

#include "crypto/SignatureCheck.h"
#include "description/SetupDescription.h"
#include "tests/support/TestFiles.h"
#include "tools/pack/EifSigning.h"

namespace {

std::string KeyFile(const std::string& name) { return ReadTestFile(std::string(KEYS_FOLDER) + "/" + name); }

std::string SignedWith(const std::string& key, const std::string& text) {
  std::string signedText;
  std::string error;
  EXPECT_TRUE(AppendSignature(text, KeyFile(key), signedText, error)) << error;
  return signedText;
}

DescriptionPlatform WithKey(const std::string& publicKey) {
  const std::string der = KeyFile(publicKey);
  DescriptionPlatform platform;
  platform.verifySignature = SignatureCheckFor(reinterpret_cast<const unsigned char*>(der.data()), der.size());
  return platform;
}

const std::string kHashA = "9F86D081884C7D659A2FEAA0C55AD015A3BF4F1B2B0B822CD15D6C15B0F00A08";
const std::string kHashB = "9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08";
const std::string kFiles = "[Files to download]\r\n/a.exe -> a.exe\r\n/b b.cab -> My Setup.cab\r\n\r\n";
const std::string kEnd = "[End]\r\nEnd\r\n";
const std::string kHashed =
    kFiles + "[File Hashes]\r\n" + kHashA + " a.exe\r\n" + kHashB + "   My Setup.cab \r\n\r\n" + kEnd;

TEST(SignedDescription, LoadsOnlyWhatTheBuildKeySignedWithEveryFileHashed) {
  const std::string good = SignedWith("signing-private.der", kHashed);
  std::string tampered = good;
  tampered[kFiles.size() + 20] = tampered[kFiles.size() + 20] == '0' ? '1' : '0';  // a digit of a hash
  const std::string withoutSignature = good.substr(0, good.find("[Signature]"));
  enum Outcome { kLoads, kRefused, kNotRead };  // kNotRead: refused before any of it is read
  const struct {
    const char* name;
    std::string plain;
    Outcome outcome;
    LoadRefusal refusal;  // why, for the failure line
  } cases[] = {
      {"signed, every file hashed in either case and spacing", good, kLoads, LoadRefusal::kNone},
      {"signed, nothing listed", SignedWith("signing-private.der", kEnd), kLoads, LoadRefusal::kNone},
      {"unsigned", kHashed, kNotRead, LoadRefusal::kSignatureMissing},
      {"signature section cut off", withoutSignature, kNotRead, LoadRefusal::kSignatureMissing},
      {"one byte changed after signing", tampered, kNotRead, LoadRefusal::kSignatureMismatch},
      {"signed by another key", SignedWith("other-private.der", kHashed), kNotRead, LoadRefusal::kSignatureMismatch},
      {"signature not last", good + "[Other]\r\nx\r\n", kNotRead, LoadRefusal::kSignatureMissing},
      {"two signatures", good + good.substr(good.find("[Signature]")), kNotRead, LoadRefusal::kSignatureMissing},
      {"signed, a listed file without hash line",
       SignedWith("signing-private.der", kFiles + "[File Hashes]\r\n" + kHashA + " a.exe\r\n\r\n" + kEnd), kRefused, LoadRefusal::kSignedRule},
      {"signed, a bad hash line",
       SignedWith("signing-private.der",
                  kFiles + "[File Hashes]\r\n" + kHashA + " a.exe\r\n" + kHashB + "   My Setup.cab\r\nzz x\r\n\r\n" +
                      kEnd),
       kRefused, LoadRefusal::kSignedRule},
      {"signed, no hash section", SignedWith("signing-private.der", kFiles + kEnd), kRefused, LoadRefusal::kSignedRule},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SetupDescription description(WithKey("signing-public.der"));
    EXPECT_EQ(description.LoadPlainText(c.plain), c.outcome == kLoads);
    EXPECT_EQ(description.IsLoaded(), c.outcome != kNotRead);
    EXPECT_EQ(description.Refusal(), c.refusal);
    // Without a key every one of them loads.
    SetupDescription keyless;
    EXPECT_TRUE(keyless.LoadPlainText(c.plain));
  }
}

TEST(SignedDescription, AKeyThatDoesNotLoadRefusesEverything) {
  SetupDescription description(WithKey("small-public.der"));
  EXPECT_FALSE(description.LoadPlainText(SignedWith("signing-private.der", kHashed)));
  EXPECT_FALSE(description.IsLoaded());
  EXPECT_EQ(description.Refusal(), LoadRefusal::kSignatureMismatch);
}

}  // namespace
