// The platform's decryptor (CryptoAPI) against the reference (Crypto++) over the same files:
// valid ones of many lengths, damaged, cut, padded wrongly on purpose, random, and with wrong
// or broken keys. Every field of the result must agree.
#include <gtest/gtest.h>

#include <cryptopp/pubkey.h>
#include <cryptopp/sha.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "description/CryptoApiDecryptor.h"
#include "description/CryptoppDecryptor.h"
#include "description/DecryptDescription.h"
#include "description/EmbeddedKey.h"
#include "description/FormatTag.h"
#include "tools/pack/EifKeys.h"
#include "tools/pack/EifPack.h"

namespace {

struct Key {
  std::string privateHex;
  CryptoPP::RSA::PublicKey publicKey;
  std::size_t block = 0;
  std::size_t piece = 0;
};

Key MakeKey(const std::string& privateHex) {
  Key key;
  key.privateHex = privateHex;
  std::string error;
  EXPECT_TRUE(LoadEncryptionKey(privateHex, key.publicKey, error)) << error;
  key.block = key.publicKey.GetModulus().ByteCount();
  key.piece = LargestPieceFor(key.publicKey);
  return key;
}

Key GeneratedKey(unsigned int bits) {
  KeyPairText pair;
  std::string error;
  EXPECT_TRUE(GenerateKeyPair(bits, pair, error)) << error;
  return MakeKey(pair.privateHex);
}

std::string Header() { return std::string(kFormatTagBytes, kDescriptionHeaderLength); }

std::string RandomBytes(std::mt19937& random, std::size_t count) {
  std::string bytes;
  for (std::size_t i = 0; i < count; ++i) bytes.push_back(static_cast<char>(random() & 0xFF));
  return bytes;
}

std::string Pack(const Key& key, const std::string& plain) {
  std::string file;
  std::string error;
  EXPECT_TRUE(EncryptDescription(plain, key.publicKey, file, error)) << error;
  return file;
}

std::string BigEndian(const CryptoPP::Integer& value, std::size_t length) {
  std::string bytes(length, '\0');
  value.Encode(reinterpret_cast<CryptoPP::byte*>(&bytes[0]), length);
  return bytes;
}

// OAEP (SHA-1, empty label) encoding of `message` for `key`, with `spoil` applied to the
// encoded block before masking (`db` = label hash, padding, 0x01, message; `y` = first byte),
// then the raw RSA operation: a block whose padding is wrong in one known way.
using Spoil = void (*)(unsigned char& y, std::string& db);
std::string CraftedBlock(const Key& key, const std::string& message, Spoil spoil) {
  using namespace CryptoPP;
  const std::size_t k = key.block;
  const std::size_t hashLength = SHA1::DIGESTSIZE;
  std::string db(k - hashLength - 1, '\0');
  SHA1().CalculateDigest(reinterpret_cast<byte*>(&db[0]), nullptr, 0);
  db[db.size() - message.size() - 1] = '\x01';
  db.replace(db.size() - message.size(), message.size(), message);
  unsigned char y = 0;
  spoil(y, db);
  std::string seed(hashLength, '\x5A');
  SHA1 sha;
  P1363_MGF1().GenerateAndMask(sha, reinterpret_cast<byte*>(&db[0]), db.size(),
                               reinterpret_cast<const byte*>(seed.data()), seed.size());
  P1363_MGF1().GenerateAndMask(sha, reinterpret_cast<byte*>(&seed[0]), seed.size(),
                               reinterpret_cast<const byte*>(db.data()), db.size());
  const std::string encoded = std::string(1, static_cast<char>(y)) + seed + db;
  const Integer m(reinterpret_cast<const byte*>(encoded.data()), encoded.size());
  return BigEndian(key.publicKey.ApplyFunction(m), k);
}

struct Case {
  std::string name;
  std::string file;
  std::string key;
};

class CaseList {
 public:
  void Add(std::string name, std::string file, const std::string& key) {
    cases_.push_back({std::move(name), std::move(file), key});
  }
  const std::vector<Case>& All() const { return cases_; }

