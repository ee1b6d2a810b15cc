// A build with a signing key loads only descriptions that its key signed and that hash every
// listed file; a build without a key accepts every one of the same texts.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "crypto/SignatureCheck.h"
#include "description/LoadDescription.h"
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
  using Kind = DescriptionRefusal::Kind;
  const std::optional<Kind> kLoads;
  const struct {
    const char* name;
    std::string plain;
    std::optional<Kind> refusal;  // nothing: it loads
  } cases[] = {
      {"signed, every file hashed in either case and spacing", good, kLoads},
      {"signed, nothing listed", SignedWith("signing-private.der", kEnd), kLoads},
      {"unsigned", kHashed, Kind::kSignatureMissing},
      {"signature section cut off", withoutSignature, Kind::kSignatureMissing},
      {"one byte changed after signing", tampered, Kind::kSignatureMismatch},
      {"signed by another key", SignedWith("other-private.der", kHashed), Kind::kSignatureMismatch},
      {"signature not last", good + "[Other]\r\nx\r\n", Kind::kSignatureMissing},
      {"two signatures", good + good.substr(good.find("[Signature]")), Kind::kSignatureMissing},
      {"signed, a listed file without hash line",
       SignedWith("signing-private.der", kFiles + "[File Hashes]\r\n" + kHashA + " a.exe\r\n\r\n" + kEnd),
       Kind::kFileNotHashed},
      {"signed, a bad hash line",
       SignedWith("signing-private.der",
                  kFiles + "[File Hashes]\r\n" + kHashA + " a.exe\r\n" + kHashB + "   My Setup.cab\r\nzz x\r\n\r\n" +
                      kEnd),
       Kind::kFileNotHashed},
      {"signed, no hash section", SignedWith("signing-private.der", kFiles + kEnd), Kind::kFileNotHashed},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const LoadedDescription loaded = LoadPlainDescription(c.plain, WithKey("signing-public.der"));
    EXPECT_EQ(loaded.Accepted(), !c.refusal);
    if (c.refusal) {
      EXPECT_EQ(loaded.Refusal().kind, *c.refusal);
    }
    EXPECT_TRUE(LoadPlainDescription(c.plain, {}).Accepted());
  }
}

TEST(SignedDescription, AKeyThatDoesNotLoadRefusesEverything) {
  const LoadedDescription loaded = LoadPlainDescription(SignedWith("signing-private.der", kHashed), WithKey("small-public.der"));
  ASSERT_FALSE(loaded.Accepted());
  EXPECT_EQ(loaded.Refusal().kind, DescriptionRefusal::Kind::kSignatureMismatch);
}

}  // namespace
