// SHA-256 and signature checks of this build: CryptoAPI under Wine, Crypto++ natively. The
// signatures come from the publisher's tool (Crypto++), so under Wine this also shows that the
// platform accepts what the tool makes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "crypto/Sha256.h"
#include "crypto/SignatureVerifier.h"
#include "description/DescriptionSignature.h"
#include "tests/support/TestFiles.h"
#include "tools/pack/EifSigning.h"
#include "tools/pack/FileHashText.h"

namespace {

std::string KeyFile(const std::string& name) { return ReadTestFile(std::string(KEYS_FOLDER) + "/" + name); }

std::optional<SignatureVerifier> LoadVerifier(const std::string& der) {
  return SignatureVerifier::Load(reinterpret_cast<const unsigned char*>(der.data()), der.size());
}

// FIPS 180-2 examples and the empty message.
struct DigestCase {
  std::string message;
  const char* hex;
};
const DigestCase kDigests[] = {
    {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
    {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
    {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
     "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
    {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
};

TEST(Sha256, KnownDigestsWholeAndInPieces) {
  for (const DigestCase& c : kDigests) {
    SCOPED_TRACE(c.message.substr(0, 60));
    const std::optional<Sha256Digest> whole = Sha256Of(c.message);
    ASSERT_TRUE(whole.has_value());
    EXPECT_EQ(LowerHex(*whole), c.hex);
    // Pieces as a transfer writes them, and odd ones that straddle the 64-byte blocks.
    for (const std::size_t piece : {std::size_t{1}, std::size_t{63}, std::size_t{1024}}) {
      Sha256 hasher;
      ASSERT_TRUE(hasher.Ready());
      for (std::size_t at = 0; at < c.message.size(); at += piece) {
        ASSERT_TRUE(hasher.Add(c.message.data() + at, std::min(piece, c.message.size() - at)));
      }
      const std::optional<Sha256Digest> pieces = hasher.Finish();
      ASSERT_TRUE(pieces.has_value());
      EXPECT_EQ(LowerHex(*pieces), c.hex) << "pieces of " << piece;
    }
  }
}

TEST(Sha256, SpentAfterFinish) {
  Sha256 hasher;
  ASSERT_TRUE(hasher.Finish().has_value());
  EXPECT_FALSE(hasher.Ready());
  EXPECT_FALSE(hasher.Add("a", 1));
  EXPECT_FALSE(hasher.Finish().has_value());
}

TEST(SignatureVerifier, LoadsRsaPublicKeysFrom2048Bits) {
  struct KeyCase {
    const char* file;
    std::size_t signatureLength;  // 0: refused
  };
  const KeyCase cases[] = {
      {"signing-public.der", 384},
      {"small-public.der", 256},
      {"short-public.der", 0},      // 1024 bits
      {"signing-private.der", 0},   // PKCS #8, not SubjectPublicKeyInfo
  };
  for (const KeyCase& c : cases) {
    SCOPED_TRACE(c.file);
    const auto verifier = LoadVerifier(KeyFile(c.file));
    ASSERT_EQ(verifier.has_value(), c.signatureLength != 0);
    if (verifier) {
      EXPECT_EQ(verifier->SignatureLength(), c.signatureLength);
    }
  }
  const std::string key = KeyFile("signing-public.der");
  EXPECT_FALSE(LoadVerifier(key.substr(0, key.size() - 1))) << "cut key";
  EXPECT_FALSE(LoadVerifier(std::string())) << "no bytes";
}

TEST(SignatureVerifier, AcceptsOnlyTheSignedTextUnderItsKey) {
  const std::string text = "[Program to run]\r\nRealSetup.exe\r\n[End]\r\nEnd";
  std::string signedText;
  std::string error;
  ASSERT_TRUE(AppendSignature(text, KeyFile("signing-private.der"), signedText, error)) << error;
  const DescriptionSignature found = FindDescriptionSignature(signedText);
  ASSERT_EQ(found.form, DescriptionSignature::Form::kWellFormed);
  ASSERT_EQ(found.signedText, text + "\r\n");
  std::string otherSigned;
  ASSERT_TRUE(AppendSignature(text, KeyFile("other-private.der"), otherSigned, error)) << error;
  const std::vector<unsigned char> otherSignature = FindDescriptionSignature(otherSigned).signature;

  std::string changedText = found.signedText;
  changedText[20] ^= 0x01;
  ASSERT_EQ(found.signature.size(), 384u);
  std::vector<unsigned char> changedSignature = found.signature;
  changedSignature[200] ^= 0x01;
  const std::vector<unsigned char> reversed(found.signature.rbegin(), found.signature.rend());
  std::vector<unsigned char> longer = found.signature;
  longer.insert(longer.begin(), 0x00);

  const auto verifier = LoadVerifier(KeyFile("signing-public.der"));
  ASSERT_TRUE(verifier.has_value());
  struct VerifyCase {
    const char* name;
    const std::string& message;
    const std::vector<unsigned char>& signature;
    bool valid;
  };
  const VerifyCase cases[] = {
      {"valid", found.signedText, found.signature, true},
      {"one byte of the text changed", changedText, found.signature, false},
      {"the text with its line end left out", text, found.signature, false},
      {"signature of another key", found.signedText, otherSignature, false},
      {"one bit of the signature changed", found.signedText, changedSignature, false},
      {"signature bytes in reverse order", found.signedText, reversed, false},
      {"signature one byte longer", found.signedText, longer, false},
  };
  for (const VerifyCase& c : cases) EXPECT_EQ(verifier->Verify(c.message, c.signature), c.valid) << c.name;
}

TEST(SignatureProblem, NamesWhatIsWrong) {
  const std::string text = "[End]\nEnd\n";
  const std::string publicKey = KeyFile("signing-public.der");
  std::string signedText;
  std::string error;
  ASSERT_TRUE(AppendSignature(text, KeyFile("signing-private.der"), signedText, error)) << error;
  std::string smallSigned;
  ASSERT_TRUE(AppendSignature(text, KeyFile("small-private.der"), smallSigned, error)) << error;
  EXPECT_EQ(signedText.substr(text.size(), 12), "[Signature]\n") << "the text's own line end";

  struct ProblemCase {
    const char* name;
    std::string plain;
    const char* problem;  // part of the message; "" for none
  };
  const ProblemCase cases[] = {
      {"signed", signedText, ""},
      {"unsigned", text, "no [Signature] section"},
      {"tampered", "[End]\nEnd!\n" + signedText.substr(text.size()), "does not match"},
      {"key of another size", smallSigned, "has 512 digits; this key's take 768"},
      {"section not last", signedText + "[Other]\n", "not the last section"},
  };
  for (const ProblemCase& c : cases) {
    const std::string problem = SignatureProblem(c.plain, publicKey);
    if (*c.problem == '\0') {
      EXPECT_EQ(problem, "") << c.name;
    } else {
      EXPECT_NE(problem.find(c.problem), std::string::npos) << c.name << ": " << problem;
    }
  }
  std::string twice;
  EXPECT_FALSE(AppendSignature(signedText, KeyFile("signing-private.der"), twice, error)) << "signed twice";
  EXPECT_NE(SignatureProblem(signedText, KeyFile("short-public.der")).find("at least 2048 bits"), std::string::npos);
}

TEST(FileHashesSection, OneLinePerFileThenAnEmptyLine) {
  const Sha256Digest abc = *Sha256Of("abc");
  const Sha256Digest empty = *Sha256Of("");
  EXPECT_EQ(FileHashesSection({{"Real Setup.exe", abc, 3}, {"Data.cab", empty, 0}}),
            "[File Hashes]\n"
            "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad 3 Real Setup.exe\n"
            "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855 0 Data.cab\n"
            "\n");
}

}  // namespace