 private:
  std::vector<Case> cases_;
};

void AddValidFiles(CaseList& cases, const Key& key, std::mt19937& random) {
  const std::size_t p = key.piece;
  const std::size_t lengths[] = {0, 1, p - 1, p, p + 1, 2 * p, 300, 40 * p + 3};
  for (const std::size_t length : lengths) {
    // Every byte value, 0x00 included, may appear in a description's text.
    cases.Add("valid, " + std::to_string(length) + " bytes", Pack(key, RandomBytes(random, length)),
              key.privateHex);
  }
}

void AddDamagedFiles(CaseList& cases, const Key& key, std::mt19937& random) {
  const std::size_t k = key.block;
  const std::size_t h = kDescriptionHeaderLength;
  const std::string good = Pack(key, RandomBytes(random, 3 * key.piece));
  auto add = [&](const std::string& name, const std::string& file) { cases.Add(name, file, key.privateHex); };
  for (std::size_t block = 0; block < 3; ++block) {
    const std::string where = "block " + std::to_string(block + 1);
    for (const std::size_t at : {std::size_t{0}, std::size_t{1}, std::size_t{2}, k / 2, k - 2, k - 1}) {
      std::string changed = good;
      changed[h + block * k + at] ^= 0x01;
      add(where + ", byte " + std::to_string(at) + " changed", changed);
    }
    const CryptoPP::Integer& n = key.publicKey.GetModulus();
    const std::pair<const char*, std::string> replacements[] = {
        {"all 0xFF", std::string(k, '\xFF')},
        {"all 0x00", std::string(k, '\0')},
        {"the value 1", BigEndian(CryptoPP::Integer::One(), k)},
        {"the modulus", BigEndian(n, k)},
        {"the modulus less one", BigEndian(n - 1, k)},
        {"the modulus plus one", BigEndian(n + 1, k)},
        {"random", RandomBytes(random, k)},
    };
    for (const auto& replacement : replacements) {
      add(where + " replaced by " + replacement.first, good.substr(0, h + block * k) + replacement.second +
                                                           good.substr(h + (block + 1) * k));
    }
  }
  add("blocks swapped", Header() + good.substr(h + k, k) + good.substr(h, k) + good.substr(h + 2 * k));
  add("first block twice", good.substr(0, h + k) + good.substr(h));
  add("0xFF block appended", good + std::string(k, '\xFF'));
  add("one byte appended", good + "x");
  for (const std::size_t cut : {std::size_t{1}, std::size_t{10}, k - 1, k, k + 1, 2 * k, 3 * k}) {
    add("last " + std::to_string(cut) + " bytes cut", good.substr(0, good.size() - cut));
  }
  add("format tag only", good.substr(0, kFormatTagLength));
  add("five bytes", good.substr(0, 5));
  add("empty", "");
  std::string lower = good;
  lower[0] = 'w';
  add("format tag in other letter case", lower);
  add("0x00 first", std::string(1, '\0') + good.substr(1));
  add("extra byte before the 0x00", good.substr(0, kFormatTagLength) + "X" + good.substr(kFormatTagLength));
  add("other version", "WebSetupEIF/2" + good.substr(kFormatTagLength));
  for (const std::size_t blocks : {1, 2, 5}) {
    add(std::to_string(blocks) + " random blocks", Header() + RandomBytes(random, blocks * k));
  }
  add("random file", RandomBytes(random, h + 2 * k));
}

void AddPaddingFaults(CaseList& cases, const Key& key) {
  const std::string message = "[Files to download]";
  const std::pair<const char*, Spoil> spoils[] = {
      {"correct", [](unsigned char&, std::string&) {}},
      {"first byte 0x01", [](unsigned char& y, std::string&) { y = 0x01; }},
      {"first byte 0x80", [](unsigned char& y, std::string&) { y = 0x80; }},
      {"label hash changed", [](unsigned char&, std::string& db) { db[0] ^= 0x01; }},
      {"label hash's last byte changed", [](unsigned char&, std::string& db) { db[19] ^= 0x80; }},
      {"no 0x01 separator", [](unsigned char&, std::string& db) { db[db.size() - 20] = '\0'; }},
      {"separator 0x02", [](unsigned char&, std::string& db) { db[db.size() - 20] = '\x02'; }},
      {"padding byte not zero", [](unsigned char&, std::string& db) { db[21] = '\x01'; }},
      {"separator moved back a byte",
       [](unsigned char&, std::string& db) { db[db.size() - 20] = '\0'; db[db.size() - 21] = '\x01'; }},
  };
  const std::string first = Pack(key, "first block");
  const std::string last = Pack(key, "last block").substr(kDescriptionHeaderLength);
  for (const auto& spoil : spoils) {
    cases.Add(std::string("OAEP padding: ") + spoil.first,
              first + CraftedBlock(key, message, spoil.second) + last, key.privateHex);
  }
  const auto keep = [](unsigned char&, std::string&) {};
  cases.Add("OAEP: empty message", Header() + CraftedBlock(key, "", keep), key.privateHex);
  cases.Add("OAEP: longest message", Header() + CraftedBlock(key, std::string(key.piece, 'm'), keep),
            key.privateHex);
}

void AddKeyFaults(CaseList& cases, const Key& key, const Key& other) {
  const std::string file = Pack(key, "[End]\nEnd");
  cases.Add("file of another key", file, other.privateHex);
  const std::string& hex = key.privateHex;
  std::string lower = hex;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const std::pair<const char*, std::string> keys[] = {
      {"empty key", ""},
      {"key 00", "00"},
      {"key with non-hex digits", "3082ZZ"},
      {"first half of the key", hex.substr(0, hex.size() / 2)},
      {"key in lower case", lower},
      {"key's version changed", hex.substr(0, 12) + "01" + hex.substr(14)},
      {"inner key without its PKCS #8 wrapper", hex.substr(52)},
  };
  for (const auto& k : keys) cases.Add(k.first, file, k.second);
}

DecryptedDescription With(BlockDecryptorLoader load, const Case& c) {
  return DecryptDescriptionBytesWith(load, c.file, c.key.c_str(), nullptr);
}

TEST(DecryptorDifferential, PlatformAndReferenceGiveTheSameResults) {
  std::mt19937 random(20261208);
  const Key embedded = MakeKey(kEmbeddedPrivateKey);
  const Key bigger = GeneratedKey(1536);
  ASSERT_EQ(embedded.block, 128u);
  ASSERT_EQ(bigger.block, 192u);

  CaseList cases;
  for (const Key* key : {&embedded, &bigger}) {
    AddValidFiles(cases, *key, random);
    AddDamagedFiles(cases, *key, random);
  }
  AddPaddingFaults(cases, embedded);
  AddKeyFaults(cases, embedded, bigger);
  AddKeyFaults(cases, bigger, embedded);

  std::set<DecryptionFailure> seen;
  for (const Case& c : cases.All()) {
    SCOPED_TRACE(c.name);
    const DecryptedDescription reference = With(LoadCryptoppDecryptor, c);
    const DecryptedDescription platform = With(LoadCryptoApiDecryptor, c);
    EXPECT_EQ(static_cast<int>(platform.failure), static_cast<int>(reference.failure));
    EXPECT_EQ(platform.failedBlock, reference.failedBlock);
    EXPECT_EQ(platform.blockLength, reference.blockLength);
    EXPECT_EQ(platform.complete, reference.complete);
    EXPECT_EQ(platform.length, reference.length);
    EXPECT_TRUE(platform.text == reference.text);
    seen.insert(reference.failure);
  }
  // The files reach every outcome but the one that needs a text beyond 2 GB and the file
  // limit, which no decryptor sees.
  EXPECT_EQ(seen, (std::set<DecryptionFailure>{DecryptionFailure::kNone, DecryptionFailure::kUnreadableFile,
                                               DecryptionFailure::kNoFormatTag, DecryptionFailure::kKeyDoesNotLoad,
                                               DecryptionFailure::kNotWholeBlocks, DecryptionFailure::kBlockRefused,
                                               DecryptionFailure::kBlockFailed}));
}

}  // namespace
