#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "description/DecryptDescription.h"
#include "description/EmbeddedKey.h"
#include "description/FormatTag.h"
#include "tests/description/DescriptionFixtures.h"
#include "tools/pack/EifKeys.h"
#include "tools/pack/EifPack.h"

namespace {

constexpr std::size_t kBlock = 128;
constexpr std::size_t kPiece = 86;

std::string Text(std::size_t length) {
  std::string text;
  for (std::size_t i = 0; i < length; ++i) text.push_back(static_cast<char>('A' + i % 26));
  return text;
}

std::string PlainOf(const DecryptedDescription& result) {
  return std::string(result.text.data(), static_cast<std::size_t>(result.length));
}

DecryptedDescription DecryptFile(const std::string& bytes) {
  TempFolder folder;
  return DecryptDescription(folder.Write("SetupInitial.eif", bytes), kEmbeddedPrivateKey, nullptr);
}

class RoundTrip : public testing::TestWithParam<std::size_t> {};

TEST_P(RoundTrip, PackedTextComesBackWholeAndTerminated) {
  const std::string plain = Text(GetParam());
  const std::string file = PackWithEmbeddedKey(plain);
  const std::size_t blocks = (plain.size() + kPiece - 1) / kPiece;
  ASSERT_EQ(file.size(), kDescriptionHeaderLength + blocks * kBlock);

  const DecryptedDescription result = DecryptFile(file);
  ASSERT_TRUE(result.HasText());
  EXPECT_TRUE(result.complete);
  EXPECT_EQ(PlainOf(result), plain);
  EXPECT_EQ(result.text.size(), kPiece * blocks + 1);
  EXPECT_EQ(result.text[static_cast<std::size_t>(result.length)], '\0');
}

INSTANTIATE_TEST_SUITE_P(BlockBoundaries, RoundTrip, testing::Values(0, 1, 85, 86, 87, 172, 86 * 40 + 3));

TEST(DecryptDescription, ShortPiecesConcatenateWithoutGaps) {
  const std::vector<std::string> pieces = {"[End]", "", "\nE", std::string(86, 'x'), "nd"};
  const DecryptedDescription result = DecryptFile(PackPiecesWithEmbeddedKey(pieces));
  ASSERT_TRUE(result.HasText());
  EXPECT_EQ(PlainOf(result), "[End]\nE" + std::string(86, 'x') + "nd");
}

TEST(DecryptDescription, SameFileTwiceGivesTheSameBytes) {
  TempFolder folder;
  const std::wstring path = folder.Write("a.eif", PackWithEmbeddedKey(Text(300)));
  const DecryptedDescription first = DecryptDescription(path, kEmbeddedPrivateKey, nullptr);
  const DecryptedDescription second = DecryptDescription(path, kEmbeddedPrivateKey, nullptr);
  EXPECT_EQ(first.text, second.text);
  EXPECT_EQ(first.length, second.length);
}

TEST(DecryptDescription, FormatTagGoesThroughThePlatformConversion) {
  const std::string file = PackWithEmbeddedKey("abc");
  int calls = 0;
  const AnsiToWideFunction counting = [&calls](const std::string& bytes) {
    ++calls;
    return std::wstring(bytes.begin(), bytes.end());
  };
  EXPECT_EQ(PlainOf(DecryptDescriptionBytes(file, kEmbeddedPrivateKey, counting)), "abc");
  EXPECT_EQ(calls, 1);
  const AnsiToWideFunction garbling = [](const std::string&) { return std::wstring(L"other"); };
  EXPECT_FALSE(DecryptDescriptionBytes(file, kEmbeddedPrivateKey, garbling).HasText());
}

// Each row changes a good three-block file; `expected` is the text that comes back, or
// nullptr when nothing may come back.
struct Damage {
  const char* name;
  std::string (*change)(std::string good);
  const char* expected;
  bool complete;
};

const std::string kThreeBlocks = Text(86) + std::string(86, '#') + "tail";

std::string Block(const std::string& file, std::size_t index) {
  return file.substr(kDescriptionHeaderLength + index * kBlock, kBlock);
}

const Damage kDamages[] = {
    {"format tag in other letter case",
     [](std::string f) { f[0] = static_cast<char>(std::tolower(f[0])); return f; }, nullptr, false},
    {"extra byte before the 0x00",
     [](std::string f) { return f.substr(0, kFormatTagLength) + "X" + f.substr(kFormatTagLength); },
     nullptr, false},
    {"middle block's last byte changed",
     [](std::string f) { f[kDescriptionHeaderLength + 2 * kBlock - 1] ^= 0x01; return f; }, nullptr, false},
    // Changed low bytes keep the value below the modulus, so OAEP decoding is what refuses it.
    {"first block's middle byte changed",
     [](std::string f) { f[kDescriptionHeaderLength + 64] ^= 0x01; return f; }, nullptr, false},
    {"block of 0xFF after the good blocks",
     [](std::string f) { return f + std::string(kBlock, '\xFF'); }, "whole", false},
    {"0xFF block between good blocks",
     [](std::string f) { return f.substr(0, kDescriptionHeaderLength + kBlock) + std::string(kBlock, '\xFF') +
                                f.substr(kDescriptionHeaderLength + kBlock); },
     "first", false},
    {"last block removed",
     [](std::string f) { return f.substr(0, f.size() - kBlock); }, "two", true},
    {"blocks swapped",
     [](std::string f) { return f.substr(0, kDescriptionHeaderLength) + Block(f, 1) + Block(f, 0) + Block(f, 2); },
     "swapped", true},
    {"truncated block", [](std::string f) { return f.substr(0, f.size() - 10); }, nullptr, false},
    {"one byte too many", [](std::string f) { return f + "x"; }, nullptr, false},
    {"empty file", [](std::string) { return std::string(); }, nullptr, false},
    {"format tag and 0x00 only", [](std::string f) { return f.substr(0, kDescriptionHeaderLength); }, "", true},
    {"format tag without its 0x00", [](std::string f) { return f.substr(0, kFormatTagLength); }, nullptr, false},
    {"no 0x00 anywhere", [](std::string) { return std::string(200, 'W'); }, nullptr, false},
    {"0x00 first", [](std::string f) { f[0] = '\0'; return f; }, nullptr, false},
};

std::string Expected(const std::string& which) {
  if (which == "whole") return kThreeBlocks;
  if (which == "first") return Text(86);
  if (which == "two") return Text(86) + std::string(86, '#');
  if (which == "swapped") return std::string(86, '#') + Text(86) + "tail";
  return which;
}

TEST(DecryptDescription, DamagedFiles) {
  const std::string good = PackWithEmbeddedKey(kThreeBlocks);
  ASSERT_EQ(good.size(), kDescriptionHeaderLength + 3 * kBlock);
  for (const Damage& damage : kDamages) {
    SCOPED_TRACE(damage.name);
    const DecryptedDescription result = DecryptFile(damage.change(good));
    if (damage.expected == nullptr) {
      EXPECT_FALSE(result.HasText());
      EXPECT_EQ(result.length, 0);
      continue;
    }
    ASSERT_TRUE(result.HasText());
    EXPECT_EQ(PlainOf(result), Expected(damage.expected));
    EXPECT_EQ(result.complete, damage.complete);
    EXPECT_EQ(result.text.back(), '\0');
  }
}

TEST(DecryptDescription, NulInsideThePlainTextIsCountedButEndsTheString) {
  const std::string plain = std::string("[End]\nEnd") + '\0' + "hidden";
  const DecryptedDescription result = DecryptFile(PackWithEmbeddedKey(plain));
  ASSERT_TRUE(result.HasText());
  EXPECT_EQ(result.length, static_cast<int>(plain.size()));
  EXPECT_EQ(std::string(result.text.data()), "[End]\nEnd");
}

TEST(DecryptDescription, RefusesWithoutAUsableKeyOrFile) {
  const std::string file = PackWithEmbeddedKey("text");
  EXPECT_FALSE(DecryptDescriptionBytes(file, "", nullptr).HasText());
  EXPECT_FALSE(DecryptDescriptionBytes(file, "3082ZZ", nullptr).HasText());
  EXPECT_FALSE(DecryptDescriptionBytes(file, nullptr, nullptr).HasText());
  KeyPairText other;
  std::string error;
  ASSERT_TRUE(GenerateKeyPair(1024, other, error)) << error;
  EXPECT_FALSE(DecryptDescriptionBytes(file, other.privateHex.c_str(), nullptr).HasText());

  TempFolder folder;
  EXPECT_FALSE(DecryptDescription(folder.Write("x", "") + L"missing", kEmbeddedPrivateKey, nullptr).HasText());
}

TEST(DecryptDescription, AFileOverOneMebibyteIsRefusedBeforeDecryption) {
  TempFolder folder;
  const std::string header = PackWithEmbeddedKey("x").substr(0, kDescriptionHeaderLength);
  for (const std::size_t size : {kMaxDescriptionFileBytes, kMaxDescriptionFileBytes + 1}) {
    const std::string file = header + std::string(size - header.size(), '\x01');
    const DecryptionFailure expected =
        size > kMaxDescriptionFileBytes ? DecryptionFailure::kFileTooLarge : DecryptionFailure::kNotWholeBlocks;
    EXPECT_EQ(DecryptDescriptionBytes(file, kEmbeddedPrivateKey, nullptr).failure, expected) << size;
    const std::wstring path = folder.Write("big.eif", file);
    EXPECT_EQ(DecryptDescription(path, kEmbeddedPrivateKey, nullptr).failure, expected) << size;
  }
}

TEST(DecryptDescription, KeyOfAnotherSizeSetsTheBlockSizes) {
  KeyPairText bigger;
  std::string error;
  ASSERT_TRUE(GenerateKeyPair(1536, bigger, error)) << error;
  CryptoPP::RSA::PublicKey key;
  ASSERT_TRUE(LoadEncryptionKey(bigger.publicDer, key, error)) << error;
  std::string file;
  ASSERT_TRUE(EncryptDescription(Text(300), key, file, error)) << error;
  EXPECT_EQ(file.size(), kDescriptionHeaderLength + 2 * 192);  // 150 bytes a block
  EXPECT_EQ(PlainOf(DecryptDescriptionBytes(file, bigger.privateHex.c_str(), nullptr)), Text(300));
}

}  // namespace
